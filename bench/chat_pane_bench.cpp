// What one chat line costs the window's chat pane, laid out and painted: an
// honest line (the reference), the shapes a hostile host sends, and the same
// shapes written straight into a rich-text pane as the pane once did. With
// --memory, what a pane holds after a flood, each case in a process of its own.
#include "bench_ratios.h"

#include "chat_pane.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QProcess>
#include <QTextBlock>
#include <QTextCursor>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace {

// The pane's size in the window as designed.
constexpr int kPaneWidth = 250;
constexpr int kPaneHeight = 218;

struct Shape {
    const char* name;
    QString line;
};

std::vector<Shape> shapes()
{
    const QString name = QStringLiteral("Eve chats: ");
    return {
        { "colons", name + QString(4000, u':') },
        { "bars", name + QString(4000, u'|') },
        { "www", name + QStringLiteral("www.").repeated(1000) },
        { "blanks", name + QString(4000, u' ') + QStringLiteral("x") },
        { "letters", name + QString(4000, u'a') },
        { "line_breaks", name + QStringLiteral("\r\n").repeated(2000) },
        { "marks", name + QStringLiteral("a") + QString(4000, QChar(0x0301)) },
        { "bidi", name + QStringLiteral("a\u05d0b\u0628").repeated(1000) },
        { "overrides", name + (QString(QChar(0x202E)) + QStringLiteral("ab")).repeated(1333) },
    };
}

const QString kHonestLine = QStringLiteral("Ann chats: that was a good round, well played everybody!");

// The pane as the window holds it: shown, at its designed size, with the
// window's bound on lines.
struct PaneUnderTest {
    PaneUnderTest()
    {
        pane.resize(kPaneWidth, kPaneHeight);
        pane.document()->setMaximumBlockCount(20000);
        pane.show();
        QCoreApplication::processEvents();
    }
    ChatPane pane;
};

// A rich-text pane written as the chat pane once was: the line as it came,
// bold to its first colon, in one paragraph per line break it holds.
struct RawPane {
    RawPane()
    {
        edit.setReadOnly(true);
        edit.setLineWrapMode(QTextEdit::WidgetWidth);
        edit.resize(kPaneWidth, kPaneHeight);
        edit.document()->setMaximumBlockCount(20000);
        edit.show();
        QCoreApplication::processEvents();
    }
    void addLine(const QString& line)
    {
        QTextCursor end(edit.document());
        end.movePosition(QTextCursor::End);
        QTextCharFormat regular;
        QTextCharFormat bold;
        bold.setFontWeight(QFont::Bold);
        const qsizetype colon = line.indexOf(u':');
        end.insertText(line.left(colon + 1), bold);
        end.insertText(line.mid(colon + 1), regular);
        end.insertBlock();
        edit.setTextCursor(end);
        edit.ensureCursorVisible();
    }
    QTextEdit edit;
};

// Lays out and paints what a line changed, as the next frame would.
void settle(QTextEdit& edit)
{
    benchmark::DoNotOptimize(edit.document()->documentLayout()->documentSize());
    edit.viewport()->repaint();
}

void addToPane(benchmark::State& state, const QString& line)
{
    PaneUnderTest under;
    for (auto _ : state) {
        under.pane.addLine(line, Qt::black, false);
        settle(under.pane);
    }
}

void addToRawPane(benchmark::State& state, const QString& line)
{
    RawPane raw;
    for (auto _ : state) {
        raw.addLine(line);
        settle(raw.edit);
    }
}

long rssKib()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    return 0;
}

// One memory case in this process: the growth of the resident set, in KiB,
// from a pane showing one line (fonts loaded, widget painted) to the pane
// after the lines of the case.
int memoryCase(const std::string& which)
{
    const QString hostile = QStringLiteral("Eve chats: ") + QString(4000, u'a');
    // As many hostile lines as fill the pane's characters four times over.
    const int floodLines = int(4 * ChatPane::kMaxCharacters / 500);
    const bool raw = which == "raw_flood";
    if (!raw && which != "honest" && which != "flood")
        return 2;
    PaneUnderTest under;
    RawPane rawPane;
    QTextEdit& edit = raw ? rawPane.edit : static_cast<QTextEdit&>(under.pane);
    const auto add = [&](const QString& line) {
        if (raw)
            rawPane.addLine(line);
        else
            under.pane.addLine(line, Qt::black, false);
    };
    add(kHonestLine);
    settle(edit);
    const long before = rssKib();
    if (which == "honest") {
        for (int n = 0; n < ChatPane::kMaxLines; ++n)
            add(kHonestLine);
    } else {
        for (int n = 0; n < floodLines; ++n)
            add(hostile);
    }
    settle(edit);
    std::printf("%ld\n", rssKib() - before);
    return 0;
}

long memoryOf(const char* program, const char* which)
{
    QProcess child;
    child.start(QString::fromLocal8Bit(program), { QStringLiteral("--memory-case=") + which });
    // A raw flood lays out about two million characters: minutes on a slow machine.
    if (!child.waitForFinished(20 * 60 * 1000) || child.exitCode() != 0)
        return -1;
    return child.readAllStandardOutput().trimmed().toLong();
}

int memoryReport(const char* program)
{
    const long honest = memoryOf(program, "honest");
    const long flood = memoryOf(program, "flood");
    const long raw = memoryOf(program, "raw_flood");
    std::printf("Resident growth of a pane (KiB, each in a new process):\n");
    std::printf("  %d honest lines (reference)                 %8ld\n", ChatPane::kMaxLines, honest);
    std::printf("  flood of 4,000-character lines, chat pane    %8ld   ratio %.2f\n", flood,
        honest > 0 ? double(flood) / double(honest) : 0.0);
    std::printf("  same flood, rich-text pane written raw       %8ld   ratio %.2f\n", raw,
        honest > 0 ? double(raw) / double(honest) : 0.0);
    return honest > 0 && flood > 0 && raw > 0 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const char* casePrefix = "--memory-case=";
    if (argc == 2 && std::strncmp(argv[1], casePrefix, std::strlen(casePrefix)) == 0)
        return memoryCase(argv[1] + std::strlen(casePrefix));
    if (argc == 2 && std::strcmp(argv[1], "--memory") == 0)
        return memoryReport(argv[0]);

    std::vector<BenchRatio> ratios;
    benchmark::RegisterBenchmark("pane/honest", [](benchmark::State& state) {
        addToPane(state, kHonestLine);
    })->Unit(benchmark::kMillisecond);
    for (const Shape& shape : shapes()) {
        const std::string pane = std::string("pane/") + shape.name;
        const std::string raw = std::string("raw/") + shape.name;
        const QString line = shape.line;
        benchmark::RegisterBenchmark(pane.c_str(), [line](benchmark::State& state) {
            addToPane(state, line);
        })->Unit(benchmark::kMillisecond);
        // The raw pane's worst shapes take a second a line: a few lines tell enough.
        benchmark::RegisterBenchmark(
            raw.c_str(), [line](benchmark::State& state) { addToRawPane(state, line); })
            ->Unit(benchmark::kMillisecond)
            ->Iterations(5);
        ratios.push_back({ pane, "pane/honest" });
        ratios.push_back({ raw, pane });
    }
    return runBenchmarksWithRatios(argc, argv, std::move(ratios));
}
