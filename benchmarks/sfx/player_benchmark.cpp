// How promptly the player answers a play: the work play(eventId) does on the
// calling thread with a large catalogue, and the time from the first play of
// a session (and a later one) to its first sound at the output.
//
// Run by hand: build/<dir>/benchmarks/sfx/sfx_player_benchmark
// FirstPlayLatency needs a sound server whose sink is recorded through its
// monitor with parec and that nothing else plays on; each of its runs is a
// fresh session of this program. With the private server of the tests:
//   tests/sfx/pulse-start.sh /tmp/tarv-bench
//   PULSE_SERVER=unix:/tmp/tarv-bench/runtime/native sfx_player_benchmark
// Another sink: TARV_BENCH_SINK=<name> (default tarv_test). Without a server
// it reports an error and the catalogue figure is still measured.

#include "sfx/sfxdtobuilder.h"
#include "sfx/sfxmanifest.h"
#include "sfx/sfxplayer.h"
#include "sfx/sfxplayerconnectionmediator.h"
#include "sfx/sfxplayercontroller.h"
#include "sfx/sfxplayercontrollerimpl.h"
#include "sfx/sfxrepository.h"
#include "tests/support/fakesfxrepository.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

using namespace tarv::audio;
using tarv::audio::sfx::SfxDto;

namespace {

SfxDto Instance(const std::string& eventId, const std::string& effectId, float volume)
{
    return SfxDto::builder()
        .name(eventId)
        .eventId(eventId)
        .effectId(effectId)
        .volume(volume)
        .pan(0.5F)
        .type(SfxType::SoundEffect)
        .build();
}

// Runs the event loop until `done` or for at most `milliseconds`.
bool SpinUntil(const std::function<bool()>& done, int milliseconds)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < milliseconds) {
        QCoreApplication::processEvents();
        QThread::msleep(1);
    }
    return done();
}

void Hand(std::unique_ptr<FakeSfxRepository> repository)
{
    std::unique_ptr<SfxRepository> handed = std::move(repository);
    SfxPlayerController player(handed);
    QCoreApplication::processEvents(); // a handle made off the main thread queues it
}

bool Preload(const std::string& path)
{
    bool ready = false;
    const QObject context;
    QObject::connect(SfxPlayerConnectionMediator::instance(),
                     &SfxPlayerConnectionMediator::onSfxIsReady, &context,
                     [&ready] { ready = true; });
    SfxPlayerController().PreloadFile(path);
    return SpinUntil([&ready] { return ready; }, 5000);
}

// Records the sink's monitor with parec. With a short latency it hears a
// sound a few milliseconds after the sink plays it; with a long one it keeps
// the whole timeline without waking an idle sink (which a short one would).
class MonitorRecording
{
public:
    explicit MonitorRecording(int latencyMilliseconds)
    {
        const QString sink = qEnvironmentVariable("TARV_BENCH_SINK", QStringLiteral("tarv_test"));
        m_arguments = {QStringLiteral("-d"),
                       sink + QStringLiteral(".monitor"),
                       QStringLiteral("--raw"),
                       QStringLiteral("--format=float32le"),
                       QStringLiteral("--rate=48000"),
                       QStringLiteral("--channels=2"),
                       QStringLiteral("--latency-msec=%1").arg(latencyMilliseconds)};
    }

    ~MonitorRecording()
    {
        m_parec.terminate();
        m_parec.waitForFinished(3000);
    }

    bool Start()
    {
        m_parec.start(QStringLiteral("parec"), m_arguments);
        return m_parec.waitForStarted(3000) && m_parec.waitForReadyRead(5000);
    }

    // Keeps what arrives while the event loop runs.
    void Keep()
    {
        QObject::connect(&m_parec, &QProcess::readyReadStandardOutput, &m_parec,
                         [this] { m_data += m_parec.readAllStandardOutput(); });
    }

    // The frames at which a sound starts after at least 100 ms of silence.
    std::vector<qsizetype> Onsets()
    {
        m_data += m_parec.readAllStandardOutput();
        std::vector<qsizetype> onsets;
        qsizetype quiet = 0;
        for (qsizetype f = 0; f < m_data.size() / 8; ++f) {
            if (!Loud(m_data.constData() + f * 8)) {
                ++quiet;
                continue;
            }
            if (quiet >= 4800)
                onsets.push_back(f);
            quiet = 0;
        }
        return onsets;
    }

    // Milliseconds from `play` until a loud sample arrives (-1 after
    // `timeout`); the recorder's own latency is included.
    double MillisecondsToSound(const std::function<void()>& play, int timeout = 5000)
    {
        m_parec.readAll();
        QByteArray pending;
        QElapsedTimer clock;
        clock.start();
        play();
        while (clock.elapsed() < timeout) {
            if (!m_parec.waitForReadyRead(1))
                continue;
            const double at = static_cast<double>(clock.nsecsElapsed()) / 1e6;
            pending += m_parec.readAll();
            const qsizetype frames = pending.size() / 8;
            for (qsizetype f = 0; f < frames; ++f) {
                if (Loud(pending.constData() + f * 8))
                    return at;
            }
            pending.remove(0, frames * 8);
        }
        return -1.0;
    }

private:
    static bool Loud(const char* frame)
    {
        float left = 0.0F;
        std::memcpy(&left, frame, sizeof left);
        return std::abs(left) > 0.01F; // -40 dBFS
    }

    QStringList m_arguments;
    QProcess m_parec;
    QByteArray m_data;
};

struct FirstPlay
{
    double firstMilliseconds = 0.0;
    double laterMilliseconds = 0.0;
    QString error; // set when nothing was measured
};

// The session's first play and a later one, from play() to sound at the
// sink, with the first play `startupMilliseconds` after the player was
// created (a show whose first cue comes at once, or after its cue file has
// loaded). The first play is timed on the sink's own timeline, recorded from
// before the player exists: its delay is that of a later play plus how much
// the gap between the two sounds falls short of the gap between the two
// calls. The later play is then timed directly with a short-latency
// recorder.
FirstPlay MeasureFirstPlay(int startupMilliseconds)
{
    constexpr int kGapMilliseconds = 4000;
    const tarv::sfx::SfxManifest manifest;
    const auto tone = manifest.path("tone.a440"); // 1 s
    if (!tone)
        return {0.0, 0.0, QStringLiteral("no built-in effects found")};
    MonitorRecording timeline(2000);
    if (!timeline.Start())
        return {0.0, 0.0, QStringLiteral("parec could not record the sink's monitor")};
    timeline.Keep();
    SpinUntil([] { return false; }, 1000);
    // The file is decoded before the player exists, as a show's files are
    // while its cue file loads, so only the output is timed.
    auto repository = std::make_unique<FakeSfxRepository>();
    repository->Save(Instance("sfx.cue", "tone.a440", 1.0F));
    QElapsedTimer sinceStartUp;
    sinceStartUp.start();
    Hand(std::move(repository)); // creates the player
    if (!Preload(*tone))
        return {0.0, 0.0, QStringLiteral("the effect did not load")};
    SpinUntil([&] { return sinceStartUp.elapsed() >= startupMilliseconds; }, startupMilliseconds);

    QElapsedTimer clock;
    clock.start();
    SfxPlayerController().play("sfx.cue");
    const qint64 first = clock.nsecsElapsed();
    SpinUntil([&clock] { return clock.elapsed() >= kGapMilliseconds; }, kGapMilliseconds);
    const qint64 second = clock.nsecsElapsed();
    SfxPlayerController().play("sfx.cue");
    SpinUntil([] { return false; }, 3000);
    if (SfxPlayerControllerImpl::instance()->IsSilent())
        return {0.0, 0.0, QStringLiteral("no sound server (see the file's header)")};
    const auto onsets = timeline.Onsets();
    if (onsets.size() != 2)
        return {0.0, 0.0, QStringLiteral("the two plays were not heard apart")};
    const double firstLateBy = static_cast<double>(second - first) / 1e6 -
                               static_cast<double>(onsets[1] - onsets[0]) / 48.0;

    MonitorRecording recorder(5);
    if (!recorder.Start())
        return {0.0, 0.0, QStringLiteral("parec could not record the sink's monitor")};
    SpinUntil([] { return false; }, 500);
    const double later =
        recorder.MillisecondsToSound([] { SfxPlayerController().play("sfx.cue"); });
    SpinUntil([] { return false; }, 1500);
    return {later + firstLateBy, later, QString()};
}

constexpr auto kFirstPlaySession = "--first-play-session";

// Each run is a session of its own (the player is one per process): this
// program runs itself with kFirstPlaySession and reads the figures it
// prints.
void FirstPlayLatency(benchmark::State& state)
{
    const auto startup = static_cast<int>(state.range(0));
    FirstPlay result;
    for (auto _ : state) {
        QProcess session;
        session.start(QCoreApplication::applicationFilePath(),
                      {QString::fromLatin1(kFirstPlaySession), QString::number(startup)});
        if (!session.waitForFinished(60000) || session.exitCode() != 0) {
            session.kill();
            session.waitForFinished();
            state.SkipWithError("the session did not finish");
            return;
        }
        const QByteArray line = session.readAllStandardOutput().trimmed();
        const QList<QByteArray> words = line.split(' ');
        if (line.startsWith("error ") || words.size() != 2) {
            state.SkipWithError(line.isEmpty() ? "no figures" : line.constData());
            return;
        }
        result.firstMilliseconds = words[0].toDouble();
        result.laterMilliseconds = words[1].toDouble();
    }
    state.counters["first_ms"] = result.firstMilliseconds;
    state.counters["later_ms"] = result.laterMilliseconds;
}
// The first cue at once, 0.1 s and 0.5 s after start-up, and after a 3 s cue
// file load.
BENCHMARK(FirstPlayLatency)
    ->Arg(0)
    ->Arg(100)
    ->Arg(500)
    ->Arg(3000)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

// play(eventId) with 3,000 effects in the catalogue and 3,000 instances:
// the time the call takes on the calling (GUI) thread.
void PlayByEventIdWithLargeCatalogue(benchmark::State& state)
{
    constexpr int kEffects = 3000;
    const auto beep = tarv::sfx::SfxManifest().path("beep.short");
    QTemporaryDir folder;
    if (!beep || !folder.isValid()) {
        state.SkipWithError("no built-in effects found");
        return;
    }
    QFile catalogue(QDir(folder.path()).filePath(tarv::sfx::SfxManifest::kCatalogueFile));
    if (!catalogue.open(QIODevice::WriteOnly)) {
        state.SkipWithError("cannot write the catalogue");
        return;
    }
    auto repository = std::make_unique<FakeSfxRepository>();
    QByteArray json = "{\"effects\": [\n";
    for (int i = 0; i < kEffects; ++i) {
        const QByteArray id = "effect." + QByteArray::number(i);
        json += "{\"id\": \"" + id + "\", \"name\": \"Effect " + QByteArray::number(i) +
                "\", \"type\": \"sound\", \"file\": \"" + QByteArray::fromStdString(*beep) + "\"}" +
                (i + 1 < kEffects ? ",\n" : "\n");
        repository->Save(Instance("sfx." + std::to_string(i), id.toStdString(), 0.0F));
    }
    catalogue.write(json + "]}\n");
    catalogue.close();
    qputenv(tarv::sfx::SfxManifest::kEnvironmentVariable, folder.path().toUtf8());
    Hand(std::move(repository));
    if (!Preload(*beep)) {
        state.SkipWithError("the effect did not load");
        return;
    }

    SfxPlayerController player;
    int next = 0;
    for (auto _ : state) {
        const std::string id = "sfx." + std::to_string(next++ % kEffects);
        const auto begin = std::chrono::steady_clock::now();
        player.play(id);
        const auto end = std::chrono::steady_clock::now();
        state.SetIterationTime(std::chrono::duration<double>(end - begin).count());
        if (next % 64 == 0) { // keep the mixer's voices free, untimed
            player.stop(true);
            QCoreApplication::processEvents();
        }
    }
    player.stop(true);
    QCoreApplication::processEvents();
    qunsetenv(tarv::sfx::SfxManifest::kEnvironmentVariable);
}
BENCHMARK(PlayByEventIdWithLargeCatalogue)->UseManualTime()->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc == 3 && std::strcmp(argv[1], kFirstPlaySession) == 0) {
        const FirstPlay result = MeasureFirstPlay(std::atoi(argv[2]));
        const QByteArray line = result.error.isEmpty()
                                    ? QByteArray::number(result.firstMilliseconds, 'f', 1) + ' ' +
                                          QByteArray::number(result.laterMilliseconds, 'f', 1)
                                    : "error " + result.error.toUtf8();
        std::fputs(line.constData(), stdout);
        std::fputc('\n', stdout);
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
