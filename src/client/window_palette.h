// The colours of every window of the game, named for what they paint, and the pairs of text and
// background the windows put together, so that their contrast is checked in one place.
#pragma once

#include "board_palette.h"

#include <QColor>
#include <QString>

#include <vector>

namespace windowpalette {

// Dark surfaces: the windows' navy, lighter at the top of a gradient, deeper under panels.
inline QColor navy() { return QColor(0x00, 0x00, 0x80); }
inline QColor navyRaised() { return QColor(0x1A, 0x2D, 0x8A); }
inline QColor navyDeep() { return QColor(0x0A, 0x16, 0x60); }
// The main window's panels and overlays, and the blue phrase buttons.
inline QColor midnight() { return QColor(0x14, 0x28, 0x5A); }
inline QColor panelShade() { return QColor(0x08, 0x14, 0x30, 190); }
inline QColor winnerShade() { return QColor(0x14, 0x1E, 0x46, 220); }
inline QColor blueButton() { return QColor(0x2A, 0x4A, 0x8A); }
inline QColor blueButtonHover() { return QColor(0x34, 0x59, 0x9F); }
inline QColor blueButtonPressed() { return QColor(0x0F, 0x1F, 0x46); }

// Gold: buttons, rules and edges, and gold text on navy.
inline QColor gold() { return QColor(0xF0, 0xC8, 0x50); }
inline QColor goldHover() { return QColor(0xFF, 0xD9, 0x66); }
inline QColor goldPressed() { return QColor(0xD8, 0xAC, 0x34); }
inline QColor goldEdge() { return QColor(0xB8, 0x92, 0x2A); }
inline QColor goldRule() { return QColor(0xC9, 0xA4, 0x3A); }
inline QColor brass() { return QColor(0xD4, 0xAF, 0x37); }
inline QColor goldText() { return QColor(0xFF, 0xE2, 0x7A); }
// The pale top of the gold pictures (the Start bar, the title tiles) and the dark line round them.
inline QColor goldPale() { return QColor(0xFF, 0xF4, 0xCC); }
inline QColor goldOutline() { return QColor(0x7A, 0x58, 0x08); }

// Text.
inline QColor white() { return QColor(0xFF, 0xFF, 0xFF); }
inline QColor black() { return QColor(0x00, 0x00, 0x00); }
// Dark ink on gold and on white fields.
inline QColor ink() { return QColor(0x00, 0x00, 0x50); }
// Quiet captions on navy.
inline QColor paleBlue() { return QColor(0xC9, 0xD3, 0xEA); }
// A found word's bonus in the score panel.
inline QColor bonusText() { return QColor(0x8E, 0xF0, 0xA0); }
// Something went wrong, said on navy.
inline QColor alertText() { return QColor(0xFF, 0xB4, 0xA8); }
// A warning that must read as red (the download window's), light enough for navy.
inline QColor warningRed() { return QColor(0xFF, 0x6B, 0x6B); }
// Greyed text of a control that cannot be used now.
inline QColor disabledText() { return QColor(0x9A, 0x9A, 0xAA); }
inline QColor disabledFace() { return QColor(0x5A, 0x62, 0x8A); }

// Lists and scroll bars on white.
inline QColor listHover() { return QColor(0xEE, 0xF1, 0xFB); }
inline QColor scrollHandle() { return QColor(0x9A, 0xA4, 0xD0); }

// The parchment of the end-of-round panel.
inline QColor parchment() { return QColor(0xF5, 0xEC, 0xD2, 245); }
inline QColor parchmentEdge() { return QColor(0x8B, 0x6B, 0x2E); }
inline QColor parchmentRule() { return QColor(0xB8, 0x9B, 0x5E); }
inline QColor parchmentTitle() { return QColor(0x3B, 0x2A, 0x0A); }
inline QColor parchmentCaption() { return QColor(0x5A, 0x45, 0x20); }
inline QColor parchmentPoints() { return QColor(0x7A, 0x2A, 0x10); }
inline QColor parchmentInk() { return QColor(0x2B, 0x1D, 0x05); }
// The word chosen in the round review's list, in the purple its chain is lit with on the board.
inline QColor reviewChosen() { return QColor(0x5B, 0x2C, 0x8F); }

// The ring around the control that has the keyboard: bright cyan, apart from the gold of the
// buttons and the white of the fields, and far from the navy around them.
inline QColor focusRing() { return QColor(0x5C, 0xE1, 0xFF); }

// Translucent layers that only lighten or darken what is under them.
inline QColor veilLight(int alpha) { return QColor(0xFF, 0xFF, 0xFF, alpha); }
inline QColor veilDark(int alpha) { return QColor(0x00, 0x00, 0x00, alpha); }

// A colour as a style sheet writes it: #rrggbb when opaque, rgba(...) otherwise.
inline QString css(const QColor& colour)
{
    if (colour.alpha() == 255)
        return colour.name(QColor::HexRgb);
    return QStringLiteral("rgba(%1, %2, %3, %4)")
        .arg(colour.red())
        .arg(colour.green())
        .arg(colour.blue())
        .arg(colour.alpha());
}

// A translucent colour laid over an opaque one, as the screen shows it.
inline QColor over(const QColor& top, const QColor& bottom)
{
    const double a = top.alphaF();
    const auto mix = [a](int t, int b) { return int(t * a + b * (1.0 - a) + 0.5); };
    return QColor(
        mix(top.red(), bottom.red()), mix(top.green(), bottom.green()), mix(top.blue(), bottom.blue()));
}

// Every colour above at full opacity, with those of the board's palette that its panels and
// status line put into style sheets; a style sheet may use each at any opacity.
inline std::vector<QColor> allColours()
{
    namespace b = boardpalette;
    return { b::statusBackground(), b::foundText(), b::refusedText(), b::plainText(), b::ownSeatRosterText(),
        b::ownSeatRosterBackground(), b::ownSeatScrollText(), b::ownSeatScrollBackground(),
        b::reviewPanelBackground(), b::reviewPanelText(), b::reviewPanelNote(), navy(), navyRaised(),
        navyDeep(), midnight(), panelShade(), winnerShade(), blueButton(), blueButtonHover(),
        blueButtonPressed(), gold(), goldHover(), goldPressed(), goldEdge(), goldRule(), brass(), goldText(),
        goldPale(), goldOutline(), white(), black(), ink(), paleBlue(), bonusText(), alertText(),
        warningRed(), disabledText(), disabledFace(), listHover(), scrollHandle(), parchment(),
        parchmentEdge(), parchmentRule(), parchmentTitle(), parchmentCaption(), parchmentPoints(),
        parchmentInk(), reviewChosen(), focusRing() };
}

// Text against the background it is read on. Large is bold text of at least 14 points, which
// needs less contrast.
struct TextPair {
    const char* where;
    QColor text;
    QColor background;
    bool large = false;
};

// Every pairing of text and background the windows use. A translucent background is given as
// the opaque colour it shows over the window behind it. Greyed text of a control that cannot be
// used now is left out: it only has to look unavailable.
inline std::vector<TextPair> textPairs()
{
    return {
        { "caption on navy", white(), navy() },
        { "caption on the light top of a navy gradient", white(), navyRaised() },
        { "quiet caption on navy", paleBlue(), navy() },
        { "quiet caption on a main-window panel", paleBlue(), midnight() },
        { "gold heading on navy", gold(), navy() },
        { "gold heading on the light top of a navy gradient", gold(), navyRaised() },
        { "gold text on a main-window panel", goldText(), midnight() },
        { "value on navy", goldText(), navy() },
        { "alert on navy", alertText(), navy() },
        { "alert on a main-window panel", alertText(), midnight() },
        { "red warning on navy", warningRed(), navy() },
        { "bonus on a main-window panel", bonusText(), midnight() },
        { "name on a main-window panel", white(), midnight() },
        { "button caption on gold", ink(), gold() },
        { "button caption on hovered gold", ink(), goldHover() },
        { "button caption on pressed gold", ink(), goldPressed() },
        { "field text on white", ink(), white() },
        { "selected text in a field", ink(), gold() },
        { "list line under the pointer", ink(), listHover() },
        { "chat on white", black(), white() },
        { "phrase caption on blue", white(), blueButton() },
        { "phrase caption on hovered blue", white(), blueButtonHover() },
        { "phrase caption on pressed blue", white(), blueButtonPressed() },
        { "winner banner over light tiles", white(), over(winnerShade(), white()) },
        { "panel text over the slate", white(), over(panelShade(), midnight()) },
        { "end-of-round name", parchmentTitle(), parchment() },
        { "end-of-round count", parchmentCaption(), parchment() },
        { "end-of-round points", parchmentPoints(), parchment() },
        { "end-of-round word list", parchmentInk(), over(veilLight(150), parchment()) },
        { "chosen word in the review", white(), reviewChosen() },
        { "big gold title on navy", gold(), navyDeep(), true },
    };
}

// Non-text contrast the focus ring keeps against the surfaces it is drawn on.
struct RingPair {
    const char* where;
    QColor background;
};
inline std::vector<RingPair> focusRingSurfaces()
{
    return { { "navy window", navy() }, { "navy gradient top", navyRaised() }, { "deep navy", navyDeep() },
        { "main-window panel", midnight() } };
}

} // namespace windowpalette
