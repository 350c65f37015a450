// Opening and saving a large cue file, with RapidJSON's bare parse of the
// same bytes for scale. Run by hand: build/<dir>/benchmarks/automation/bench_cuefile
#include "automation/automation.h"
#include "automation/customaudio.h"
#include "automation/eventgroup.h"
#include "automation/oscevent.h"
#include "automation/waitevent.h"

#include <benchmark/benchmark.h>
#include <memory>
#include <QFile>
#include <QTemporaryDir>
#include <rapidjson/document.h>

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

} // namespace

BENCHMARK(BM_OpenCueFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveCueFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RapidJsonParseOnly)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
