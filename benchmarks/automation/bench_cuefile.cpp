// Opening and saving a large cue file, with RapidJSON's bare parse of the
// same bytes and its durable replace of the same document (pretty-printed,
// written, synced, renamed over the old file, folder synced) for scale. A save
// should take at most 1.5 times the durable replace.
// Run by hand: build/<dir>/benchmarks/automation/bench_cuefile
#include "automation/automation.h"
#include "automation/automationjsonoutputadapter.h"
#include "automation/customaudio.h"
#include "automation/eventgroup.h"
#include "automation/oscevent.h"
#include "automation/waitevent.h"

#include <benchmark/benchmark.h>
#include <memory>
#include <QFile>
#include <QTemporaryDir>
#include <rapidjson/document.h>
#include <rapidjson/prettywriter.h>
#include <rapidjson/stringbuffer.h>
#include <stdexcept>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

using namespace tarv::automation;

namespace {

// 1,000 cues of four OSC and four audio events, each followed by a wait:
// 10,000 events in all.
constexpr int kCues = 1000;

void FillShow(Automation& show, const QString& folder)
{
    show.GetNetworks().emplace_back();
    for (int cue = 0; cue < kCues; ++cue) {
        auto group = std::make_shared<EventGroup>();
        group->Name(QStringLiteral("Cue %1").arg(cue));
        group->Number(QString::number(cue));
        for (int i = 0; i < 4; ++i) {
            auto osc = std::make_shared<Osc>(&show.GetNetworks());
            osc->Message(QStringLiteral("/light/%1/level %2").arg(cue).arg(i * 0.25));
            osc->Offset(static_cast<unsigned>(i * 100));
            group->AddEvent(osc);
            group->AddEvent(std::make_shared<CustomAudio>(
                tarv::audio::CustomAudioParameters::builder()
                    .name(QStringLiteral("Audio %1.%2").arg(cue).arg(i))
                    .file(QStringLiteral("%1/audio/%2-%3.wav").arg(folder).arg(cue).arg(i))
                    .volume(0.8)
                    .pan(0.5)
                    .build(),
                static_cast<unsigned>(i * 250)));
        }
        show.AddEvent(group);
        show.AddEvent(std::make_shared<Wait>(1500));
    }
}

struct Fixture
{
    Fixture()
    {
        Automation show;
        FillShow(show, dir.path());
        show.Save(path);
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        bytes = file.readAll().toStdString();
    }

    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("large.tarvcue"));
    std::string bytes;
};

Fixture& Shared()
{
    static Fixture fixture;
    return fixture;
}

void BM_OpenCueFile(benchmark::State& state)
{
    for (auto _ : state) {
        Automation show;
        benchmark::DoNotOptimize(show.Open(Shared().path));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(Shared().bytes.size()));
}

void BM_SaveCueFile(benchmark::State& state)
{
    Automation show;
    show.Open(Shared().path);
    const QString target = Shared().dir.filePath(QStringLiteral("saved.tarvcue"));
    for (auto _ : state) {
        show.Save(target);
    }
}

// The in-memory half of a save, beside RapidJSON's for the same document.
void BM_WriteCueFileText(benchmark::State& state)
{
    Automation show;
    show.Open(Shared().path);
    for (auto _ : state) {
        AutomationJsonOutputAdapter adapter(&show);
        benchmark::DoNotOptimize(adapter.Text(CueFileVersion::Current()).size());
    }
}

void BM_RapidJsonWriteTextOnly(benchmark::State& state)
{
    rapidjson::Document document;
    document.Parse<rapidjson::kParseFullPrecisionFlag>(Shared().bytes.data(),
                                                       Shared().bytes.size());
    for (auto _ : state) {
        rapidjson::StringBuffer buffer;
        rapidjson::PrettyWriter<rapidjson::StringBuffer> writer(buffer);
        writer.SetIndent(' ', 4);
        document.Accept(writer);
        benchmark::DoNotOptimize(buffer.GetSize());
    }
}

void BM_RapidJsonParseOnly(benchmark::State& state)
{
    const std::string& bytes = Shared().bytes;
    for (auto _ : state) {
        rapidjson::Document document;
        document.Parse<rapidjson::kParseIterativeFlag | rapidjson::kParseFullPrecisionFlag |
                       rapidjson::kParseValidateEncodingFlag>(bytes.data(), bytes.size());
        benchmark::DoNotOptimize(document.HasParseError());
    }
}

#ifdef Q_OS_UNIX
void WriteAllAndSync(const std::string& path, const char* data, std::size_t size)
{
    const int file = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (file < 0) {
        throw std::runtime_error("cannot create " + path);
    }
    while (size > 0) {
        const ssize_t written = ::write(file, data, size);
        if (written <= 0) {
            ::close(file);
            throw std::runtime_error("cannot write " + path);
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    if (::fsync(file) != 0 || ::close(file) != 0) {
        throw std::runtime_error("cannot sync " + path);
    }
}

void SyncFolder(const std::string& folder)
{
    const int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0 || ::fsync(descriptor) != 0) {
        throw std::runtime_error("cannot sync " + folder);
    }
    ::close(descriptor);
}

// What a save cannot do without: the same document, already in memory, in
// the same pretty form, replacing the old file durably.
void BM_RapidJsonDurableReplace(benchmark::State& state)
{
    rapidjson::Document document;
    document.Parse<rapidjson::kParseFullPrecisionFlag>(Shared().bytes.data(),
                                                       Shared().bytes.size());
    const std::string folder = Shared().dir.path().toStdString();
    const std::string target = folder + "/rapidjson.tarvcue";
    const std::string temporary = target + ".new";
    for (auto _ : state) {
        rapidjson::StringBuffer buffer;
        rapidjson::PrettyWriter<rapidjson::StringBuffer> writer(buffer);
        writer.SetIndent(' ', 4);
        document.Accept(writer);
        WriteAllAndSync(temporary, buffer.GetString(), buffer.GetSize());
        if (::rename(temporary.c_str(), target.c_str()) != 0) {
            state.SkipWithError("rename failed");
            break;
        }
        SyncFolder(folder);
    }
}
#endif

} // namespace

BENCHMARK(BM_OpenCueFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveCueFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteCueFileText)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RapidJsonWriteTextOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RapidJsonParseOnly)->Unit(benchmark::kMillisecond);
#ifdef Q_OS_UNIX
BENCHMARK(BM_RapidJsonDurableReplace)->Unit(benchmark::kMillisecond);
#endif

BENCHMARK_MAIN();
