// How fast the mixer renders compared with real time, and how large a device
// buffer the output gets (the buffer bounds the time from a play to sound).
//
// Run by hand: build/<dir>/benchmarks/sfx/sfx_mixer_benchmark
// The output-buffer figure needs a sound server; without one it reports the
// silent clock. A private one: see tests/sfx/pulse-start.sh, then set
// PULSE_SERVER=unix:<folder>/runtime/native.

#include "sfx/audioclip.h"
#include "sfx/customaudioparameters.h"
#include "sfx/mixer.h"
#include "sfx/sfxmanifest.h"
#include "sfx/sfxplayercontroller.h"
#include "sfx/sfxplayercontrollerimpl.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <random>
#include <vector>

using namespace tarv::audio;

namespace {

AudioClip NoiseClip(std::size_t frames)
{
    std::mt19937 random(1);
    std::uniform_real_distribution<float> uniform(-0.1F, 0.1F);
    std::vector<float> samples(frames * 2);
    for (float& s : samples)
        s = uniform(random);
    return AudioClip("noise", std::move(samples));
}

// 64 stereo voices, each fading in, fading to a new level and looping, with
// a fresh fade-to every block so the ramps never settle.
void MixSixtyFourVoices(benchmark::State& state)
{
    constexpr std::size_t kVoices = 64;
    const auto blockFrames = static_cast<std::size_t>(state.range(0));
    const AudioClip clip = NoiseClip(Mixer::kSampleRate * 5);
    Mixer mixer;
    for (std::uint64_t v = 0; v < kVoices; ++v) {
        MixerCommand start;
        start.kind = MixerCommand::Kind::Start;
        start.voice = v;
        start.clip = &clip;
        start.settings.volume = 0.5F;
        start.settings.pan = static_cast<float>(v) / kVoices;
        start.settings.repeats = -1;
        start.settings.fadeInFrames = Mixer::MillisecondsToFrames(3000);
        start.settings.fadeOutFrames = Mixer::MillisecondsToFrames(3000);
        mixer.Submit(start);
    }
    std::vector<float> out(blockFrames * 2);
    std::uint64_t block = 0;
    for (auto _ : state) {
        MixerCommand fade;
        fade.kind = MixerCommand::Kind::FadeTo;
        fade.voice = block % kVoices;
        fade.gain = (block % 2) != 0 ? 0.25F : 1.0F;
        fade.frames = Mixer::MillisecondsToFrames(2000);
        mixer.Submit(fade);
        mixer.Render(out.data(), blockFrames);
        benchmark::DoNotOptimize(out.data());
        ++block;
    }
    // Seconds of audio per second of work: the factor faster than real time.
    state.counters["x_realtime"] = benchmark::Counter(
        static_cast<double>(state.iterations() * blockFrames) / Mixer::kSampleRate,
        benchmark::Counter::kIsRate);
    state.counters["voices"] = static_cast<double>(mixer.ActiveVoices());
}
BENCHMARK(MixSixtyFourVoices)->Arg(256)->Arg(960)->Arg(4096)->Unit(benchmark::kMicrosecond);

// Opens the default output through the player and reports the device buffer
// it was granted, in milliseconds (0 with the silent clock).
void OutputBuffer(benchmark::State& state)
{
    const tarv::sfx::SfxManifest manifest;
    const auto beep = manifest.path("beep.short");
    if (!beep) {
        state.SkipWithError("no built-in effects found");
        return;
    }
    SfxPlayerController player;
    auto* engine = SfxPlayerControllerImpl::instance();
    for (auto _ : state) {
        player.play(CustomAudioParameters::builder()
                        .name("beep")
                        .file(QString::fromStdString(*beep))
                        .volume(0.0)
                        .build());
        QElapsedTimer waited;
        waited.start();
        while (!engine->IsSilent() && engine->OutputBufferMilliseconds() == 0.0 &&
               waited.elapsed() < 3000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    state.counters["buffer_ms"] = engine->OutputBufferMilliseconds();
    state.counters["silent"] = engine->IsSilent() ? 1.0 : 0.0;
}
BENCHMARK(OutputBuffer)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
