// The player as a whole program (sfx_probe) against the private PulseAudio
// server: with the server's own buffer sizes, and held up by a signal.

#include "monitorrecorder.h"
#include "privatepulseserver.h"

#include <algorithm>
#include <cmath>
#include <csignal>
#include <numeric>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTest>
#include <sched.h>
#include <thread>

namespace {

constexpr int kWindow = MonitorRecorder::kWindowMilliseconds;
constexpr int kFirstPlayWorst = 1000;
constexpr int kFirstPlayBest = 300;

// What the probe printed: the times of its plays and finished notices, and
// its reports.
struct ProbeLog
{
    QList<int> played;
    QList<int> finished;
    QStringList reports;
    int buffer = 0; // milliseconds granted

    static ProbeLog Parse(const QByteArray& output)
    {
        ProbeLog log;
        for (const QByteArray& line : output.split('\n')) {
            const QList<QByteArray> words = line.split(' ');
            if (words.size() < 2)
                continue;
            if (words[0] == "played")
                log.played.append(words[1].toInt());
            else if (words[0] == "finished")
                log.finished.append(words[1].toInt());
            else if (words[0] == "ready" && words.size() == 3)
                log.buffer = static_cast<int>(words[2].toDouble());
            else if (words[0] == "report")
                log.reports.append(QString::fromUtf8(line));
        }
        return log;
    }
};

// Milliseconds of sound in the recording, and the number of separate sounds.
std::pair<int, int> Loudness(const std::vector<double>& levels)
{
    int loudWindows = 0;
    int sounds = 0;
    bool inSound = false;
    for (const double level : levels) {
        const bool loud = level > 0.05;
        loudWindows += loud ? 1 : 0;
        sounds += loud && !inSound ? 1 : 0;
        inSound = loud;
    }
    return {loudWindows * kWindow, sounds};
}

// Milliseconds into the recording at which a sound begins after at least
// 100 ms of quiet.
QList<int> Onsets(const std::vector<double>& levels)
{
    QList<int> onsets;
    int quiet = 0;
    for (std::size_t i = 0; i < levels.size(); ++i) {
        if (levels[i] <= 0.05) {
            ++quiet;
            continue;
        }
        if (quiet * kWindow >= 100)
            onsets.append(static_cast<int>(i) * kWindow);
        quiet = 0;
    }
    return onsets;
}

// Whether the recording holds `count` sounds and, after the last, as much
// quiet as `quietMs`: the monitor hands the recording over in steps, and a
// busy machine is late with them.
bool HoldsSoundsThenQuiet(const std::vector<double>& levels, int count, int quietMs)
{
    int quiet = 0;
    for (auto level = levels.rbegin(); level != levels.rend() && *level <= 0.05; ++level)
        ++quiet;
    return Loudness(levels).second >= count && quiet * kWindow >= quietMs;
}

// How much later than a later play the first play of a fresh player is
// heard, when it comes `at` milliseconds after start-up (a million when it
// was not measured). The player starts just as the sink has played its next two
// seconds (the recorder keeping to them gets them at once), when the sink is
// furthest ahead of it.
int FirstPlayLateBy(int at)
{
    MonitorRecorder recorder(QStringLiteral("tarv_test"), 2000);
    const auto failed = [](const char* what) {
        qWarning("%s", what);
        return 1000000;
    };
    if (!recorder.Start())
        return failed("no recording");
    const qsizetype recorded = recorder.Bytes();
    if (!QTest::qWaitFor([&] { return recorder.Bytes() > recorded; }, 5000))
        return failed("the sink played nothing");
    QProcess probe;
    probe.start(QStringLiteral(TARV_SFX_PROBE),
                {"--play-at", QString::number(at), "--play-at", QString::number(at + 4000),
                 "--quit-at", QString::number(at + 6500)});
    if (!QTest::qWaitFor([&] { return probe.state() == QProcess::NotRunning; }, 15000))
        return failed("the probe did not quit");
    (void)QTest::qWaitFor([&] { return HoldsSoundsThenQuiet(recorder.Levels(), 2, 500); }, 10000);
    recorder.Stop();
    const ProbeLog log = ProbeLog::Parse(probe.readAllStandardOutput());
    const QList<int> onsets = Onsets(recorder.Levels());
    if (log.played.size() != 2 || onsets.size() != 2)
        return failed("the two plays were not heard apart");
    return (log.played[1] - log.played[0]) - (onsets[1] - onsets[0]);
}

// Whether this process may run a thread in real time (root, or a
// real-time limit of its own).
bool RealtimeGranted()
{
    bool granted = false;
    std::thread trial([&granted] {
        sched_param parameters{};
        parameters.sched_priority = 1;
        granted = sched_setscheduler(0, SCHED_FIFO, &parameters) == 0;
    });
    trial.join();
    return granted;
}

// A thread of a running process, as /proc tells it.
struct Task
{
    QString name;
    bool realtime = false;
    qint64 wakeUps = 0; // voluntary context switches so far
};

QList<Task> Tasks(qint64 pid)
{
    QList<Task> tasks;
    const QDir folder(QStringLiteral("/proc/%1/task").arg(pid));
    for (const QString& id : folder.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile comm(folder.filePath(id + QStringLiteral("/comm")));
        QFile status(folder.filePath(id + QStringLiteral("/status")));
        if (!comm.open(QIODevice::ReadOnly) || !status.open(QIODevice::ReadOnly))
            continue; // it has just ended
        Task task;
        task.name = QString::fromUtf8(comm.readAll()).trimmed();
        const int policy = sched_getscheduler(id.toInt());
        task.realtime = policy >= 0 && (policy & ~SCHED_RESET_ON_FORK) != SCHED_OTHER &&
                        (policy & ~SCHED_RESET_ON_FORK) != SCHED_BATCH &&
                        (policy & ~SCHED_RESET_ON_FORK) != SCHED_IDLE;
        const QRegularExpression switches(QStringLiteral("voluntary_ctxt_switches:\\s*(\\d+)"));
        const QRegularExpressionMatch match = switches.match(QString::fromUtf8(status.readAll()));
        task.wakeUps = match.hasMatch() ? match.captured(1).toLongLong() : 0;
        tasks.append(task);
    }
    return tasks;
}

// Stops the private server (SIGSTOP) until it goes out of scope.
class HungServer
{
public:
    HungServer()
    {
        QFile file(QFileInfo(tarv::testing::PrivatePulseSocket()).absolutePath() +
                   QStringLiteral("/pulse/pid"));
        if (file.open(QIODevice::ReadOnly))
            m_pid = file.readAll().trimmed().toInt();
        if (m_pid > 0 && ::kill(m_pid, SIGSTOP) != 0)
            m_pid = 0;
    }
    ~HungServer()
    {
        if (m_pid > 0)
            ::kill(m_pid, SIGCONT);
    }
    HungServer(const HungServer&) = delete;
    HungServer& operator=(const HungServer&) = delete;
    bool Hangs() const { return m_pid > 0; }

private:
    pid_t m_pid = 0;
};

constexpr auto kFeedThread = "tarv sound feed";
constexpr auto kWatcherThread = "tarv outputs";

} // namespace

class TestSfxPlayerProcess : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (!tarv::testing::PrivatePulseServerRunning())
            QSKIP(tarv::testing::kNoPrivatePulseServer);
    }

    void aDeviceWithALargeBufferIsNeverTakenForStalled_data()
    {
        QTest::addColumn<QByteArray>("latency");
        QTest::newRow("1100 ms asked for") << QByteArray("1100");
        QTest::newRow("2000 ms asked for") << QByteArray("2000");
    }

    void aDeviceWithALargeBufferIsNeverTakenForStalled()
    {
        QFETCH(QByteArray, latency);
        // Recorded in long steps, so the sink plays in the steps the
        // player's buffer asks for.
        MonitorRecorder recorder(QStringLiteral("tarv_test"), 2000);
        QVERIFY(recorder.Start());
        QProcess probe;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("PULSE_LATENCY_MSEC"), QString::fromLatin1(latency));
        probe.setProcessEnvironment(environment);
        // It quits only once the last tone can have left a buffer of two
        // seconds: quitting drops what the device still holds.
        probe.start(QStringLiteral(TARV_SFX_PROBE), {"--play-at", "2500", "--play-at", "5500",
                                                     "--play-at", "8500", "--quit-at", "13500"});
        // The event loop runs meanwhile: it takes the recording in.
        QTRY_VERIFY_WITH_TIMEOUT(probe.state() == QProcess::NotRunning, 60000);
        (void)QTest::qWaitFor([&] { return HoldsSoundsThenQuiet(recorder.Levels(), 3, 500); },
                              15000);
        recorder.Stop();
        const QByteArray output = probe.readAllStandardOutput();
        qInfo("%s", output.constData());
        QCOMPARE(probe.exitCode(), 0);

        // Every 2 s tone is heard whole, without a word. Its end is told
        // once it went into the device, which may hold up to its buffer.
        const ProbeLog log = ProbeLog::Parse(output);
        QVERIFY2(log.reports.isEmpty(), qPrintable(log.reports.join('\n')));
        QCOMPARE(log.finished.size(), 3);
        // A probe ready before its output opened knows no buffer yet: the
        // one asked for bounds it.
        const int buffer = log.buffer > 0 ? log.buffer : latency.toInt();
        for (qsizetype i = 0; i < 3; ++i) {
            const int lasted = log.finished[i] - log.played[i];
            QVERIFY2(lasted >= 1950 - buffer, qPrintable(QString::number(lasted)));
        }
        const auto [loud, sounds] = Loudness(recorder.Levels());
        QCOMPARE(sounds, 3);
        QVERIFY2(std::abs(loud - 6000) <= 300, qPrintable(QString::number(loud)));
    }

    void theFirstPlayRightAfterStartUpIsNotHeldBack()
    {
        // A sink left idle plays in long steps (PulseAudio's null sink: two
        // seconds), which the recorder keeps to; the player starts half a
        // second into one. Its first play, just after, is heard as promptly
        // as a later one: the gap between the two sounds is the gap between
        // the two plays.
        MonitorRecorder recorder(QStringLiteral("tarv_test"), 2000);
        QVERIFY(recorder.Start());
        QTest::qWait(500);
        QProcess probe;
        probe.start(QStringLiteral(TARV_SFX_PROBE),
                    {"--play-at", "200", "--play-at", "4200", "--quit-at", "7000"});
        QTRY_VERIFY_WITH_TIMEOUT(probe.state() == QProcess::NotRunning, 60000);
        (void)QTest::qWaitFor([&] { return HoldsSoundsThenQuiet(recorder.Levels(), 2, 500); },
                              15000);
        recorder.Stop();
        const QByteArray output = probe.readAllStandardOutput();
        qInfo("%s", output.constData());
        const ProbeLog log = ProbeLog::Parse(output);
        QCOMPARE(log.played.size(), 2);
        const QList<int> onsets = Onsets(recorder.Levels());
        QCOMPARE(onsets.size(), 2);
        // Held back, it was late by seconds; a busy machine is late by a few
        // hundred milliseconds at most. The figures are the benchmark's.
        const int firstLateBy = (log.played[1] - log.played[0]) - (onsets[1] - onsets[0]);
        qInfo("first play late by %d ms", firstLateBy);
        QVERIFY2(firstLateBy <= 1000, qPrintable(QString::number(firstLateBy)));
    }

    void theFirstPlayAtStartUpIsAsPromptAsALaterOne()
    {
        // As above, with the first play while the output is still opening:
        // at once, and a tenth of a second after start-up.
#ifdef TARV_SANITIZED
        QSKIP("The sanitizers slow the player down too much for its timing to tell.");
#endif
        const int atOnce = FirstPlayLateBy(0);
        const int soonAfter = FirstPlayLateBy(100);
        qInfo("first play late by %d ms at once, %d ms 0.1 s after start-up", atOnce, soonAfter);
        // Held back with the sink this far ahead, it was late by 0.8-1.4 s;
        // a busy machine seldom holds up both sessions.
        QVERIFY2(std::max(atOnce, soonAfter) <= kFirstPlayWorst,
                 qPrintable(QStringLiteral("%1, %2").arg(atOnce).arg(soonAfter)));
        QVERIFY2(std::min(atOnce, soonAfter) <= kFirstPlayBest,
                 qPrintable(QStringLiteral("%1, %2").arg(atOnce).arg(soonAfter)));
    }

    void onlyTheThreadThatFeedsTheDeviceRunsInRealTime()
    {
        // Busy programs make a feed at normal priority late, and the sound
        // drops out; no other thread of the player may take the machine
        // from them, nor from the sound server, in its stead.
        if (!RealtimeGranted())
            QSKIP("This system grants no real-time scheduling here.");
        QProcess probe;
        probe.start(QStringLiteral(TARV_SFX_PROBE), {"--play-at", "0", "--quit-at", "3000"});
        QVERIFY(probe.waitForStarted());
        QByteArray output;
        QTRY_VERIFY_WITH_TIMEOUT((output += probe.readAllStandardOutput()).contains("ready"),
                                 10000);
        const QList<Task> tasks = Tasks(probe.processId());
        QVERIFY(probe.waitForFinished(10000));
        QStringList feeds;
        QStringList others;
        for (const Task& task : tasks) {
            if (task.name == QLatin1String(kFeedThread))
                feeds.append(task.realtime ? "real-time" : "normal");
            else if (task.realtime)
                others.append(task.name);
        }
        QVERIFY2(others.isEmpty(), qPrintable("in real time: " + others.join(", ")));
        QCOMPARE(feeds, QStringList{"real-time"});
    }

    // SIGXCPU dropped the feed to normal scheduling: once it runs calmly
    // again it gets real time back by itself, with the same looping effect
    // playing on; a feed that is dropped again and again stays at normal
    // scheduling, and the log says so once.
    void aDemotedFeedGetsRealTimeBackUnlessItKeepsBeingDemoted()
    {
        if (!RealtimeGranted())
            QSKIP("This system grants no real-time scheduling here.");
        QProcess probe;
        probe.start(QStringLiteral(TARV_SFX_PROBE), {"--loops", "1", "--quit-at", "60000"});
        QVERIFY(probe.waitForStarted());
        const auto stop = qScopeGuard([&probe] {
            probe.kill();
            probe.waitForFinished();
        });
        QByteArray output;
        QTRY_VERIFY_WITH_TIMEOUT((output += probe.readAllStandardOutput()).contains("ready"),
                                 10000);
        const auto pid = static_cast<pid_t>(probe.processId());
        const auto feedRuns = [pid] {
            const QList<Task> tasks = Tasks(pid);
            const auto feed = std::find_if(tasks.begin(), tasks.end(), [](const Task& task) {
                return task.name == QLatin1String(kFeedThread);
            });
            return feed == tasks.end() ? QStringLiteral("gone")
                   : feed->realtime    ? QStringLiteral("real-time")
                                       : QStringLiteral("normal");
        };
        QTRY_COMPARE_WITH_TIMEOUT(feedRuns(), QStringLiteral("real-time"), 5000);
        QStringList backAfter;
        for (int demotion = 1; demotion <= 3; ++demotion) {
            QCOMPARE(::kill(pid, SIGXCPU), 0);
            QTRY_COMPARE_WITH_TIMEOUT(feedRuns(), QStringLiteral("normal"), 2000);
            if (demotion == 3)
                break;
            QElapsedTimer clock;
            clock.start();
            QTRY_COMPARE_WITH_TIMEOUT(feedRuns(), QStringLiteral("real-time"), 10000);
            backAfter << QString::number(clock.elapsed());
        }
        qInfo("real time back after %s ms", qPrintable(backAfter.join(", ")));
        QTest::qWait(12000);
        QCOMPARE(feedRuns(), QStringLiteral("normal"));
        QCOMPARE(probe.state(), QProcess::Running);
        const QString log = QString::fromUtf8(probe.readAllStandardError());
        QVERIFY2(log.count(QStringLiteral("normal scheduling")) == 1, qPrintable(log));
        // The same play all along: nothing was played again.
        output += probe.readAllStandardOutput();
        QVERIFY2(!output.contains("played"), output.constData());
    }

    void theOutputWatcherWaitsCalmlyForAServerThatHangs()
    {
        QProcess probe;
        probe.start(QStringLiteral(TARV_SFX_PROBE), {"--quit-at", "9000"});
        QVERIFY(probe.waitForStarted());
        QByteArray output;
        QTRY_VERIFY_WITH_TIMEOUT((output += probe.readAllStandardOutput()).contains("ready"),
                                 10000);
        const auto wakeUps = [&probe] {
            qint64 sum = 0;
            for (const Task& task : Tasks(probe.processId()))
                sum += task.name == QLatin1String(kWatcherThread) ? task.wakeUps : 0;
            return sum;
        };
        qint64 woken = 0;
        {
            const HungServer server;
            QVERIFY(server.Hangs());
            // Its next question, at most a second away, is not answered.
            QTest::qWait(1500);
            const qint64 before = wakeUps();
            QElapsedTimer clock;
            clock.start();
            QTest::qWait(3000);
            woken = (wakeUps() - before) * 1000 / clock.elapsed();
        }
        QVERIFY(probe.waitForFinished(20000));
        // Asked every 0.2 ms while it hangs, it woke thousands of times a
        // second.
        qInfo("the output watcher woke %lld times a second", woken);
        QVERIFY2(woken > 0 && woken < 200, qPrintable(QString::number(woken)));
    }

    void aHoldUpOfTheProgramSkipsAheadWithoutAWord()
    {
        MonitorRecorder recorder(QStringLiteral("tarv_test"));
        QVERIFY(recorder.Start());
        QProcess probe;
        probe.start(QStringLiteral(TARV_SFX_PROBE), {"--play-at", "1500", "--quit-at", "10500"});
        QVERIFY(probe.waitForStarted());
        QByteArray output;
        QTRY_VERIFY_WITH_TIMEOUT((output += probe.readAllStandardOutput()).contains("played"),
                                 30000);
        // The probe played before we saw it; how much before, and how late
        // the signals come, is what a busy machine adds to the times below.
        QElapsedTimer seen;
        seen.start();
        QTest::qWait(500);
        QCOMPARE(::kill(static_cast<pid_t>(probe.processId()), SIGSTOP), 0);
        const qint64 stoppedAfter = seen.elapsed();
        QTest::qWait(6000);
        QCOMPARE(::kill(static_cast<pid_t>(probe.processId()), SIGCONT), 0);
        const qint64 heldFor = seen.elapsed();
        QTRY_VERIFY_WITH_TIMEOUT(probe.state() == QProcess::NotRunning, 30000);
        (void)QTest::qWaitFor([&] { return HoldsSoundsThenQuiet(recorder.Levels(), 1, 500); },
                              15000);
        recorder.Stop();
        output += probe.readAllStandardOutput();
        qInfo("%s", output.constData());
        QCOMPARE(probe.exitCode(), 0);

        // Half a second was heard (less where a busy machine started it
        // late); the rest of the 2 s tone fell in the hold-up and is skipped,
        // and its end is told at once. Played on after the hold-up, it would
        // last 1.5 s longer and be heard as long.
        const ProbeLog log = ProbeLog::Parse(output);
        QVERIFY2(log.reports.isEmpty(), qPrintable(log.reports.join('\n')));
        QCOMPARE(log.finished.size(), 1);
        const int lasted = log.finished.front() - log.played.front();
        const QString times = QStringLiteral("lasted %1 ms, stopped %2 ms and resumed %3 ms after "
                                             "the play was seen")
                                  .arg(lasted)
                                  .arg(stoppedAfter)
                                  .arg(heldFor);
        QVERIFY2(lasted >= heldFor - 20 && lasted <= heldFor + 800, qPrintable(times));
        const auto [loud, sounds] = Loudness(recorder.Levels());
        QVERIFY2(loud >= 50 && loud <= stoppedAfter + 800,
                 qPrintable(QStringLiteral("heard %1 ms; ").arg(loud) + times));
        QCOMPARE(sounds, 1);
    }

    // However long the hold-up, the whole of the missed time is skipped: a
    // fade goes on from where it would stand and the effect ends, and is
    // told to end, when it would have without the hold-up.
    void aHoldUpOfAnyLengthSkipsTheWholeMissedTime_data()
    {
        QTest::addColumn<int>("holdUp");
        QTest::addColumn<bool>("fading");
        QTest::newRow("6 s during a fade") << 6000 << true;
        QTest::newRow("12 s during a long effect") << 12000 << false;
    }

    void aHoldUpOfAnyLengthSkipsTheWholeMissedTime()
    {
        QFETCH(int, holdUp);
        QFETCH(bool, fading);
        constexpr int kPlayAt = 1500;
        constexpr int kLength = 20000; // the 2 s tone and nine repeats
        constexpr int kFadeFrom = 500; // after the play, to silence over 10 s
        constexpr int kFadeLength = 10000;
        MonitorRecorder recorder(QStringLiteral("tarv_test"));
        QVERIFY(recorder.Start());
        QProcess probe;
        QStringList arguments{"--play-at", QString::number(kPlayAt),
                              "--repeats", "9",
                              "--quit-at", QString::number(kPlayAt + kLength + 8000)};
        if (fading)
            arguments << "--fade-at"
                      << QStringLiteral("%1:0:%2").arg(kPlayAt + kFadeFrom).arg(kFadeLength);
        probe.start(QStringLiteral(TARV_SFX_PROBE), arguments);
        QVERIFY(probe.waitForStarted());
        QByteArray output;
        QTRY_VERIFY_WITH_TIMEOUT((output += probe.readAllStandardOutput()).contains("played"),
                                 30000);
        QElapsedTimer seen; // a little after the play
        seen.start();
        QTest::qWait(1500);
        QCOMPARE(::kill(static_cast<pid_t>(probe.processId()), SIGSTOP), 0);
        const qint64 stoppedAfter = seen.elapsed();
        QTest::qWait(holdUp);
        QCOMPARE(::kill(static_cast<pid_t>(probe.processId()), SIGCONT), 0);
        const qint64 resumedAfter = seen.elapsed();
        QTRY_VERIFY_WITH_TIMEOUT(probe.state() == QProcess::NotRunning, 60000);
        (void)QTest::qWaitFor([&] { return HoldsSoundsThenQuiet(recorder.Levels(), 2, 500); },
                              15000);
        recorder.Stop();
        output += probe.readAllStandardOutput();
        QCOMPARE(probe.exitCode(), 0);
        const ProbeLog log = ProbeLog::Parse(output);
        QVERIFY2(log.reports.isEmpty(), qPrintable(log.reports.join('\n')));
        QCOMPARE(log.finished.size(), 1);
        const int lasted = log.finished.front() - log.played.front();
        // The sound before the hold-up, and after it: the recording keeps
        // the hold-up's silence.
        const std::vector<double> levels = recorder.Levels();
        const QList<int> onsets = Onsets(levels);
        QStringList onsetTimes;
        for (const int onset : onsets)
            onsetTimes << QString::number(onset);
        const QString times =
            QStringLiteral("lasted %1 ms; stopped %2 ms and resumed %3 ms after the play was seen; "
                           "sounds begin at %4 ms")
                .arg(lasted)
                .arg(stoppedAfter)
                .arg(resumedAfter)
                .arg(onsetTimes.join(", "));
        qInfo("%s", qPrintable(times));
        // Played on after the hold-up, it ended as much later as the
        // hold-up was longer than what was skipped.
        QVERIFY2(lasted >= kLength - 100 && lasted <= kLength + 800, qPrintable(times));
        QVERIFY2(onsets.size() == 2, qPrintable(times));
        const int heardAfter =
            Loudness(std::vector<double>(levels.begin() + onsets[1] / kWindow, levels.end())).first;
        if (!fading) {
            // What the effect had left after the hold-up, give or take how
            // late the play was seen and how busy the machine is.
            const qint64 left = kLength - resumedAfter;
            qInfo("heard %d ms after the hold-up, %lld ms left", heardAfter, left);
            QVERIFY2(heardAfter >= left - 1500 && heardAfter <= left + 600,
                     qPrintable(QStringLiteral("heard %1 ms after it; ").arg(heardAfter) + times));
            return;
        }
        // The fade is linear: its level just after the hold-up against the
        // level just before it tells where it stands.
        const auto level = [&](int fromMs) {
            std::vector<double> part(levels.begin() + fromMs / kWindow,
                                     levels.begin() + (fromMs + 100) / kWindow);
            std::sort(part.begin(), part.end());
            return part[part.size() / 2];
        };
        int stopEnd = onsets[1];
        while (stopEnd > 0 && levels[static_cast<std::size_t>(stopEnd / kWindow) - 1] <= 0.05)
            stopEnd -= kWindow;
        const double ratio = level(onsets[1] + 20) / level(stopEnd - 120);
        const auto gainAt = [&](qint64 afterSeen) {
            return 1.0 - static_cast<double>(afterSeen - kFadeFrom) / kFadeLength;
        };
        const double expected = gainAt(resumedAfter) / gainAt(stoppedAfter);
        qInfo("level after the hold-up %.3f of the level before, %.3f expected", ratio, expected);
        QVERIFY2(std::abs(ratio - expected) < 0.06,
                 qPrintable(QStringLiteral("level after the hold-up %1 of the level before, %2 "
                                           "expected; ")
                                .arg(ratio)
                                .arg(expected) +
                            times));
    }

    void aLongHoldUpWithEveryVoiceBusyLeavesTheProgramPlaying()
    {
        // The limit on real-time CPU time that RealtimeKit sets a desktop
        // user (the kernel kills a real-time thread that runs this long
        // without blocking), here set by hand.
        if (!RealtimeGranted())
            QSKIP("This system grants no real-time scheduling here.");
        MonitorRecorder recorder(QStringLiteral("tarv_test"));
        QVERIFY(recorder.Start());
        QProcess probe;
        probe.start(QStringLiteral("prlimit"),
                    {QStringLiteral("--rttime=200000:200000"), QStringLiteral(TARV_SFX_PROBE),
                     "--loops", "256", "--quit-at", "16000"});
        QVERIFY(probe.waitForStarted());
        QByteArray output;
        QTRY_VERIFY_WITH_TIMEOUT((output += probe.readAllStandardOutput()).contains("ready"),
                                 30000);
        QTest::qWait(1000);
        const auto pid = static_cast<pid_t>(probe.processId());
        QCOMPARE(::kill(pid, SIGSTOP), 0);
        QTest::qWait(6500);
        const qsizetype resumedAt = recorder.Bytes();
        QCOMPARE(::kill(pid, SIGCONT), 0);
        QTRY_VERIFY_WITH_TIMEOUT(probe.state() == QProcess::NotRunning, 60000);
        recorder.Stop();
        output += probe.readAllStandardOutput();
        qInfo("%s", output.constData());
        QCOMPARE(probe.exitStatus(), QProcess::NormalExit);
        QCOMPARE(probe.exitCode(), 0);

        // It plays on after the hold-up until it quits (about 6 s later;
        // less where a busy machine held it up).
        const std::vector<double> levels = recorder.Levels();
        const auto resumedWindow =
            static_cast<std::size_t>(resumedAt / (8 * MonitorRecorder::kRate * kWindow / 1000));
        const std::vector<double> after(
            levels.begin() + static_cast<std::ptrdiff_t>(std::min(resumedWindow, levels.size())),
            levels.end());
        const int heardAfter = Loudness(after).first;
        QVERIFY2(heardAfter >= 2000, qPrintable(QString::number(heardAfter)));
    }
};

QTEST_GUILESS_MAIN(TestSfxPlayerProcess)
#include "tst_sfxplayer_process.moc"
