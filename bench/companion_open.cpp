// companion_open: how long the main window's companions take to open the first
// time (built, shown and painted whole), now that a start builds them only when
// asked, beside a bare dialog with one label opened the same way in the same run.
//
//   companion_open [--runs N]
//
// Each run builds a fresh main window (offscreen platform, no server) and opens
// each companion once through the handler its menu item calls.
#include "tchat.h"
#include "tgamestartform.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QMainWindow>
#include <QTemporaryDir>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kDefaultRuns = 7;
constexpr int kMaxRuns = 1000;
// A window that has not painted within this long is reported as a failure.
constexpr int kPaintTimeoutMs = 10000;

// Set once the watched top level has painted itself whole: its expose or update
// request returns only after every child is drawn and flushed.
class PaintWatch : public QObject {
public:
    explicit PaintWatch(QWidget* window)
        : window_(window)
    {
        window->installEventFilter(this);
        if (window->windowHandle())
            window->windowHandle()->installEventFilter(this);
        // A main window's client area covers it: its paint is the window's.
        if (auto* main = qobject_cast<QMainWindow*>(window); main && main->centralWidget()) {
            area_ = main->centralWidget();
            area_->installEventFilter(this);
        }
    }
    bool done() const { return done_; }
    Clock::time_point at() const { return at_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (done_)
            return false;
        if ((watched == window_ || (area_ && watched == area_)) && event->type() == QEvent::Paint)
            painting_ = true;
        const bool pass = (watched == window_ && event->type() == QEvent::UpdateRequest)
            || (watched == window_->windowHandle() && event->type() == QEvent::Expose);
        if (!pass)
            return false;
        watched->event(event);
        if (painting_) {
            done_ = true;
            at_ = Clock::now();
        }
        return true;
    }

private:
    QWidget* window_;
    QWidget* area_ = nullptr;
    bool painting_ = false;
    bool done_ = false;
    Clock::time_point at_;
};

// Milliseconds from open() to the first whole paint of the window find() returns.
double timeOpening(const std::function<void()>& open, const std::function<QWidget*()>& find, const char* what)
{
    const auto start = Clock::now();
    open();
    QWidget* window = find();
    if (!window || !window->isVisible()) {
        std::fprintf(stderr, "companion_open: %s did not open\n", what);
        std::exit(1);
    }
    PaintWatch watch(window);
    const auto deadline = start + std::chrono::milliseconds(kPaintTimeoutMs);
    QTimer wake; // bounds each wait so the deadline is seen
    wake.start(50);
    while (!watch.done()) {
        if (Clock::now() > deadline) {
            std::fprintf(stderr, "companion_open: %s never painted\n", what);
            std::exit(1);
        }
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    window->hide();
    return std::chrono::duration<double, std::milli>(watch.at() - start).count();
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    int runs = kDefaultRuns;
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "--runs") == 0)
            runs = std::clamp(std::atoi(argv[i + 1]), 1, kMaxRuns);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QTemporaryDir folder;
    ::setenv("XDG_RUNTIME_DIR", qPrintable(folder.path()), 1);
    QApplication app(argc, argv);

    // Names in the order they are opened and printed.
    const std::vector<std::string> names { "bare dialog (reference)", "tally list (TallyList1)",
        "help (Help2)", "about (About1)", "spy list (SpyList1)", "phrase list (PhraseList1)",
        "start dialog (startForm)" };
    std::map<std::string, std::vector<double>> times;
    for (int run = 0; run < runs; ++run) {
        TchatSetup setup;
        setup.settingsFile = folder.filePath(QString("lexmire%1.ini").arg(run));
        setup.tileFolders = { folder.path() };
        setup.dispatchIntervalMs = 0;
        setup.showError
            = [](const QString& text) { std::fprintf(stderr, "window error: %s\n", qPrintable(text)); };
        setup.showNotice = [](const QString&) {};
        setup.ask = [](const QString&) { return false; };
        Tchat window(setup);
        window.show();
        // The main window first, as at a start; its paint is not part of any figure.
        PaintWatch shown(&window);
        const auto deadline = Clock::now() + std::chrono::milliseconds(kPaintTimeoutMs);
        QTimer wake; // bounds each wait so the deadline is seen
        wake.start(50);
        while (!shown.done()) {
            if (Clock::now() > deadline) {
                std::fprintf(stderr, "companion_open: the main window never painted\n");
                return 1;
            }
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }

        QDialog* bare = nullptr;
        times[names[0]].push_back(timeOpening(
            [&] {
                bare = new QDialog(&window);
                auto* layout = new QVBoxLayout(bare);
                layout->addWidget(new QLabel("Lexmire", bare));
                bare->show();
            },
            [&] { return bare; }, "the bare dialog"));
        const auto menuItem = [&window](const char* name) {
            return [&window, name] { window.findChild<QAction*>(name)->trigger(); };
        };
        const auto child = [&window](const char* name) {
            return [&window, name] { return window.findChild<QWidget*>(name); };
        };
        times[names[1]].push_back(timeOpening(menuItem("TallyList1"), child("Ttallylist"), "the tally list"));
        times[names[2]].push_back(timeOpening([&] { window.Help2Click(); }, child("Thelp"), "help"));
        times[names[3]].push_back(timeOpening([&] { window.About1Click(); }, child("Tabout"), "about"));
        times[names[4]].push_back(
            timeOpening([&] { window.SpyList1Click(); }, child("Tspylist"), "the spy list"));
        times[names[5]].push_back(
            timeOpening([&] { window.PhraseList1Click(); }, child("Tphrases"), "the phrase list"));
        times[names[6]].push_back(
            timeOpening([&] { window.startForm().show(); }, child("Tgamestartform"), "the start dialog"));
    }

    const double reference = median(times[names[0]]);
    std::printf(
        "companion_open: %d runs, each a fresh main window; first opening, built + shown + painted whole\n",
        runs);
    std::printf("  %-30s %10s %10s %8s\n", "", "median ms", "max ms", "/ bare");
    for (const std::string& name : names) {
        const std::vector<double>& t = times[name];
        std::printf("  %-30s %10.2f %10.2f %8.2f\n", name.c_str(), median(t),
            *std::max_element(t.begin(), t.end()), reference > 0 ? median(t) / reference : 0.0);
    }
    const std::vector<double>& tally = times[names[1]];
    std::printf("goal: tally list opened the first time under 50 ms: median %.2f ms, max %.2f ms: %s\n",
        median(tally), *std::max_element(tally.begin(), tally.end()),
        *std::max_element(tally.begin(), tally.end()) < 50.0 ? "met" : "not met");
    return 0;
}
