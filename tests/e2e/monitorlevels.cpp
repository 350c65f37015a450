// Records the monitor of a PulseAudio sink for an end-to-end test written in
// Python, with the sound tests' recorder:
//
//   tarv_e2e_monitor <sink>
//
// prints "recording" once sound is being captured, records until its standard
// input is closed, then prints "stopped <seconds>" (the monotonic clock's
// time, the one Python's time.monotonic reads) and the RMS level of each
// 10 ms window of the recording, one per line. A run of exact silence between
// sounds (the player catching up after a missed deadline) is left out, so
// the recording's end, not its start, lines up with the clock.

#include "tests/sfx/monitorrecorder.h"

#include <chrono>
#include <cstdio>
#include <QCoreApplication>
#include <QSocketNotifier>
#include <unistd.h>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <sink>\n", argv[0]);
        return 2;
    }
    MonitorRecorder recorder(QString::fromLocal8Bit(argv[1]));
    if (!recorder.Start()) {
        std::fprintf(stderr, "parec recorded nothing from %s.monitor\n", argv[1]);
        return 1;
    }
    std::printf("recording\n");
    std::fflush(stdout);

    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, &app, [&] {
        char buffer[256];
        if (read(STDIN_FILENO, buffer, sizeof buffer) > 0)
            return;
        input.setEnabled(false);
        const auto stoppedAt = std::chrono::steady_clock::now().time_since_epoch();
        recorder.Stop();
        std::printf("stopped %.6f\n", std::chrono::duration<double>(stoppedAt).count());
        for (const double level : recorder.Levels())
            std::printf("%.6f\n", level);
        std::fflush(stdout);
        app.quit();
    });
    return app.exec();
}
