// Style-sheet pieces the game's windows share, built from the one palette, so that every window
// has the same navy, gold buttons, white fields, scroll bars and focus ring.
#pragma once

#include "window_palette.h"

#include <QPalette>
#include <QString>
#include <QWidget>

namespace windowstyle {

using windowpalette::css;

// The slim blue scroll bar of every white page and list.
inline QString scrollBar()
{
    namespace p = windowpalette;
    return QStringLiteral(
        "QScrollBar:vertical { background: %1; width: 11px; margin: 0px; border: none; }"
        "QScrollBar::handle:vertical { background: %2; min-height: 24px; border-radius: "
        "4px; margin: 2px; }"
        "QScrollBar::handle:vertical:hover { background: %3; }"
        "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0px; }"
        "QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical { background: none; }")
        .arg(css(p::listHover()), css(p::scrollHandle()), css(p::midnight()));
}

// The gold push buttons of the companion windows; `padding` is each window's own ("4px 26px"),
// or empty to keep the default. The button with the keyboard wears the focus ring as its edge.
inline QString goldButtons(const QString& padding = {})
{
    namespace p = windowpalette;
    return QStringLiteral(
               "QPushButton { background: %1; color: %2; border: 2px solid %3; border-radius: 3px;")
               .arg(css(p::gold()), css(p::ink()), css(p::goldEdge()))
        + (padding.isEmpty() ? QString() : " padding: " + padding + ";")
        + QStringLiteral(" font-weight: bold; font-size: 9pt; }"
                         "QPushButton:hover { background: %1; }"
                         "QPushButton:pressed { background: %2; }"
                         "QPushButton:disabled { background: %3; color: %4; border-color: %3; }"
                         "QPushButton:focus { border: 2px solid %5; }")
              .arg(css(p::goldHover()), css(p::goldPressed()), css(p::disabledFace()), css(p::disabledText()),
                  css(p::focusRing()));
}

// A tick box on navy: white caption, navy tick in a white box.
inline void checkBoxOnNavy(QWidget* box)
{
    QPalette colours = box->palette();
    colours.setColor(QPalette::WindowText, windowpalette::white());
    colours.setColor(QPalette::Base, windowpalette::white());
    colours.setColor(QPalette::Text, windowpalette::navy());
    box->setPalette(colours);
}

// The ring around whichever control has the keyboard, for the kinds of control the windows hold.
inline QString focusRing()
{
    namespace p = windowpalette;
    return QStringLiteral("QLineEdit:focus, QComboBox:focus, QListWidget:focus, QTreeWidget:focus,"
                          " QTextBrowser:focus { border: 2px solid %1; }"
                          "QCheckBox:focus { border: 2px solid %1; border-radius: 3px; }")
        .arg(css(p::focusRing()));
}

// White fields on navy: line edits, drop-down lists, lists and tables, with dark ink and gold
// selections, and the focus ring. A tick box takes its colours from checkBoxOnNavy(): a colour
// in a sheet would paint its tick in the caption's white.
inline QString fields()
{
    namespace p = windowpalette;
    return QStringLiteral(
               "QLineEdit, QComboBox, QListWidget, QTreeWidget { background: %1; color: %2;"
               " border: 2px solid %3; border-radius: 3px; selection-background-color: %4;"
               " selection-color: %2; }"
               "QLineEdit, QComboBox { padding: 1px 4px; }"
               "QComboBox:disabled { background: %5; color: %6; }"
               "QComboBox QAbstractItemView { background: %1; color: %2; selection-background-color: %4;"
               " selection-color: %2; }"
               "QListWidget::item:hover, QTreeWidget::item:hover { background: %7; color: %2; }"
               "QListWidget::item:selected, QTreeWidget::item:selected { background: %4; color: %2; }"
               "QHeaderView::section { background: %8; color: %9; border: none; border-right: 1px solid %3;"
               " padding: 3px 5px; font-weight: bold; }"
               "QCheckBox { background: transparent; padding: 1px 2px; border: 2px solid transparent; }")
               .arg(css(p::white()), css(p::ink()), css(p::goldRule()), css(p::gold()),
                   css(p::disabledFace()), css(p::disabledText()), css(p::listHover()), css(p::navy()),
                   css(p::white()))
        + focusRing() + scrollBar();
}

// The program's message boxes: navy, white text, gold buttons. Every rule names QMessageBox, so
// the piece can be set on a box, or on a window whose boxes it styles, without touching anything else.
inline QString messageBoxes()
{
    namespace p = windowpalette;
    return QStringLiteral(
        "QMessageBox { background: %1; }"
        "QMessageBox QLabel { color: %2; background: transparent; }"
        "QMessageBox QCheckBox { background: transparent; border: 2px solid transparent; }"
        "QMessageBox QPushButton { background: %3; color: %4; border: 2px solid %5;"
        " border-radius: 3px; padding: 4px 18px; font-weight: bold; min-width: 60px; }"
        "QMessageBox QPushButton:hover { background: %6; }"
        "QMessageBox QPushButton:pressed { background: %7; }"
        "QMessageBox QPushButton:focus, QMessageBox QCheckBox:focus { border: 2px solid %8; }")
        .arg(css(p::navy()), css(p::white()), css(p::gold()), css(p::ink()), css(p::goldEdge()),
            css(p::goldHover()), css(p::goldPressed()), css(p::focusRing()));
}

// A navy window: `selector` names the window itself ("Ttallylist"), so its children keep their
// own backgrounds. Captions are white, group titles gold; the boxes it opens are navy too.
inline QString navyWindow(const QString& selector)
{
    namespace p = windowpalette;
    return QStringLiteral(
               "%1 { background: %2; }"
               "QLabel { color: %3; background: transparent; }"
               "QGroupBox { color: %4; font-weight: bold; border: 1px solid %5; border-radius: 6px;"
               " margin-top: 10px; padding-top: 6px; }"
               "QGroupBox::title { subcontrol-origin: margin; left: 8px; padding: 0px 3px; }"
               "QFrame#rule { background: %5; border: none; }")
               .arg(selector, css(p::navy()), css(p::white()), css(p::gold()), css(p::goldRule()))
        + messageBoxes();
}

// A line that tells what went wrong, on navy.
inline QString alertLabel()
{
    return QStringLiteral("color: %1; font-weight: bold;").arg(css(windowpalette::alertText()));
}

} // namespace windowstyle
