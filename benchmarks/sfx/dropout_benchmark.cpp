// Dropouts of a long tone played through the player, beside paplay playing
// the same file with the buffer the player asks for, runs of the one
// alternating with runs of the other. Each run records the null sink's
// monitor and counts the runs of silence of 1 ms or more between the tone's
// first and last sound.
//
//   ToneDropouts/busy:12  with busy processes that this program starts (and
//                         that stop by themselves): TARV_BENCH_RUNS runs of
//                         each (default 4) of TARV_BENCH_SECONDS seconds
//                         (default 10).
//   ToneDropoutsIdle      on a machine with nothing else running: dropouts
//                         there are rare, so TARV_BENCH_IDLE_RUNS runs of
//                         each (default 40) of TARV_BENCH_IDLE_SECONDS
//                         seconds (default 6). It reports the load average
//                         before and after (load_before, load_after): a
//                         figure taken above 1 is not an idle one.
//
// Run by hand: build/<dir>/benchmarks/sfx/sfx_dropout_benchmark, or one case
// with --benchmark_filter=Idle (about 12 minutes) or =busy.
// It starts a private PulseAudio server of its own (tests/sfx/pulse-start.sh)
// and stops it when done. TARV_BENCH_WHERE=1 prints where each gap falls.

#include "sfx/audiooutput.h"
#include "sfx/customaudioparameters.h"
#include "sfx/sfxplayercontroller.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <QCoreApplication>
#include <QDataStream>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QIODevice>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <vector>

using namespace tarv::audio;

namespace {

constexpr int kRate = 48000;
constexpr auto kToneSession = "--tone-session";

int Setting(const char* name, int fallback)
{
    bool ok = false;
    const int value = qEnvironmentVariableIntValue(name, &ok);
    return ok && value > 0 ? value : fallback;
}

// A private server with one null sink, tarv_test, for this run only.
class PrivateServer
{
public:
    PrivateServer()
        : m_folder(QStringLiteral("/tmp/tarv-dropouts-XXXXXX"))
    {
        if (!m_folder.isValid())
            return;
        QProcess::execute(QStringLiteral(TARV_PULSE_START), {m_folder.path()});
        const QString socket = m_folder.path() + QStringLiteral("/runtime/native");
        if (QFile::exists(socket))
            qputenv("PULSE_SERVER", "unix:" + socket.toUtf8());
    }
    ~PrivateServer()
    {
        if (m_folder.isValid())
            QProcess::execute(QStringLiteral(TARV_PULSE_STOP), {m_folder.path()});
    }
    bool Running() const { return !qEnvironmentVariableIsEmpty("PULSE_SERVER"); }

private:
    QTemporaryDir m_folder;
};

// A 1 kHz tone, 16-bit mono at 48 kHz, half of full scale.
bool WriteTone(const QString& path, int seconds)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const quint32 frames = static_cast<quint32>(kRate * seconds);
    QDataStream out(&file);
    out.setByteOrder(QDataStream::LittleEndian);
    out.writeRawData("RIFF", 4);
    out << quint32(36 + frames * 2);
    out.writeRawData("WAVEfmt ", 8);
    out << quint32(16) << quint16(1) << quint16(1) << quint32(kRate) << quint32(kRate * 2)
        << quint16(2) << quint16(16);
    out.writeRawData("data", 4);
    out << quint32(frames * 2);
    for (quint32 f = 0; f < frames; ++f)
        out << static_cast<qint16>(
            std::lround(16383.0 * std::sin(2.0 * M_PI * 1000.0 * f / kRate)));
    return out.status() == QDataStream::Ok;
}

// Processes that keep every core busy, each for `seconds` at most.
class Load
{
public:
    Load(int processes, int seconds)
    {
        for (int i = 0; i < processes; ++i) {
            auto& busy = m_processes.emplace_back(std::make_unique<QProcess>());
            busy->setStandardOutputFile(QProcess::nullDevice());
            busy->start(QStringLiteral("timeout"),
                        {QString::number(seconds), QStringLiteral("yes")});
        }
    }
    ~Load()
    {
        for (auto& busy : m_processes) {
            // timeout hands a termination on to its command; a kill would
            // leave the command running on its own.
            busy->terminate();
            busy->waitForFinished(3000);
        }
    }

private:
    std::vector<std::unique_ptr<QProcess>> m_processes;
};

struct Gaps
{
    int count = 0;
    double milliseconds = 0.0;
    bool heard = false;
};

// Records the sink's monitor while `play` runs (a process), then counts the
// silences in the tone. A long recording latency leaves the sink the steps
// that the player asks for.
Gaps Record(const QString& program, const QStringList& arguments, int seconds)
{
    QProcess parec;
    parec.start(QStringLiteral("parec"),
                {QStringLiteral("-d"), QStringLiteral("tarv_test.monitor"), QStringLiteral("--raw"),
                 QStringLiteral("--format=float32le"), QStringLiteral("--rate=48000"),
                 QStringLiteral("--channels=2"), QStringLiteral("--latency-msec=500")});
    if (!parec.waitForStarted(5000) || !parec.waitForReadyRead(5000))
        return {};
    QByteArray data;
    QProcess player;
    player.start(program, arguments);
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < (seconds + 20) * 1000 && player.state() != QProcess::NotRunning) {
        player.waitForFinished(50);
        parec.waitForReadyRead(0);
        data += parec.readAllStandardOutput();
    }
    player.kill();
    player.waitForFinished(3000);
    clock.restart();
    while (clock.elapsed() < 1500) {
        parec.waitForReadyRead(50);
        data += parec.readAllStandardOutput();
    }
    parec.terminate();
    parec.waitForFinished(3000);
    data += parec.readAllStandardOutput();

    const auto frames = static_cast<std::size_t>(data.size()) / 8;
    std::vector<float> samples(frames * 2);
    std::memcpy(samples.data(), data.constData(), samples.size() * sizeof(float));
    std::size_t first = frames;
    std::size_t last = 0;
    for (std::size_t f = 0; f < frames; ++f) {
        if (std::abs(samples[f * 2]) > 0.01F) {
            first = std::min(first, f);
            last = f;
        }
    }
    Gaps gaps;
    gaps.heard = first < last;
    std::size_t run = 0;
    for (std::size_t f = first; f <= last && gaps.heard; ++f) {
        if (samples[f * 2] == 0.0F && samples[f * 2 + 1] == 0.0F) {
            ++run;
            continue;
        }
        if (run >= kRate / 1000) {
            if (qEnvironmentVariableIsSet("TARV_BENCH_WHERE"))
                std::fprintf(stderr, "  gap of %.1f ms at %.1f s\n",
                             static_cast<double>(run) * 1000.0 / kRate,
                             static_cast<double>(f - first) / kRate);
            ++gaps.count;
            gaps.milliseconds += static_cast<double>(run) * 1000.0 / kRate;
        }
        run = 0;
    }
    return gaps;
}

// The system's load average over the last minute (-1 when unknown).
double LoadAverage()
{
    QFile file(QStringLiteral("/proc/loadavg"));
    if (!file.open(QIODevice::ReadOnly))
        return -1.0;
    bool ok = false;
    const double load = file.readAll().split(' ').value(0).toDouble(&ok);
    return ok ? load : -1.0;
}

// `runs` runs of the player alternating with as many of paplay, each with
// `busy` busy processes.
void MeasureDropouts(benchmark::State& state, int busy, int runs, int seconds)
{
    const PrivateServer server;
    QTemporaryDir folder;
    const QString tone = folder.filePath(QStringLiteral("tone.wav"));
    if (!server.Running() || !folder.isValid() || !WriteTone(tone, seconds)) {
        state.SkipWithError("no private PulseAudio server or no tone file");
        return;
    }
    Gaps player;
    Gaps paplay;
    int playerHeard = 0;
    int paplayHeard = 0;
    int playerRunsWithGaps = 0;
    int paplayRunsWithGaps = 0;
    for (auto _ : state) {
        for (int run = 0; run < runs; ++run) {
            const Load load(busy, 2 * seconds + 10);
            const Gaps ours =
                Record(QCoreApplication::applicationFilePath(),
                       {QString::fromLatin1(kToneSession), tone, QString::number(seconds * 1000)},
                       seconds);
            const Gaps theirs = Record(
                QStringLiteral("paplay"),
                {QStringLiteral("--latency-msec=%1").arg(AudioOutput::kBufferMilliseconds), tone},
                seconds);
            std::fprintf(stderr, "run %d: player %d gaps %.1f ms, paplay %d gaps %.1f ms\n", run,
                         ours.count, ours.milliseconds, theirs.count, theirs.milliseconds);
            player.count += ours.count;
            player.milliseconds += ours.milliseconds;
            playerHeard += ours.heard ? 1 : 0;
            playerRunsWithGaps += ours.count > 0 ? 1 : 0;
            paplay.count += theirs.count;
            paplay.milliseconds += theirs.milliseconds;
            paplayHeard += theirs.heard ? 1 : 0;
            paplayRunsWithGaps += theirs.count > 0 ? 1 : 0;
        }
    }
    if (playerHeard < runs || paplayHeard < runs)
        state.SkipWithError("a tone was not heard");
    state.counters["runs"] = runs;
    state.counters["player_gaps"] = player.count;
    state.counters["player_gap_ms"] = player.milliseconds;
    state.counters["player_runs_with_gaps"] = playerRunsWithGaps;
    state.counters["paplay_gaps"] = paplay.count;
    state.counters["paplay_gap_ms"] = paplay.milliseconds;
    state.counters["paplay_runs_with_gaps"] = paplayRunsWithGaps;
}

// busy: the number of busy processes.
void ToneDropouts(benchmark::State& state)
{
    MeasureDropouts(state, static_cast<int>(state.range(0)), Setting("TARV_BENCH_RUNS", 4),
                    Setting("TARV_BENCH_SECONDS", 10));
}
BENCHMARK(ToneDropouts)->ArgName("busy")->Arg(12)->Iterations(1)->Unit(benchmark::kSecond);

void ToneDropoutsIdle(benchmark::State& state)
{
    const double before = LoadAverage();
    if (before >= 1.0)
        std::fprintf(stderr, "load average %.2f: the machine is not idle\n", before);
    MeasureDropouts(state, 0, Setting("TARV_BENCH_IDLE_RUNS", 40),
                    Setting("TARV_BENCH_IDLE_SECONDS", 6));
    state.counters["load_before"] = before;
    state.counters["load_after"] = LoadAverage();
}
BENCHMARK(ToneDropoutsIdle)->Iterations(1)->Unit(benchmark::kSecond);

// One tone through the player, then quits: a session of its own.
int ToneSession(const QString& file, int milliseconds)
{
    SfxPlayerController().play(
        CustomAudioParameters::builder().name(QStringLiteral("tone")).file(file).build());
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < milliseconds + 500) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(5);
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc == 4 && std::strcmp(argv[1], kToneSession) == 0)
        return ToneSession(QString::fromLocal8Bit(argv[2]), std::atoi(argv[3]));
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
