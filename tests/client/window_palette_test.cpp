// The windows' colours: every text on its background reads at WCAG AA, the focus ring stands out
// from every surface it is drawn on, and no window's style sheet holds a colour of its own.
#include "window_fixture.h"

#include "board_palette.h"
#include "painted_button.h"
#include "painted_look.h"
#include "tabout.h"
#include "tdownload.h"
#include "tgamestartform.h"
#include "thelp.h"
#include "thostgame.h"
#include "tjoingame.h"
#include "tphrases.h"
#include "tspylist.h"
#include "ttallylist.h"
#include "window_style.h"

#include <QApplication>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTextBrowser>

#include <memory>

namespace {

// WCAG AA for text, and for the parts of a control that show its state (the focus ring).
constexpr double kNormalText = 4.5;
constexpr double kLargeText = 3.0;
constexpr double kControlEdge = 3.0;

bool isPaletteColour(const QColor& colour)
{
    for (const QColor& known : windowpalette::allColours())
        if (known.rgb() == colour.rgb())
            return true;
    return false;
}

// Every colour a style sheet spells, as written: #hex, rgb()/rgba() and colour names.
QStringList coloursIn(const QString& sheet)
{
    static const QRegularExpression hex(
        QStringLiteral("#(?:[0-9a-fA-F]{8}|[0-9a-fA-F]{6}|[0-9a-fA-F]{3})\\b"));
    static const QRegularExpression functional(QStringLiteral("rgba?\\([^)]*\\)"));
    static const QRegularExpression word(QStringLiteral("(?<![#\\w-])([a-zA-Z]+)(?![\\w-])"));
    QStringList found;
    for (const QRegularExpression* pattern : { &hex, &functional })
        for (auto it = pattern->globalMatch(sheet); it.hasNext();)
            found << it.next().captured(0);
    // A name only counts where a value stands, after a colon or a comma.
    static const QRegularExpression values(QStringLiteral(":([^;{}]*)"));
    for (auto it = values.globalMatch(sheet); it.hasNext();) {
        const QString value = it.next().captured(1);
        for (auto w = word.globalMatch(value); w.hasNext();) {
            const QString name = w.next().captured(1);
            if (name.compare("transparent", Qt::CaseInsensitive) != 0 && QColor::isValidColorName(name)
                && QColor::colorNames().contains(name.toLower()))
                found << name;
        }
    }
    return found;
}

QColor parsed(const QString& written)
{
    if (written.startsWith("rgb")) {
        const QString inner = written.mid(written.indexOf('(') + 1).chopped(1);
        const QStringList parts = inner.split(',');
        return QColor(parts.value(0).trimmed().toInt(), parts.value(1).trimmed().toInt(),
            parts.value(2).trimmed().toInt());
    }
    return QColor::fromString(written);
}

// The colours a control draws without a style sheet: those its palette holds that the
// program's does not, and its painted patch's or face's.
QList<QColor> drawnColours(QWidget* widget)
{
    QList<QColor> found;
    // Under a style sheet, Qt's sheet engine sets the palette from the sheet read above.
    bool styled = false;
    for (QWidget* w = widget; w && !styled; w = w->parentWidget())
        styled = !w->styleSheet().isEmpty();
    const QPalette own = widget->palette();
    const QPalette program = QApplication::palette(widget);
    for (const QPalette::ColorRole role :
        { QPalette::WindowText, QPalette::Text, QPalette::ButtonText, QPalette::Base })
        if (!styled && own.color(role) != program.color(role))
            found << own.color(role);
    const auto addPatch = [&found](const Patch& patch) {
        for (const QColor& colour : { patch.fill, patch.edge })
            if (colour.isValid())
                found << colour;
    };
    if (auto* panel = qobject_cast<RoundedPanel*>(widget))
        addPatch(panel->patch());
    if (auto* label = qobject_cast<PatchLabel*>(widget))
        addPatch(label->patch());
    if (auto* button = qobject_cast<PaintedButton*>(widget)) {
        const PaintedButton::Face& face = button->face();
        for (const QColor& colour :
            { face.top, face.bottom, face.hover, face.pressed, face.edge, face.focusRing })
            if (colour.isValid())
                found << colour;
    }
    return found;
}

// Each style sheet of the window and everything in it, with the help page's own sheet, and
// every colour in them that the palette does not hold, nor the player chose.
std::string strangeColours(QWidget* window, const QList<QRgb>& chosen = {})
{
    QStringList strange;
    QList<QWidget*> widgets = window->findChildren<QWidget*>();
    widgets.prepend(window);
    for (QWidget* widget : widgets) {
        QString sheet = widget->styleSheet();
        if (auto* browser = qobject_cast<QTextBrowser*>(widget)) {
            // The page's own sheet, and the style its markup gives its tables and cells.
            sheet += browser->document()->defaultStyleSheet();
            static const QRegularExpression styled(QStringLiteral("style=\"([^\"]*)\""));
            for (auto it = styled.globalMatch(browser->toHtml()); it.hasNext();)
                sheet += "x { " + it.next().captured(1) + " }";
        }
        for (const QString& written : coloursIn(sheet))
            if (!isPaletteColour(parsed(written)) && !chosen.contains(parsed(written).rgb()))
                strange << widget->objectName() + ": " + written;
        for (const QColor& colour : drawnColours(widget))
            if (!isPaletteColour(colour) && !chosen.contains(colour.rgb()))
                strange << widget->objectName() + ": " + colour.name();
    }
    return strange.join(", ").toStdString();
}

} // namespace

TEST(WindowPalette, EveryTextReadsOnItsBackground)
{
    for (const windowpalette::TextPair& pair : windowpalette::textPairs()) {
        const double ratio = boardpalette::contrastRatio(pair.text, pair.background);
        EXPECT_GE(ratio, pair.large ? kLargeText : kNormalText)
            << pair.where << ": " << pair.text.name().toStdString() << " on "
            << pair.background.name().toStdString();
    }
}

TEST(WindowPalette, FocusRingStandsOutFromEverySurface)
{
    for (const windowpalette::RingPair& surface : windowpalette::focusRingSurfaces())
        EXPECT_GE(boardpalette::contrastRatio(windowpalette::focusRing(), surface.background), kControlEdge)
            << surface.where;
    // Worked example, so the ratio itself is known right: white on navy is about 16.
    EXPECT_NEAR(boardpalette::contrastRatio(windowpalette::white(), windowpalette::navy()), 16.0, 0.5);
}

TEST(WindowPalette, SheetColoursAreReadAsWritten)
{
    const QStringList found
        = coloursIn("QLabel#label_title { color: #f0c850; background: rgba(1, 2, 3, 40); }"
                    "QCheckBox { border: 2px solid transparent; color: white; }");
    EXPECT_EQ(found, QStringList({ "#f0c850", "rgba(1, 2, 3, 40)", "white" }));
    EXPECT_EQ(parsed("rgba(1, 2, 3, 40)").rgb(), QColor(1, 2, 3).rgb());
    EXPECT_FALSE(isPaletteColour(QColor(0x12, 0x34, 0x56)));
    EXPECT_TRUE(isPaletteColour(windowpalette::gold()));
}

TEST(WindowPalette, CompanionWindowsUseOnlyPaletteColours)
{
    std::vector<std::unique_ptr<QWidget>> windows;
    windows.push_back(std::make_unique<Ttallylist>());
    auto start = std::make_unique<Tgamestartform>();
    start->setComputerChoiceShown(true);
    windows.push_back(std::move(start));
    windows.push_back(std::make_unique<Tphrases>());
    windows.push_back(std::make_unique<Thelp>());
    windows.push_back(std::make_unique<Tabout>());
    windows.push_back(std::make_unique<Tspylist>());
    windows.push_back(std::make_unique<Thostgame>(7772));
    windows.push_back(std::make_unique<Tjoingame>(discovery::GameBrowser::Options { 0, false, {} }, 7772));
    windows.push_back(
        std::make_unique<Tdownload>("/nonexistent", "http://127.0.0.1:1/x", "/nonexistent", [] {}));
    for (auto& window : windows) {
        window->show();
        EXPECT_EQ(strangeColours(window.get()), "") << window->objectName().toStdString();
    }
    // The message boxes' piece, set on each box.
    const QStringList boxColours = coloursIn(windowstyle::messageBoxes());
    EXPECT_GE(boxColours.size(), 5);
    for (const QString& written : boxColours)
        EXPECT_TRUE(isPaletteColour(parsed(written))) << written.toStdString();
}

TEST_F(WindowTest, MainWindowUsesOnlyPaletteColours)
{
    Tchat& window = open({});
    window.show();
    window.reviewPanel(); // built on first use
    // The chat entry writes in the colour the player picked for chat lines.
    auto* entry = window.findChild<QLineEdit*>("mychat");
    entry->ensurePolished();
    EXPECT_EQ(strangeColours(&window, { entry->palette().color(QPalette::Text).rgb() }), "");
}
