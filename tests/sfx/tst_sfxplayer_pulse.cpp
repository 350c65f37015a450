// Real sound, end to end: the player plays into a private PulseAudio
// server's null sink and the sink's monitor is recorded. The recording is
// measured on the stream's own timeline (the recorder takes dropouts out), so
// lengths and fade slopes are tight; what depends on the wall clock (when a
// stop or sfxFinished arrives) has generous bounds, because the machine may
// be busy.

#include "monitorrecorder.h"
#include "privatepulseserver.h"
#include "sfx/customaudioparameters.h"
#include "sfx/outputdevices.h"
#include "sfx/sfxdtobuilder.h"
#include "sfx/sfxmanifest.h"
#include "sfx/sfxplayer.h"
#include "sfx/sfxplayerconnectionmediator.h"
#include "sfx/sfxplayercontroller.h"
#include "sfx/sfxplayercontrollerimpl.h"
#include "tests/support/fakesfxrepository.h"

#include <algorithm>
#include <optional>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

using namespace tarv::audio;

namespace {

constexpr int kWindow = MonitorRecorder::kWindowMilliseconds;

struct Segment
{
    int start; // ms into the recording
    int end;
    int Length() const { return end - start; }
};

// Runs of windows louder than `threshold`; a window cut by a dropout does
// not split a run.
std::vector<Segment> LoudSegments(const std::vector<double>& levels, double threshold)
{
    constexpr int kBridgedGap = 30;
    std::vector<Segment> segments;
    for (std::size_t i = 0; i < levels.size(); ++i) {
        if (levels[i] <= threshold)
            continue;
        const auto start = static_cast<int>(i) * kWindow;
        while (i < levels.size() && levels[i] > threshold)
            ++i;
        const int end = static_cast<int>(i) * kWindow;
        if (!segments.empty() && start - segments.back().end <= kBridgedGap)
            segments.back().end = end;
        else
            segments.push_back({start, end});
    }
    return segments;
}

double MedianLevel(const std::vector<double>& levels, int fromMs, int toMs)
{
    std::vector<double> part(levels.begin() + fromMs / kWindow, levels.begin() + toMs / kWindow);
    std::nth_element(part.begin(), part.begin() + static_cast<std::ptrdiff_t>(part.size() / 2),
                     part.end());
    return part[part.size() / 2];
}

// First time at or after `fromMs` where the level falls below `level`.
int FirstBelow(const std::vector<double>& levels, int fromMs, double level)
{
    for (std::size_t i = static_cast<std::size_t>(fromMs / kWindow); i < levels.size(); ++i) {
        if (levels[i] < level)
            return static_cast<int>(i) * kWindow;
    }
    return -1;
}

// The recording comes in steps: it holds the end of the last of `sounds`
// sounds once they are in it and its last 300 ms are quiet, or (a sound that
// did not end) after a while.
void WaitForQuietEnd(const MonitorRecorder& recorder, std::size_t sounds = 1)
{
    (void)QTest::qWaitFor(
        [&] {
            const auto levels = recorder.Levels();
            return levels.size() > 300 / kWindow && LoudSegments(levels, 0.01).size() >= sounds &&
                   std::all_of(levels.end() - 300 / kWindow, levels.end(),
                               [](double level) { return level < 0.001; });
        },
        10000);
}

// The private server's process id, from its pid file.
qint64 ServerPid()
{
    QFile pidFile(QFileInfo(tarv::testing::PrivatePulseSocket()).dir().filePath("pulse/pid"));
    return pidFile.open(QIODevice::ReadOnly) ? pidFile.readAll().trimmed().toLongLong() : 0;
}

bool Signal(const char* signal, qint64 pid)
{
    return QProcess::execute("kill", {QString::fromLatin1(signal), QString::number(pid)}) == 0;
}

// Runs pactl against the private server; its output, trimmed.
QString Pactl(const QStringList& arguments)
{
    QProcess pactl;
    pactl.start(QStringLiteral("pactl"), arguments);
    pactl.waitForFinished(10000);
    return QString::fromUtf8(pactl.readAllStandardOutput()).trimmed();
}

// Loads a null sink named `sink`, described as `description` (the
// module's own description when empty); the module's index, or -1.
int LoadSink(const QString& sink, const QString& description = QString())
{
    QStringList arguments{QStringLiteral("load-module"),       QStringLiteral("module-null-sink"),
                          QStringLiteral("sink_name=") + sink, QStringLiteral("rate=48000"),
                          QStringLiteral("format=float32le"),  QStringLiteral("channels=2")};
    if (!description.isEmpty())
        arguments << QStringLiteral("sink_properties=device.description=") + description;
    bool ok = false;
    const int module = Pactl(arguments).toInt(&ok);
    return ok ? module : -1;
}

// Busy programs on every core while it lives.
class BusyMachine
{
public:
    explicit BusyMachine(int processes)
    {
        for (int i = 0; i < processes; ++i) {
            m_processes.push_back(std::make_unique<QProcess>());
            m_processes.back()->start(
                QStringLiteral("sh"),
                {QStringLiteral("-c"), QStringLiteral("while :; do :; done")});
        }
    }
    ~BusyMachine()
    {
        for (const auto& process : m_processes) {
            process->kill();
            process->waitForFinished(3000);
        }
    }
    BusyMachine(const BusyMachine&) = delete;
    BusyMachine& operator=(const BusyMachine&) = delete;

private:
    std::vector<std::unique_ptr<QProcess>> m_processes;
};

// The player's reports as they come, with the time each came.
struct TimedReport
{
    qint64 at; // ms
    QString type;
    QString message;
    QString context;
};

class ReportLog
{
public:
    explicit ReportLog(const QObject* receiver)
        : m_connection(QObject::connect(
              SfxPlayerConnectionMediator::instance(),
              &SfxPlayerConnectionMediator::soundEffectError, receiver,
              [this](const QString& type, const QString& message, const QString& context) {
                  m_reports.push_back({m_clock.elapsed(), type, message, context});
              }))
    {
        m_clock.start();
    }
    ~ReportLog() { QObject::disconnect(m_connection); }
    ReportLog(const ReportLog&) = delete;
    ReportLog& operator=(const ReportLog&) = delete;

    const std::vector<TimedReport>& Reports() const { return m_reports; }
    qint64 Elapsed() const { return m_clock.elapsed(); }
    QString Describe() const
    {
        QStringList parts;
        for (const TimedReport& r : m_reports)
            parts << QStringLiteral("%1 ms %2 [%3] %4").arg(r.at).arg(r.type, r.context, r.message);
        return parts.join(QStringLiteral(" | "));
    }

private:
    QElapsedTimer m_clock;
    std::vector<TimedReport> m_reports;
    QMetaObject::Connection m_connection;
};

bool Known(const QString& sink)
{
    const auto outputs = OutputDevices();
    return std::any_of(outputs.begin(), outputs.end(),
                       [&](const OutputDevice& d) { return d.id == sink.toUtf8(); });
}

// Starts the private server afresh (its old process must be gone).
void RestartServer()
{
    QProcess::execute(QStringLiteral(TARV_PULSE_START), {QStringLiteral(TARV_PULSE_DIR)});
}

// The sink of each stream that plays on the private server, by name.
QStringList StreamSinks()
{
    QMap<QString, QString> sinkNames;
    for (const QString& line : Pactl({"list", "short", "sinks"}).split('\n'))
        sinkNames[line.section('\t', 0, 0)] = line.section('\t', 1, 1);
    QStringList sinks;
    for (const QString& line :
         Pactl({"list", "short", "sink-inputs"}).split('\n', Qt::SkipEmptyParts))
        sinks << sinkNames.value(line.section('\t', 1, 1));
    return sinks;
}

// The index of the stream that plays on `sink`; empty when none does.
QString StreamOn(const QString& sink)
{
    QString sinkIndex;
    for (const QString& line : Pactl({"list", "short", "sinks"}).split('\n')) {
        if (line.section('\t', 1, 1) == sink)
            sinkIndex = line.section('\t', 0, 0);
    }
    for (const QString& line :
         Pactl({"list", "short", "sink-inputs"}).split('\n', Qt::SkipEmptyParts)) {
        if (!sinkIndex.isEmpty() && line.section('\t', 1, 1) == sinkIndex)
            return line.section('\t', 0, 0);
    }
    return {};
}

// Ends the stream that plays on `sink` through the server's command line
// (module-cli-protocol-unix), as pactl cannot: to the player, its device
// stopped working.
bool KillStreamOn(const QString& sink)
{
    const QString stream = StreamOn(sink);
    if (stream.isEmpty())
        return false;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"),
                       QStringLiteral(TARV_PULSE_DIR "/runtime"));
    environment.insert(QStringLiteral("HOME"), QStringLiteral(TARV_PULSE_DIR "/home"));
    QProcess pacmd;
    pacmd.setProcessEnvironment(environment);
    pacmd.start(QStringLiteral("pacmd"), {QStringLiteral("kill-sink-input"), stream});
    return pacmd.waitForFinished(10000) && pacmd.exitCode() == 0;
}

// The loudest a sink's monitor and the default's are for a while, recorded
// together.
struct Heard
{
    std::vector<Segment> own;
    double loudestOnDefault = 0.0;
};

Heard HeardOn(const QString& sink)
{
    MonitorRecorder own(sink);
    MonitorRecorder main(QStringLiteral("tarv_test"));
    if (!own.Start() || !main.Start())
        return {};
    QTest::qWait(1500);
    own.Stop();
    main.Stop();
    const auto levels = main.Levels();
    return {LoudSegments(own.Levels(), 0.05),
            levels.empty() ? 0.0 : *std::max_element(levels.begin(), levels.end())};
}

bool Exited(qint64 pid)
{
    return QProcess::execute("kill", {QStringLiteral("-0"), QString::number(pid)}) != 0;
}

QStringList Reports(const QSignalSpy& spy)
{
    QStringList reports;
    for (const QList<QVariant>& report : spy)
        reports << report.at(0).toString() + QLatin1Char(' ') + report.at(1).toString();
    return reports;
}

QString Describe(const std::vector<Segment>& segments)
{
    QStringList parts;
    for (const Segment& s : segments)
        parts << QStringLiteral("%1-%2 ms").arg(s.start).arg(s.end);
    return parts.join(", ");
}

} // namespace

class TestSfxPlayerPulse : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (!tarv::testing::PrivatePulseServerRunning())
            QSKIP(tarv::testing::kNoPrivatePulseServer);

        auto repository = std::make_unique<FakeSfxRepository>();
        repository->Add("sfx.tone", "tone.1k", 1.0F, 0, 0);
        repository->Add("sfx.loop", "tone.a440", 1.0F, -1, 0);
        repository->Add("sfx.warm", "beep.short", 0.0F, 0, 0);
        repository->Add(tarv::audio::sfx::SfxDto::builder()
                            .eventId("sfx.side")
                            .effectId("tone.1k")
                            .volume(1.0F)
                            .outputPath(kSide)
                            .build());
        std::unique_ptr<SfxRepository> handed = std::move(repository);
        SfxPlayerController player(handed);
        m_errors = std::make_unique<QSignalSpy>(SfxPlayerConnectionMediator::instance(),
                                                &SfxPlayerConnectionMediator::soundEffectError);

        // The device opens with the player, before any play.
        QTRY_VERIFY(SfxPlayerControllerImpl::instance()->OutputBufferMilliseconds() > 0.0);

        // Decode the files before anything is timed.
        const tarv::sfx::SfxManifest manifest;
        m_tonePath = QString::fromStdString(manifest.path("tone.1k").value());
        for (const char* id : {"tone.1k", "tone.a440"})
            player.PreloadFile(manifest.path(id).value());
        QSignalSpy warm(player.GetPlayer("sfx.warm"), &SfxPlayer::sfxFinished);
        player.play("sfx.warm");
        QVERIFY(warm.wait(15000));
        QVERIFY2(!SfxPlayerControllerImpl::instance()->IsSilent(),
                 "the player fell back to the silent clock");
        qInfo("output buffer: %.1f ms",
              SfxPlayerControllerImpl::instance()->OutputBufferMilliseconds());
    }

    void toneByEventIdHasItsLevelLengthAndFinishedTime()
    {
        MonitorRecorder recorder(QStringLiteral("tarv_test"));
        QVERIFY(recorder.Start());
        QTest::qWait(300);
        SfxPlayerController player;
        QSignalSpy finished(player.GetPlayer("sfx.tone"), &SfxPlayer::sfxFinished);
        QElapsedTimer clock;
        clock.start();
        player.play("sfx.tone");
        QVERIFY(finished.wait(15000));
        const qint64 finishedAfter = clock.elapsed();
        WaitForQuietEnd(recorder);
        recorder.Stop();

        const auto levels = recorder.Levels();
        const auto segments = LoudSegments(levels, 0.05);
        QVERIFY2(segments.size() == 1, qPrintable(Describe(segments)));
        const Segment tone = segments.front();
        QVERIFY2(tone.Length() >= 1750 && tone.Length() <= 2250, qPrintable(Describe(segments)));
        const double level = MedianLevel(levels, tone.start + 200, tone.end - 200);
        qInfo("tone %d ms at RMS %.4f, sfxFinished after %lld ms", tone.Length(), level,
              finishedAfter);
        QVERIFY2(std::abs(level - 0.5 / std::sqrt(2.0)) < 0.03,
                 qPrintable(QString::number(level))); // -6 dBFS sine
        QVERIFY2(finishedAfter >= 1950 && finishedAfter <= 3500,
                 qPrintable(QString::number(finishedAfter)));
        QCOMPARE(m_errors->count(), 0);
    }

    void stopOfCustomAudioFadesOutOverItsTime()
    {
        const auto loop = CustomAudioParameters::builder()
                              .name("Tone")
                              .file(m_tonePath)
                              .volume(0.5)
                              .pan(0.5)
                              .repeats(-1)
                              .fadeOut(1000)
                              .build();
        MonitorRecorder recorder(QStringLiteral("tarv_test"));
        QVERIFY(recorder.Start());
        QTest::qWait(300);
        SfxPlayerController player;
        QElapsedTimer clock;
        clock.start();
        player.play(loop);
        QTest::qWait(800);
        const auto stopAfter = static_cast<int>(clock.elapsed());
        player.stop(loop);
        WaitForQuietEnd(recorder);
        recorder.Stop();

        const auto levels = recorder.Levels();
        const auto segments = LoudSegments(levels, 0.01);
        QVERIFY2(segments.size() == 1, qPrintable(Describe(segments)));
        const int onset = segments.front().start;
        const double steady = MedianLevel(levels, onset + 100, onset + 600);
        QVERIFY2(std::abs(steady - 0.25 / std::sqrt(2.0)) < 0.02,
                 qPrintable(QString::number(steady)));

        // Linear in gain over 1 s: 3/4 after 250 ms, 1/4 after 750 ms.
        const int threeQuarters = FirstBelow(levels, onset + 100, steady * 0.75);
        const int quarter = FirstBelow(levels, onset + 100, steady * 0.25);
        const int silent = segments.front().end;
        const QString times = QString::asprintf("onset %d, stop +%d, 3/4 %d, 1/4 %d, silent %d",
                                                onset, stopAfter, threeQuarters, quarter, silent);
        qInfo("%s", qPrintable(times));
        QVERIFY2(std::abs(threeQuarters - (onset + stopAfter + 250)) <= 400, qPrintable(times));
        QVERIFY2(std::abs((quarter - threeQuarters) - 500) <= 150, qPrintable(times));
        QVERIFY2(std::abs((silent - threeQuarters) - 700) <= 200, qPrintable(times));
        QCOMPARE(m_errors->count(), 0);
    }

    void stopStopAllAndPanicSilence()
    {
        const auto custom = CustomAudioParameters::builder()
                                .name("Tone")
                                .file(m_tonePath)
                                .volume(0.5)
                                .repeats(-1)
                                .build();
        MonitorRecorder recorder(QStringLiteral("tarv_test"));
        QVERIFY(recorder.Start());
        QTest::qWait(300);
        SfxPlayerController player;
        player.play("sfx.loop");
        QTest::qWait(500);
        player.stop("sfx.loop");
        QTest::qWait(400);
        player.play("sfx.loop");
        player.play(custom);
        QTest::qWait(500);
        player.stop();
        QTest::qWait(400);
        player.play("sfx.loop");
        player.play(custom);
        QTest::qWait(500);
        SfxPlayerController().stop(true);
        WaitForQuietEnd(recorder, 3);
        recorder.Stop();

        const auto levels = recorder.Levels();
        const auto segments = LoudSegments(levels, 0.02);
        qInfo("sounding: %s", qPrintable(Describe(segments)));
        QVERIFY2(segments.size() == 3, qPrintable(Describe(segments)));
        for (const Segment& s : segments)
            QVERIFY2(s.Length() >= 250 && s.Length() <= 1200, qPrintable(Describe(segments)));
        QVERIFY2(MedianLevel(levels, segments.back().end + 50,
                             static_cast<int>(levels.size()) * kWindow) < 0.001,
                 "sound after the panic stop");
        QCOMPARE(m_errors->count(), 0);
    }

    void ultrasonicToneInAHighRateFileStaysUnheard()
    {
        // 56 kHz at 192 kHz: a rate conversion without a filter folds it
        // back into an 8 kHz whistle. Short fades keep clicks (heard as such)
        // out of its edges; a file that failed to play would be reported.
        QTemporaryDir folder;
        const QString file = folder.filePath(QStringLiteral("ultrasonic.wav"));
        QCOMPARE(QProcess::execute("sox",
                                   {"-r", "192000", "-n", "-c", "2", "-b", "24", file, "synth", "1",
                                    "sine", "56000", "gain", "-6", "fade", "0.05", "1", "0.05"}),
                 0);
        MonitorRecorder recorder(QStringLiteral("tarv_test"));
        QVERIFY(recorder.Start());
        QTest::qWait(200);
        SfxPlayerController().play(CustomAudioParameters::builder().name("Bat").file(file).build());
        QTest::qWait(1400);
        recorder.Stop();
        const auto levels = recorder.Levels();
        const double loudest = *std::max_element(levels.begin(), levels.end());
        QVERIFY2(loudest < 0.001, qPrintable(QString::number(loudest))); // -60 dBFS
        QCOMPARE(m_errors->count(), 0);
    }

    void stalledServerLeavesTheShowOnTheClockUntilItTakesSoundAgain()
    {
        const qint64 pid = ServerPid();
        QVERIFY(pid > 0);
        SfxPlayerController player;
        QSignalSpy finished(player.GetPlayer("sfx.tone"), &SfxPlayer::sfxFinished);
        QElapsedTimer clock;
        clock.start();
        player.play("sfx.tone");
        QTest::qWait(300);
        QVERIFY(Signal("-STOP", pid));
        const auto resume = qScopeGuard([pid] { Signal("-CONT", pid); });

        // Reported once; the notice comes on time, and a panic still works.
        QVERIFY(finished.wait(15000));
        qInfo("sfxFinished while stalled after %lld ms", clock.elapsed());
        QVERIFY2(clock.elapsed() >= 1900 && clock.elapsed() <= 3500,
                 qPrintable(QString::number(clock.elapsed())));
        QVERIFY(SfxPlayerControllerImpl::instance()->IsSilent());
        QCOMPARE(m_errors->count(), 1);
        QCOMPARE(m_errors->first().first().toString(), QStringLiteral("WARNING"));
        QSignalSpy looped(player.GetPlayer("sfx.loop"), &SfxPlayer::sfxFinished);
        player.play("sfx.loop");
        QTest::qWait(300);
        clock.start();
        player.stop(true);
        QVERIFY(looped.wait(10000));
        QVERIFY2(clock.elapsed() <= 1500, qPrintable(QString::number(clock.elapsed())));

        // Resumed: heard again, without a further report.
        QVERIFY(Signal("-CONT", pid));
        QTRY_VERIFY_WITH_TIMEOUT(!SfxPlayerControllerImpl::instance()->IsSilent(), 30000);
        MonitorRecorder recorder(QStringLiteral("tarv_test"));
        QVERIFY(recorder.Start());
        QTest::qWait(300);
        finished.clear();
        player.play("sfx.tone");
        QVERIFY(finished.wait(15000));
        recorder.Stop();
        const auto segments = LoudSegments(recorder.Levels(), 0.05);
        QVERIFY2(segments.size() == 1 && segments[0].Length() >= 1750,
                 qPrintable(Describe(segments)));
        QCOMPARE(m_errors->count(), 1);
        m_errors->clear();
    }

    // A second output, the way a show names one: by its sink. The server
    // is stopped: a play that names it must neither wait for the server nor
    // call it missing; once the server goes on, the output plays.
    void aHungServerHoldsNoPlayUpAndIsNotTakenForAMissingOutput()
    {
        const qint64 pid = ServerPid();
        QVERIFY(pid > 0);
        QVERIFY(LoadSink(kSide) >= 0);
        QTRY_VERIFY_WITH_TIMEOUT(Known(kSide), 5000);
        QTest::qWait(1500); // what is known of the outputs is not quite fresh
        m_errors->clear();

        QVERIFY(Signal("-STOP", pid));
        auto resume = qScopeGuard([pid] { Signal("-CONT", pid); });
        SfxPlayerController player;
        QSignalSpy finished(player.GetPlayer("sfx.side"), &SfxPlayer::sfxFinished);
        QElapsedTimer clock;
        clock.start();
        player.play(SideLoop());
        const qint64 held = clock.elapsed();
        qInfo("a play naming an output held the caller %.3f ms with the server stopped",
              static_cast<double>(clock.nsecsElapsed()) / 1e6);
        QVERIFY2(held < 100, qPrintable(QString::number(held)));
        // Its output could not open yet: the show keeps time all the same.
        player.play("sfx.side");
        QVERIFY(finished.wait(10000));
        qInfo("a 2 s tone on it finished after %lld ms", clock.elapsed());
        QVERIFY2(clock.elapsed() <= 3500, qPrintable(QString::number(clock.elapsed())));

        // The default output stops taking sound and the named one cannot
        // open: one hung server, one report, however long it hangs.
        player.play("sfx.tone");
        QTRY_VERIFY_WITH_TIMEOUT(m_errors->count() >= 1, 12000);
        QTest::qWait(static_cast<int>(std::max<qint64>(0, 8000 - clock.elapsed())));
        qInfo("reports while the server hung: %s", qPrintable(Reports(*m_errors).join(" | ")));
        QVERIFY2(m_errors->count() == 1 &&
                     QRegularExpression("does not answer|stopped taking sound")
                         .match(Reports(*m_errors).first())
                         .hasMatch(),
                 qPrintable(Reports(*m_errors).join(" | ")));

        QVERIFY(Signal("-CONT", pid));
        resume.dismiss();
        MonitorRecorder recorder(kSide);
        QVERIFY(recorder.Start());
        QTest::qWait(5000);
        recorder.Stop();
        player.stop(SideLoop());
        const auto segments = LoudSegments(recorder.Levels(), 0.05);
        qInfo("on the second output after the server went on: %s", qPrintable(Describe(segments)));
        QVERIFY2(!segments.empty() && segments.back().Length() >= 1500,
                 qPrintable(Describe(segments)));
        QTest::qWait(1500);
        m_errors->clear();
    }

    // The named output goes away for moments only, again and again: the
    // server moves its sound to the default output each time, and the sound
    // must be back on its own output as soon as the output is. Each loss
    // that was told is followed by one note that it is back, given once the
    // sound is there; a play right after the output went is told once.
    void shortOutagesLeaveTheSoundOnItsOwnOutput()
    {
        if (!Known(kSide))
            QVERIFY(LoadSink(kSide) >= 0);
        QTRY_VERIFY_WITH_TIMEOUT(Known(kSide), 5000);
        SfxPlayerController player;
        player.play(SideLoop());
        QTRY_VERIFY_WITH_TIMEOUT(StreamSinks().count(kSide) == 1, 5000);
        QTest::qWait(500);
        m_errors->clear();
        const auto told = [&](const char* what) {
            return Reports(*m_errors).filter(QString::fromLatin1(what)).size();
        };
        constexpr auto kLost = "There is no audio output";
        constexpr auto kBack = "is back";
        for (const int outage : {50, 200}) {
            // Not a turn of this thread's event loop meanwhile: nothing but
            // the server's own notices can tell of these outages.
            for (int i = 0; i < (outage == 50 ? 3 : 6); ++i) {
                QCOMPARE(Pactl({"unload-module", SideModule()}), QString());
                QThread::msleep(outage);
                QVERIFY(LoadSink(kSide) >= 0);
                QThread::msleep(outage);
            }
            // Back within a few tens of milliseconds: the bound only tells
            // never from a busy machine.
            QTRY_VERIFY_WITH_TIMEOUT(StreamSinks().count(kSide) == 1, 3000);
            QTRY_COMPARE_WITH_TIMEOUT(told(kBack), told(kLost), 3000);
            const Heard heard = HeardOn(kSide);
            qInfo("after %d ms outages: %s on its own output, %.4f at most on the default; "
                  "reports: %s",
                  outage, qPrintable(Describe(heard.own)), heard.loudestOnDefault,
                  qPrintable(Reports(*m_errors).join(" | ")));
            QVERIFY2(!heard.own.empty() && heard.own.back().Length() >= 1200,
                     qPrintable(Describe(heard.own)));
            QVERIFY2(heard.loudestOnDefault < 0.01, qPrintable(StreamSinks().join(' ')));
            if (told(kBack) > 0)
                QVERIFY(m_errors->last().at(1).toString().contains(kBack));
            m_errors->clear();
        }

        // Told at once, and once.
        player.stop(SideLoop());
        QCOMPARE(Pactl({"unload-module", SideModule()}), QString());
        QTest::qWait(20);
        player.play(SideLoop());
        QTRY_VERIFY_WITH_TIMEOUT(told(kLost) >= 1, 5000);
        QTest::qWait(1500);
        QVERIFY2(told(kLost) == 1, qPrintable(Reports(*m_errors).join(" | ")));
        QVERIFY(LoadSink(kSide) >= 0);
        QTRY_COMPARE_WITH_TIMEOUT(told(kBack), 1, 5000);
        QCOMPARE(StreamSinks().count(kSide), 1);
        player.stop(SideLoop());
        m_errors->clear();
    }

    // The operator moves a named output's sound elsewhere in the desktop's
    // mixer while that output is there: it is their choice, kept without a
    // word. Only when the place they chose goes away does the sound go back
    // to its own output.
    void aMoveTheOperatorMakesIsKept()
    {
        if (!Known(kSide))
            QVERIFY(LoadSink(kSide) >= 0);
        QTRY_VERIFY_WITH_TIMEOUT(Known(kSide), 5000);
        SfxPlayerController player;
        player.play(SideLoop());
        QTRY_VERIFY_WITH_TIMEOUT(StreamSinks().count(kSide) == 1, 5000);
        QTest::qWait(500);
        m_errors->clear();
        const QString input = StreamInputOn(kSide);
        QVERIFY(!input.isEmpty());
        for (int move = 0; move < 3; ++move) {
            QCOMPARE(Pactl({"move-sink-input", input, "tarv_test"}), QString());
            QTest::qWait(1500);
            QCOMPARE(SinkOfInput(input), QStringLiteral("tarv_test"));
            QCOMPARE(Pactl({"move-sink-input", input, kSide}), QString());
            QTest::qWait(500);
            QCOMPARE(SinkOfInput(input), QString::fromLatin1(kSide));
        }
        QCOMPARE(Pactl({"move-sink-input", input, "tarv_test"}), QString());
        const Heard heard = HeardOn(kSide);
        QVERIFY2(heard.own.empty() && heard.loudestOnDefault > 0.05,
                 qPrintable(Describe(heard.own)));
        QVERIFY2(m_errors->isEmpty(), qPrintable(Reports(*m_errors).join(" | ")));

        // Put on an output that then goes away: back on its own, as that is
        // there all along.
        constexpr auto kOther = "tarv_other";
        const int other = LoadSink(kOther);
        QVERIFY(other >= 0);
        QTRY_VERIFY_WITH_TIMEOUT(Known(kOther), 5000);
        QCOMPARE(Pactl({"move-sink-input", input, kOther}), QString());
        QTRY_COMPARE_WITH_TIMEOUT(SinkOfInput(input), QString::fromLatin1(kOther), 3000);
        QTest::qWait(500);
        QCOMPARE(Pactl({"unload-module", QString::number(other)}), QString());
        QTRY_COMPARE_WITH_TIMEOUT(SinkOfInput(input), QString::fromLatin1(kSide), 3000);
        QTest::qWait(500);
        QVERIFY2(m_errors->isEmpty(), qPrintable(Reports(*m_errors).join(" | ")));
        player.stop(SideLoop());
    }

    // The server hangs while an output is being opened, or while one
    // plays: quitting does not wait for it.
    void quittingDoesNotWaitForAHungServer()
    {
        const qint64 pid = ServerPid();
        QVERIFY(pid > 0);
        if (!Known(kSide))
            QVERIFY(LoadSink(kSide) >= 0);
        QTRY_VERIFY_WITH_TIMEOUT(Known(kSide), 5000);
        for (const QStringList& output : {QStringList{"--output", kSide}, QStringList{}}) {
            QString said;
            QElapsedTimer sinceQuitting; // from when it said so
            qint64 quitTook = -1;
            QProcess probe;
            const auto saidSo = [&](const char* what) {
                said += QString::fromUtf8(probe.readAllStandardOutput());
                if (!sinceQuitting.isValid() && said.contains("quitting"))
                    sinceQuitting.start();
                return said.contains(what);
            };
            connect(&probe, &QProcess::readyReadStandardOutput, this, [&] { saidSo(""); });
            connect(&probe, &QProcess::finished, this, [&] {
                saidSo("");
                quitTook = sinceQuitting.isValid() ? sinceQuitting.elapsed() : 0;
            });
            probe.start(QStringLiteral(TARV_SFX_PROBE),
                        output + QStringList{"--play-at", "4000", "--quit-at", "5000"});
            QVERIFY(probe.waitForStarted());
            // It knows the outputs and plays on the default one by now.
            QTRY_VERIFY_WITH_TIMEOUT(saidSo("ready"), 15000);
            QTest::qWait(500);
            QVERIFY(Signal("-STOP", pid));
            const auto resume = qScopeGuard([pid] { Signal("-CONT", pid); });
            QTRY_VERIFY_WITH_TIMEOUT(quitTook >= 0, 30000);
            qInfo("quit %lld ms after it was asked to, with the server stopped (%s)", quitTook,
                  output.isEmpty() ? "default output" : "named output opening");
            QVERIFY2(quitTook < 2000, qPrintable(said));
        }
        QTest::qWait(1500); // the player here takes sound again
        m_errors->clear();
    }

    // The second output goes away as it plays and comes back.
    void aLostOutputIsToldAndPlaysThereAgainWhenItReturns()
    {
        if (!Known(kSide))
            QVERIFY(LoadSink(kSide) >= 0);
        QTRY_VERIFY_WITH_TIMEOUT(Known(kSide), 5000);
        SfxPlayerController player;
        player.play(SideLoop());
        QTest::qWait(500);
        const QString module = SideModule();
        QVERIFY(!module.isEmpty());
        QCOMPARE(Pactl({"unload-module", module}), QString());
        const QString lost = QStringLiteral("There is no audio output \"%1\": its sound effects "
                                            "play on the default output.")
                                 .arg(kSide);
        QTRY_VERIFY_WITH_TIMEOUT(Reports(*m_errors).join('\n').contains(lost), 5000);
        {
            // As told: on the default output meanwhile.
            MonitorRecorder main(QStringLiteral("tarv_test"));
            QVERIFY(main.Start());
            QTest::qWait(1500);
            main.Stop();
            const auto segments = LoudSegments(main.Levels(), 0.05);
            QVERIFY2(!segments.empty() && segments.back().Length() >= 1000,
                     qPrintable(Describe(segments)));
        }
        QCOMPARE(Reports(*m_errors).filter(lost).size(), 1);

        QVERIFY(LoadSink(kSide) >= 0);
        MonitorRecorder recorder(kSide);
        QVERIFY(recorder.Start());
        QTest::qWait(3000);
        recorder.Stop();
        player.stop(SideLoop());
        const auto segments = LoudSegments(recorder.Levels(), 0.05);
        qInfo("on the output that came back: %s", qPrintable(Describe(segments)));
        QVERIFY2(!segments.empty() && segments.back().Length() >= 1500,
                 qPrintable(Describe(segments)));
        qInfo("reports: %s", qPrintable(Reports(*m_errors).join(" | ")));
        QCOMPARE(Reports(*m_errors).filter("WARNING").size(), 1);

        // Gone again: told again.
        QCOMPARE(Pactl({"unload-module", SideModule()}), QString());
        QTRY_COMPARE_WITH_TIMEOUT(Reports(*m_errors).filter(lost).size(), 2, 5000);
        m_errors->clear();
    }

    // A show's cue plays on sixteen outputs at once, on a busy machine: each
    // output opens, its sound is heard there from the start, and nothing is
    // reported. A busy machine leaves the server slow to take the outputs'
    // connections, now and then; here it is also held for a moment as the
    // plays come, so that this happens every time.
    void sixteenOutputsOpenedAtOnceAllPlayFromTheStart()
    {
        const qint64 pid = ServerPid();
        QVERIFY(pid > 0);
        constexpr int kOutputs = 16;
        QStringList sinks;
        QStringList modules;
        const auto unload = qScopeGuard([&] { Unload(modules, sinks); });
        for (int i = 0; i < kOutputs; ++i) {
            sinks << QStringLiteral("tarv_many_%1").arg(i);
            const int module = LoadSink(sinks.last());
            QVERIFY(module >= 0);
            modules << QString::number(module);
        }
        QTRY_VERIFY_WITH_TIMEOUT(std::all_of(sinks.begin(), sinks.end(), Known), 5000);
        QElapsedTimer clock;
        clock.start();
        std::vector<std::unique_ptr<MonitorRecorder>> recorders;
        std::vector<qint64> recordedFrom;
        for (const QString& sink : sinks) {
            recorders.push_back(std::make_unique<MonitorRecorder>(sink));
            QVERIFY(recorders.back()->Start());
            recordedFrom.push_back(clock.elapsed());
        }
        std::optional<BusyMachine> busy(std::in_place, 8);
        QTest::qWait(300);
        m_errors->clear();
        SfxPlayerController player;
        QVERIFY(Signal("-STOP", pid));
        auto resume = qScopeGuard([pid] { Signal("-CONT", pid); });
        const qint64 playedAt = clock.elapsed();
        for (const QString& sink : sinks)
            player.play(Loop(sink));
        QTest::qWait(150);
        QVERIFY(Signal("-CONT", pid));
        resume.dismiss();
        // A recorder starved by the busy machine falls behind: each is
        // stopped once it has 3 s of the plays, which it catches up on
        // once the machine is idle again.
        const auto recordedSincePlays = [&](std::size_t i) {
            constexpr qsizetype kBytesPerMillisecond =
                MonitorRecorder::kRate * 2 * sizeof(float) / 1000;
            return recorders[i]->Bytes() / kBytesPerMillisecond - (playedAt - recordedFrom[i]);
        };
        QTest::qWait(3000);
        busy.reset();
        (void)QTest::qWaitFor(
            [&] {
                for (std::size_t i = 0; i < recorders.size(); ++i) {
                    if (recordedSincePlays(i) < 3000)
                        return false;
                }
                return true;
            },
            20000);
        for (const auto& recorder : recorders)
            recorder->Stop();
        player.stop(Loop(sinks.first())); // the same file: every one of them

        QStringList heard;
        QStringList late;
        for (int i = 0; i < kOutputs; ++i) {
            const auto levels = recorders[i]->Levels();
            const auto segments = LoudSegments(levels, 0.05);
            // Milliseconds since the plays.
            const auto offset = static_cast<int>(playedAt - recordedFrom[i]);
            const int onset = segments.empty() ? -1 : segments.front().start - offset;
            const int end = segments.empty() ? 0 : segments.back().end - offset;
            const int recorded = static_cast<int>(levels.size()) * kWindow - offset;
            heard << QStringLiteral("%1: %2 from %3 to %4 ms of %5")
                         .arg(sinks[i])
                         .arg(segments.size())
                         .arg(onset)
                         .arg(end)
                         .arg(recorded);
            // Opening takes tens of milliseconds; an output that failed to
            // open is heard only once it is opened again, a second later.
            if (segments.size() != 1 || onset < 0 || onset > 800 || recorded < 2500 ||
                end < recorded - 100)
                late << heard.last();
        }
        qInfo("sixteen outputs at once: %s; reports: %s", qPrintable(heard.join(", ")),
              qPrintable(Reports(*m_errors).join(" | ")));
        QVERIFY2(late.isEmpty(), qPrintable(late.join(", ")));
        QVERIFY2(m_errors->isEmpty(), qPrintable(Reports(*m_errors).join(" | ")));
    }

    // An output that flaps every 10 ms: each way it is told at most once a
    // second, the last report tells how it ended, every loss is followed by
    // one note that it is back, and its sound plays there again.
    void aFlappingOutputIsToldAtMostOnceASecondEachWay()
    {
        const QString sink = QStringLiteral("tarv_flap");
        QString module = QString::number(LoadSink(sink));
        QVERIFY(module.toInt() >= 0);
        QStringList modules{module};
        const auto unload = qScopeGuard([&] { Unload(modules, {sink}); });
        QTRY_VERIFY_WITH_TIMEOUT(Known(sink), 5000);
        SfxPlayerController player;
        player.play(Loop(sink));
        QTRY_VERIFY_WITH_TIMEOUT(StreamSinks().count(sink) == 1, 5000);
        QTest::qWait(500);
        m_errors->clear();
        const ReportLog log(this);
        QProcess flapper;
        flapper.start(QStringLiteral("sh"),
                      {"-c",
                       "m=$1; end=$(($(date +%s%N) + 1600000000)); "
                       "while [ \"$(date +%s%N)\" -lt \"$end\" ]; do "
                       "pactl unload-module \"$m\"; sleep 0.01; "
                       "m=$(pactl load-module module-null-sink sink_name=$2 rate=48000 "
                       "format=float32le channels=2); sleep 0.01; "
                       "done; echo \"$m\"",
                       "flap", module, sink});
        QVERIFY(flapper.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(flapper.state() == QProcess::NotRunning, 20000);
        modules = QStringList{QString::fromUtf8(flapper.readAllStandardOutput()).trimmed()};
        QVERIFY(modules.first().toInt() >= 0);
        // Held reports come by the end of their second.
        QTest::qWait(2500);
        const std::vector<TimedReport>& reports = log.Reports();
        qInfo("%zu reports while it flapped: %s", reports.size(), qPrintable(log.Describe()));
        int losses = 0;
        int backs = 0;
        for (std::size_t i = 0; i < reports.size(); ++i) {
            (reports[i].type == "WARNING" ? losses : backs) += 1;
            const auto withinASecond =
                std::count_if(reports.begin() + static_cast<std::ptrdiff_t>(i), reports.end(),
                              [&](const TimedReport& r) {
                                  return r.type == reports[i].type && r.at - reports[i].at < 1000;
                              });
            QVERIFY2(withinASecond <= 2, qPrintable(log.Describe()));
        }
        QVERIFY2(losses >= 1 && losses == backs, qPrintable(log.Describe()));
        QVERIFY2(reports.back().type == "INFO" && reports.back().message.contains(sink),
                 qPrintable(log.Describe()));
        const Heard heard = HeardOn(sink);
        QVERIFY2(!heard.own.empty() && heard.own.back().Length() >= 1200,
                 qPrintable(Describe(heard.own)));
        QVERIFY2(heard.loudestOnDefault < 0.01, qPrintable(StreamSinks().join(' ')));
        player.stop(Loop(sink));
        m_errors->clear();
    }

    // Two outputs stop working together: each is told under its own name,
    // and so is each one's return.
    void twoOutputsThatFailAreEachToldUnderTheirOwnName()
    {
        const QStringList sinks{QStringLiteral("tarv_left"), QStringLiteral("tarv_right")};
        const QStringList names{QStringLiteral("Stage-left"), QStringLiteral("Stage-right")};
        QStringList modules{
            Pactl({QStringLiteral("load-module"), QStringLiteral("module-cli-protocol-unix")})};
        QVERIFY(modules.first().toInt() > 0);
        const auto unload = qScopeGuard([&] { Unload(modules, sinks); });
        for (int i = 0; i < 2; ++i) {
            const int module = LoadSink(sinks[i], names[i]);
            QVERIFY(module >= 0);
            modules << QString::number(module);
        }
        QTRY_VERIFY_WITH_TIMEOUT(Known(sinks[0]) && Known(sinks[1]), 5000);
        SfxPlayerController player;
        for (const QString& sink : sinks)
            player.play(Loop(sink));
        QTRY_VERIFY_WITH_TIMEOUT(!StreamOn(sinks[0]).isEmpty() && !StreamOn(sinks[1]).isEmpty(),
                                 5000);
        QTest::qWait(500);
        m_errors->clear();
        for (const QString& sink : sinks)
            QVERIFY(KillStreamOn(sink));
        const auto told = [&](const char* type) { return Reports(*m_errors).filter(type).size(); };
        (void)QTest::qWaitFor([&] { return told("WARNING") >= 2 && told("INFO") >= 2; }, 8000);
        QTest::qWait(1500);
        qInfo("reports: %s", qPrintable(Reports(*m_errors).join(" | ")));
        QCOMPARE(m_errors->count(), 4);
        for (int i = 0; i < 2; ++i) {
            const QString& name = names[i];
            for (const char* type : {"WARNING", "INFO"}) {
                const auto own =
                    std::count_if(m_errors->begin(), m_errors->end(), [&](const auto& r) {
                        return r.at(0).toString() == type && r.at(1).toString().contains(name) &&
                               r.at(2).toString() == sinks[i];
                    });
                QVERIFY2(own == 1, qPrintable(Reports(*m_errors).join(" | ")));
            }
            QVERIFY(!StreamOn(sinks[i]).isEmpty());
        }
        player.stop(Loop(sinks.first()));
        m_errors->clear();
    }

    // The server stops and starts again: the show goes on against the
    // silent clock meanwhile and is heard again on the new server.
    void losingTheServerFallsBackToTheSilentClockUntilItIsBack()
    {
        const qint64 pid = ServerPid();
        QVERIFY(pid > 0);

        SfxPlayerController player;
        QSignalSpy finished(player.GetPlayer("sfx.tone"), &SfxPlayer::sfxFinished);
        QElapsedTimer clock;
        clock.start();
        player.play("sfx.tone");
        QTest::qWait(300);
        QVERIFY(Signal("-TERM", pid));
        QVERIFY(finished.wait(15000));
        qInfo("sfxFinished after %lld ms", clock.elapsed());
        QVERIFY2(clock.elapsed() >= 1900 && clock.elapsed() <= 4000,
                 qPrintable(QString::number(clock.elapsed())));
        QTRY_VERIFY(SfxPlayerControllerImpl::instance()->IsSilent());
        QVERIFY2(m_errors->count() == 1, qPrintable(Reports(*m_errors).join(" | ")));
        QCOMPARE(m_errors->first().first().toString(), QStringLiteral("WARNING"));

        QTRY_VERIFY_WITH_TIMEOUT(Exited(pid), 5000);
        QTest::qWait(1500); // retried meanwhile, in vain
        RestartServer();
        clock.start();
        QTRY_VERIFY_WITH_TIMEOUT(!SfxPlayerControllerImpl::instance()->IsSilent(), 10000);
        qInfo("heard again %lld ms after the server was back", clock.elapsed());
        QTRY_VERIFY_WITH_TIMEOUT(m_errors->count() >= 2, 2000);
        QVERIFY2(m_errors->count() == 2, qPrintable(Reports(*m_errors).join(" | ")));
        QCOMPARE(m_errors->at(1).first().toString(), QStringLiteral("INFO"));
        MonitorRecorder recorder(QStringLiteral("tarv_test"));
        QVERIFY(recorder.Start());
        QTest::qWait(300);
        finished.clear();
        player.play("sfx.tone");
        QVERIFY(finished.wait(6000));
        recorder.Stop();
        const auto levels = recorder.Levels();
        const auto segments = LoudSegments(levels, 0.05);
        QVERIFY2(segments.size() == 1 && segments[0].Length() >= 1750,
                 qPrintable(Describe(segments)));
        const double level = MedianLevel(levels, segments[0].start + 200, segments[0].end - 200);
        QVERIFY2(std::abs(level - 0.5 / std::sqrt(2.0)) < 0.03, qPrintable(QString::number(level)));
        QVERIFY2(m_errors->count() == 2, qPrintable(Reports(*m_errors).join(" | ")));
        m_errors->clear();
    }

    // With the server gone, a play names an output it has not seen: only the
    // server's loss is told, and once the server is back with that output,
    // the sound plays there.
    void aPlayWithoutAServerPlaysOnItsOwnOutputOnceTheServerIsBack()
    {
        if (ServerPid() <= 0)
            RestartServer();
        const qint64 pid = ServerPid();
        QVERIFY(pid > 0);
        SfxPlayerController player;
        m_errors->clear();
        QVERIFY(Signal("-TERM", pid));
        QTRY_VERIFY_WITH_TIMEOUT(Exited(pid), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(CurrentOutputs().server == KnownOutputs::Server::Absent, 5000);
        const auto extra = CustomAudioParameters::builder()
                               .name("Extra")
                               .file(m_tonePath)
                               .volume(0.5)
                               .repeats(-1)
                               .outputPath(kExtra)
                               .build();
        player.play(extra);
        QTest::qWait(1500);
        qInfo("reports without a server: %s", qPrintable(Reports(*m_errors).join(" | ")));
        QVERIFY2(m_errors->count() <= 1 &&
                     !Reports(*m_errors).join('\n').contains("There is no audio output"),
                 qPrintable(Reports(*m_errors).join(" | ")));

        RestartServer();
        QVERIFY(LoadSink(kExtra) >= 0);
        QTRY_VERIFY_WITH_TIMEOUT(StreamSinks().count(kExtra) == 1, 10000);
        const Heard heard = HeardOn(kExtra);
        qInfo("once the server is back: %s on its own output, %.4f at most on the default",
              qPrintable(Describe(heard.own)), heard.loudestOnDefault);
        QVERIFY2(!heard.own.empty() && heard.own.back().Length() >= 1200,
                 qPrintable(Describe(heard.own)));
        QVERIFY2(heard.loudestOnDefault < 0.01, qPrintable(StreamSinks().join(' ')));
        player.stop(extra);
        m_errors->clear();
    }

    // A program started while no server runs plays once one starts.
    void aProgramStartedWithoutAServerPlaysOnceOneStarts()
    {
        const qint64 pid = ServerPid();
        QVERIFY(pid > 0);
        QVERIFY(Signal("-TERM", pid));
        QTRY_VERIFY_WITH_TIMEOUT(Exited(pid), 5000);
        QProcess probe;
        probe.start(QStringLiteral(TARV_SFX_PROBE), {"--play-at", "4000", "--quit-at", "7000"});
        QVERIFY(probe.waitForStarted());
        QTest::qWait(1000);
        RestartServer();
        MonitorRecorder recorder(QStringLiteral("tarv_test"));
        QVERIFY(recorder.Start());
        QTRY_VERIFY_WITH_TIMEOUT(probe.state() == QProcess::NotRunning, 20000);
        recorder.Stop();
        const QString output = QString::fromUtf8(probe.readAllStandardOutput());
        qInfo("%s", qPrintable(output.trimmed().replace('\n', QStringLiteral(" | "))));
        const auto levels = recorder.Levels();
        const auto segments = LoudSegments(levels, 0.05);
        QVERIFY2(segments.size() == 1 && segments[0].Length() >= 1750,
                 qPrintable(Describe(segments)));
        QVERIFY2(!output.contains("WARNING"), qPrintable(output));
    }

    void cleanupTestCase()
    {
        // The last test stopped the server: a fresh one for the fixture's
        // other tests.
        QProcess::execute(QStringLiteral(TARV_PULSE_START), {QStringLiteral(TARV_PULSE_DIR)});
    }

private:
    static constexpr auto kSide = "tarv_side";
    static constexpr auto kExtra = "tarv_extra";

    CustomAudioParameters SideLoop() const
    {
        return CustomAudioParameters::builder()
            .name("Side")
            .file(m_tonePath)
            .volume(0.5)
            .repeats(-1)
            .outputPath(kSide)
            .build();
    }

    // The sink that the stream `input` plays on, by name.
    static QString SinkOfInput(const QString& input)
    {
        const QString line = Pactl({"list", "short", "sink-inputs"})
                                 .split('\n')
                                 .filter(QRegularExpression(QStringLiteral("^%1\t").arg(input)))
                                 .value(0);
        for (const QString& sink : Pactl({"list", "short", "sinks"}).split('\n')) {
            if (!line.isEmpty() && sink.section('\t', 0, 0) == line.section('\t', 1, 1))
                return sink.section('\t', 1, 1);
        }
        return {};
    }

    // The index of the stream that plays on `sink`.
    static QString StreamInputOn(const QString& sink)
    {
        const QString index = Pactl({"list", "short", "sinks"})
                                  .split('\n')
                                  .filter(QRegularExpression(QStringLiteral("\t%1\t").arg(sink)))
                                  .value(0)
                                  .section('\t', 0, 0);
        for (const QString& line : Pactl({"list", "short", "sink-inputs"}).split('\n')) {
            if (!index.isEmpty() && line.section('\t', 1, 1) == index)
                return line.section('\t', 0, 0);
        }
        return {};
    }

    // Unloads the modules a test loaded, and drops the notices that the
    // outputs of its sinks are gone: the tests after it count their own.
    void Unload(QStringList& modules, const QStringList& sinks)
    {
        for (const QString& module : std::exchange(modules, {}))
            Pactl({QStringLiteral("unload-module"), module});
        (void)QTest::qWaitFor(
            [&] {
                const QString told = Reports(*m_errors).join('\n');
                return std::all_of(sinks.begin(), sinks.end(), [&](const QString& sink) {
                    return told.contains(NoOutput(sink));
                });
            },
            5000);
        m_errors->clear();
    }

    static QString NoOutput(const QString& sink)
    {
        return QStringLiteral("There is no audio output \"%1\"").arg(sink);
    }

    // A looping tone on the output the show names `sink`.
    CustomAudioParameters Loop(const QString& sink) const
    {
        return CustomAudioParameters::builder()
            .name("Loop")
            .file(m_tonePath)
            .volume(0.5)
            .repeats(-1)
            .outputPath(sink)
            .build();
    }

    static QString SideModule()
    {
        return Pactl({"list", "short", "modules"})
            .split('\n')
            .filter(QStringLiteral("sink_name=") + kSide)
            .value(0)
            .section('\t', 0, 0);
    }

    QString m_tonePath;
    std::unique_ptr<QSignalSpy> m_errors;
};

QTEST_GUILESS_MAIN(TestSfxPlayerPulse)
#include "tst_sfxplayer_pulse.moc"
