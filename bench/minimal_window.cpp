// minimal_window: the smallest Qt Widgets program that shows a window, as the
// reference for the desktop program's start-up time, memory and idle cost.
// It prints the wall-clock time (seconds since the epoch) of its first paint and
// the CPU time used by then, then stays up for --stay-ms (default 0) doing
// nothing and quits by itself.
//
//   minimal_window [--stay-ms N]
#include <QApplication>
#include <QLabel>
#include <QPaintEvent>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>

#include <sys/resource.h>

namespace {

class Window : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent* event) override
    {
        QLabel::paintEvent(event);
        if (painted_)
            return;
        painted_ = true;
        const auto now = std::chrono::system_clock::now().time_since_epoch();
        rusage usage {};
        ::getrusage(RUSAGE_SELF, &usage);
        const double cpuMs = (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3
            + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
        std::printf("first-paint %.6f cpu-ms %.1f\n", std::chrono::duration<double>(now).count(), cpuMs);
        std::fflush(stdout);
    }

private:
    bool painted_ = false;
};

} // namespace

int main(int argc, char** argv)
{
    int stayMs = 0;
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "--stay-ms") == 0)
            stayMs = std::clamp(std::atoi(argv[i + 1]), 0, 600000);
    QApplication app(argc, argv);
    Window window("Lexmire");
    window.resize(640, 480);
    window.show();
    // One single-shot timer ends the program; nothing else runs while it waits.
    QTimer::singleShot(stayMs, &app, &QApplication::quit);
    return app.exec();
}
