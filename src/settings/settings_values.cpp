// Lenient integers and colour text of the settings file, and stored colours as QColor.
#include "settings_values.h"

#include "bgr_colour.h"
#include "colour_text.h"

#include <QGuiApplication>
#include <QPalette>

#include <array>
#include <climits>
#include <span>

namespace settings {
namespace {

    // The colours only the settings file names: the platform's system colours and clNone.
    constexpr std::array<wire::NamedColour, 26> kSettingsColours { {
        { "clScrollBar", systemColour(SystemColour::ScrollBar) },
        { "clBackground", systemColour(SystemColour::Background) },
        { "clActiveCaption", systemColour(SystemColour::ActiveCaption) },
        { "clInactiveCaption", systemColour(SystemColour::InactiveCaption) },
        { "clMenu", systemColour(SystemColour::Menu) },
        { "clWindow", systemColour(SystemColour::Window) },
        { "clWindowFrame", systemColour(SystemColour::WindowFrame) },
        { "clMenuText", systemColour(SystemColour::MenuText) },
        { "clWindowText", systemColour(SystemColour::WindowText) },
        { "clCaptionText", systemColour(SystemColour::CaptionText) },
        { "clActiveBorder", systemColour(SystemColour::ActiveBorder) },
        { "clInactiveBorder", systemColour(SystemColour::InactiveBorder) },
        { "clAppWorkSpace", systemColour(SystemColour::AppWorkSpace) },
        { "clHighlight", systemColour(SystemColour::Highlight) },
        { "clHighlightText", systemColour(SystemColour::HighlightText) },
        { "clBtnFace", systemColour(SystemColour::BtnFace) },
        { "clBtnShadow", systemColour(SystemColour::BtnShadow) },
        { "clGrayText", systemColour(SystemColour::GrayText) },
        { "clBtnText", systemColour(SystemColour::BtnText) },
        { "clInactiveCaptionText", systemColour(SystemColour::InactiveCaptionText) },
        { "clBtnHighlight", systemColour(SystemColour::BtnHighlight) },
        { "cl3DDkShadow", systemColour(SystemColour::DkShadow3D) },
        { "cl3DLight", systemColour(SystemColour::Light3D) },
        { "clInfoText", systemColour(SystemColour::InfoText) },
        { "clInfoBk", systemColour(SystemColour::InfoBk) },
        { "clNone", kColourNone },
    } };

    // Where each named system colour comes from in a Qt palette. Qt has no desktop colour,
    // so clBackground stays unmapped.
    struct PaletteSource {
        bool mapped;
        QPalette::ColorGroup group;
        QPalette::ColorRole role;
    };

    constexpr PaletteSource kNone { false, QPalette::Active, QPalette::NoRole };

    constexpr PaletteSource from(QPalette::ColorRole role, QPalette::ColorGroup group = QPalette::Active)
    {
        return { true, group, role };
    }

    constexpr std::array<PaletteSource, 25> kSystemPalette { {
        from(QPalette::Midlight), // clScrollBar: the light track behind the thumb
        kNone, // clBackground
        from(QPalette::Highlight), // clActiveCaption
        from(QPalette::Window, QPalette::Inactive), // clInactiveCaption
        from(QPalette::Window), // clMenu
        from(QPalette::Base), // clWindow
        from(QPalette::Dark), // clWindowFrame
        from(QPalette::WindowText), // clMenuText
        from(QPalette::Text), // clWindowText
        from(QPalette::HighlightedText), // clCaptionText
        from(QPalette::Button), // clActiveBorder
        from(QPalette::Button, QPalette::Inactive), // clInactiveBorder
        from(QPalette::Mid), // clAppWorkSpace
        from(QPalette::Highlight), // clHighlight
        from(QPalette::HighlightedText), // clHighlightText
        from(QPalette::Button), // clBtnFace
        from(QPalette::Dark), // clBtnShadow
        from(QPalette::Text, QPalette::Disabled), // clGrayText
        from(QPalette::ButtonText), // clBtnText
        from(QPalette::WindowText, QPalette::Inactive), // clInactiveCaptionText
        from(QPalette::Light), // clBtnHighlight
        from(QPalette::Shadow), // cl3DDkShadow
        from(QPalette::Midlight), // cl3DLight
        from(QPalette::ToolTipText), // clInfoText
        from(QPalette::ToolTipBase), // clInfoBk
    } };

    bool isAsciiDigit(QChar c) { return c >= u'0' && c <= u'9'; }

    int hexValue(QChar c)
    {
        if (isAsciiDigit(c))
            return c.unicode() - u'0';
        if (c >= u'a' && c <= u'f')
            return c.unicode() - u'a' + 10;
        if (c >= u'A' && c <= u'F')
            return c.unicode() - u'A' + 10;
        return -1;
    }

    // Unsigned digits in the given base, none missing and none foreign; nullopt past the limit.
    std::optional<uint64_t> parseDigits(QStringView digits, int base, uint64_t limit)
    {
        if (digits.isEmpty())
            return std::nullopt;
        uint64_t value = 0;
        for (QChar c : digits) {
            const int digit = base == 16 ? hexValue(c) : (isAsciiDigit(c) ? c.unicode() - u'0' : -1);
            if (digit < 0)
                return std::nullopt;
            value = value * uint64_t(base) + uint64_t(digit);
            if (value > limit)
                return std::nullopt;
        }
        return value;
    }

    // An optional sign and decimal digits; the magnitude may reach `limit` when positive
    // and `negativeLimit` when negative.
    std::optional<int64_t> parseSignedDecimal(QStringView text, uint64_t limit, uint64_t negativeLimit)
    {
        bool negative = false;
        if (!text.isEmpty() && (text.front() == u'+' || text.front() == u'-')) {
            negative = text.front() == u'-';
            text = text.mid(1);
        }
        const std::optional<uint64_t> magnitude = parseDigits(text, 10, negative ? negativeLimit : limit);
        if (!magnitude)
            return std::nullopt;
        return negative ? -int64_t(*magnitude) : int64_t(*magnitude);
    }

    // Every colour the settings file names: the chat colours first, then its own.
    const std::array<std::span<const wire::NamedColour>, 2> kColourTables { wire::kNamedColours,
        kSettingsColours };

} // namespace

std::optional<int> lenientInt(const QString& text)
{
    const QString trimmed = text.trimmed();
    const QStringView view(trimmed);
    if (view.startsWith(u"0x", Qt::CaseInsensitive)) {
        const std::optional<uint64_t> value = parseDigits(view.mid(2), 16, uint64_t(INT_MAX));
        return value ? std::optional<int>(int(*value)) : std::nullopt;
    }
    const std::optional<int64_t> value = parseSignedDecimal(view, uint64_t(INT_MAX), uint64_t(INT_MAX) + 1);
    return value ? std::optional<int>(int(*value)) : std::nullopt;
}

QString colourToSettingsText(uint32_t colour)
{
    for (const std::span<const wire::NamedColour> table : kColourTables)
        for (const wire::NamedColour& named : table)
            if (named.value == colour)
                return QString::fromLatin1(named.name);
    return QStringLiteral("$%1").arg(colour, 8, 16, QLatin1Char('0')).toUpper();
}

uint32_t colourFromSettingsText(const QString& text)
{
    const QString trimmed = text.trimmed();
    for (const std::span<const wire::NamedColour> table : kColourTables)
        for (const wire::NamedColour& named : table)
            if (trimmed.compare(QLatin1String(named.name), Qt::CaseInsensitive) == 0)
                return named.value;
    const QStringView view(trimmed);
    if (view.startsWith(u'$'))
        return uint32_t(parseDigits(view.mid(1), 16, UINT32_MAX).value_or(0));
    // Decimal covers the whole 32-bit range either way round: -1 and 4294967295 are the same colour.
    return uint32_t(parseSignedDecimal(view, UINT32_MAX, uint64_t(INT_MAX) + 1).value_or(0));
}

QColor settingsColourToQColor(uint32_t colour)
{
    if (colour == kColourNone)
        return QColor(Qt::black);
    if ((colour & kSystemColour) == kSystemColour) {
        const uint32_t index = colour & 0xFF;
        if (index >= kSystemPalette.size() || !kSystemPalette[index].mapped)
            return QColor(Qt::black);
        const PaletteSource& source = kSystemPalette[index];
        return QGuiApplication::palette().color(source.group, source.role);
    }
    return colorFromBgr(colour & 0xFFFFFF);
}

} // namespace settings
