// Style-sheet pieces the game's windows share, so the scroll bars and the gold
// buttons look alike everywhere and change in one place.
#pragma once

#include <QString>

namespace windowstyle {

// The slim blue scroll bar of every white page and list.
inline QString scrollBar()
{
    return QStringLiteral("QScrollBar:vertical { background: #eef1fb; width: 11px; margin: 0px; border: none; }"
                          "QScrollBar::handle:vertical { background: #9aa4d0; min-height: 24px; border-radius: "
                          "4px; margin: 2px; }"
                          "QScrollBar::handle:vertical:hover { background: #1c2a6b; }"
                          "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0px; }"
                          "QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical { background: none; }");
}

// The gold push buttons of the companion windows; `padding` is each window's
// own ("4px 26px"), or empty to keep the default.
inline QString goldButtons(const QString& padding = {})
{
    return QStringLiteral("QPushButton { background: #f0c850; color: #000050; border: 1px solid #b8922a;"
                          " border-radius: 3px;")
        + (padding.isEmpty() ? QString() : " padding: " + padding + ";")
        + QStringLiteral(" font-weight: bold; font-size: 9pt; }"
                         "QPushButton:hover { background: #ffd966; }"
                         "QPushButton:pressed { background: #d8ac34; }");
}

// The chat entry box; its text colour is added to it.
inline QString entryBox()
{
    return QStringLiteral("background: white; border: 1px solid #d4af37; border-radius: 4px; padding: 2px 4px;");
}

} // namespace windowstyle
