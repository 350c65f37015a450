// The mixer rendered offline, frame by frame. A constant clip (every sample
// 0.5) makes each output sample equal to 0.5 times the voice's gain, so the
// gain curves can be read straight off the output.

#include "sfx/audioclip.h"
#include "sfx/mixer.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <map>
#include <numbers>
#include <tuple>
#include <vector>

using tarv::audio::AudioClip;
using tarv::audio::Mixer;
using tarv::audio::MixerCommand;
using tarv::audio::VoiceSettings;
using Kind = MixerCommand::Kind;

namespace {

constexpr float kLevel = 0.5F;

// Voice, end frame, refused.
using End = std::tuple<std::uint64_t, std::uint64_t, bool>;
using Ends = std::vector<End>;

struct Output
{
    std::vector<float> samples; // interleaved stereo
    float Left(std::size_t frame) const { return samples[frame * 2]; }
    float Right(std::size_t frame) const { return samples[frame * 2 + 1]; }
};

AudioClip ConstantClip(std::size_t frames, float left = kLevel, float right = kLevel)
{
    std::vector<float> samples(frames * 2, left);
    for (std::size_t i = 1; i < samples.size(); i += 2)
        samples[i] = right;
    return {"constant", std::move(samples)};
}

MixerCommand Start(std::uint64_t voice, const AudioClip& clip, VoiceSettings settings = {})
{
    return {.kind = Kind::Start, .voice = voice, .clip = &clip, .settings = settings};
}

MixerCommand Command(Kind kind, std::uint64_t voice = 0, std::uint32_t frames = 0,
                     float gain = 1.0F)
{
    MixerCommand command;
    command.kind = kind;
    command.voice = voice;
    command.frames = frames;
    command.gain = gain;
    return command;
}

Output Render(Mixer& mixer, std::size_t frames)
{
    Output out{std::vector<float>(frames * 2)};
    mixer.Render(out.samples.data(), frames);
    return out;
}

Ends Ended(Mixer& mixer)
{
    Ends ended;
    while (const auto e = mixer.TakeEnded())
        ended.emplace_back(e->voice, e->endFrame, e->refused);
    return ended;
}

} // namespace

TEST(Mixer, VolumeAndConstantPowerPanNormalisedToUnityAtCentre)
{
    const auto clip = ConstantClip(1000);
    const auto quarter =
        static_cast<float>(std::numbers::sqrt2 * std::sin(std::numbers::pi / 8.0)); // 0.5412
    // Volume, pan, left, right.
    for (const auto& [volume, pan, left, right] :
         std::vector<std::tuple<float, float, float, float>>{{1.0F, 0.5F, 0.5F, 0.5F},
                                                             {0.5F, 0.5F, 0.25F, 0.25F},
                                                             {1.0F, 0.0F, 0.5F, 0.0F},
                                                             {1.0F, 1.0F, 0.0F, 0.5F},
                                                             {1.0F, 0.25F, 0.5F, 0.5F * quarter},
                                                             {0.0F, 0.5F, 0.0F, 0.0F},
                                                             {-1.0F, 0.5F, 0.0F, 0.0F},
                                                             {std::nanf(""), 0.5F, 0.0F, 0.0F},
                                                             {1.0F, std::nanf(""), 0.5F, 0.5F}}) {
        Mixer mixer;
        mixer.Submit(Start(1, clip, {.volume = volume, .pan = pan}));
        const auto out = Render(mixer, 10);
        EXPECT_NEAR(out.Left(5), left, 1e-5) << "volume " << volume << " pan " << pan;
        EXPECT_NEAR(out.Right(5), right, 1e-5) << "volume " << volume << " pan " << pan;
    }
}

TEST(Mixer, FadeInRisesLinearlyOverItsDurationAndFadeOutReachesSilenceAtTheEnd)
{
    const auto clip = ConstantClip(4800); // 100 ms
    Mixer mixer;
    mixer.Submit(Start(1, clip,
                       {.fadeInFrames = Mixer::MillisecondsToFrames(10),     // 480
                        .fadeOutFrames = Mixer::MillisecondsToFrames(20)})); // 960
    const auto out = Render(mixer, 5000);

    EXPECT_EQ(out.Left(0), 0.0F);
    EXPECT_NEAR(out.Left(240), kLevel * 0.5F, 1e-5);
    EXPECT_NEAR(out.Left(479), kLevel * 479.0F / 480.0F, 1e-5);
    EXPECT_NEAR(out.Left(480), kLevel, 1e-6);
    EXPECT_NEAR(out.Left(4800 - 960 - 1), kLevel, 1e-6); // fade-out not begun
    EXPECT_NEAR(out.Left(4800 - 480), kLevel * 0.5F, 1e-5);
    EXPECT_LT(out.Left(4799), kLevel / 900.0F);
    EXPECT_EQ(out.Left(4800), 0.0F);
    EXPECT_EQ(Ended(mixer), (Ends{{1, 4800, false}}));
}

TEST(Mixer, FadeToReachesItsLevelAtTheGivenTimeAndHoldsIt)
{
    const auto clip = ConstantClip(100);
    Mixer mixer;
    mixer.Submit(Start(7, clip, {.volume = 0.8F, .repeats = -1}));
    Render(mixer, 100);

    mixer.Submit(Command(Kind::FadeTo, 7, 1000, 0.25F));
    auto out = Render(mixer, 1200);
    EXPECT_NEAR(out.Left(0), kLevel * 0.8F, 1e-3);
    EXPECT_NEAR(out.Left(500), kLevel * 0.8F * (1.0F - 0.75F * 0.5F), 1e-3);
    EXPECT_NEAR(out.Left(1000), kLevel * 0.8F * 0.25F, 1e-5);
    EXPECT_NEAR(out.Left(1199), kLevel * 0.8F * 0.25F, 1e-5);

    // A second fade starts from wherever the first one has got to.
    mixer.Submit(Command(Kind::FadeTo, 7, 0, 1.0F));
    out = Render(mixer, 10);
    EXPECT_NEAR(out.Left(0), kLevel * 0.8F, 1e-6);
    EXPECT_TRUE(Ended(mixer).empty()); // fading never ends a voice
}

TEST(Mixer, RepeatsPlayExtraPassesAndLoopsRunUntilStopped)
{
    const auto clip = ConstantClip(100);
    Mixer mixer;
    mixer.Submit(Start(1, clip, {.repeats = 2})); // three passes
    mixer.Submit(Start(2, clip, {.repeats = -1}));
    auto out = Render(mixer, 1000);
    EXPECT_NEAR(out.Left(299), 2 * kLevel, 1e-6);
    EXPECT_NEAR(out.Left(300), kLevel, 1e-6);
    EXPECT_EQ(Ended(mixer), (Ends{{1, 300, false}}));

    out = Render(mixer, 100000);
    EXPECT_NEAR(out.Left(99999), kLevel, 1e-6);
    EXPECT_EQ(mixer.ActiveVoices(), 1U);

    mixer.Submit(Command(Kind::Stop, 2)); // no fade-out: at once
    EXPECT_EQ(Render(mixer, 10).Left(0), 0.0F);
    EXPECT_EQ(Ended(mixer), (Ends{{2, 101000, false}}));
}

TEST(Mixer, StopFadesOverTheVoiceFadeOutOrAGivenTime)
{
    const auto clip = ConstantClip(100);
    Mixer mixer;
    const VoiceSettings settings{.fadeOutFrames = 200, .repeats = -1};
    mixer.Submit(Start(1, clip, settings));
    mixer.Submit(Start(2, clip, settings));
    Render(mixer, 50);

    mixer.Submit(Command(Kind::Stop, 1));
    auto quick = Command(Kind::Stop, 2, 50);
    quick.ownFade = false;
    mixer.Submit(quick);
    const auto out = Render(mixer, 300);
    EXPECT_NEAR(out.Left(0), 2 * kLevel, 1e-6);
    EXPECT_NEAR(out.Left(25), kLevel * (1.0F - 25.0F / 200.0F) + kLevel * 0.5F, 1e-5);
    EXPECT_NEAR(out.Left(100), kLevel * 0.5F, 1e-5);
    EXPECT_EQ(out.Left(200), 0.0F);

    auto ended = Ended(mixer);
    std::ranges::sort(ended, {}, [](const End& e) { return std::get<1>(e); });
    EXPECT_EQ(ended, (Ends{{2, 100, false}, {1, 250, false}}));
}

TEST(Mixer, StopAllFadesEveryVoiceAndPanicSilencesAtOnce)
{
    const auto clip = ConstantClip(100);
    Mixer gentle;
    Mixer panic;
    for (std::uint64_t v = 1; v <= 3; ++v) {
        const VoiceSettings settings{.volume = 0.25F, .fadeOutFrames = 100, .repeats = -1};
        gentle.Submit(Start(v, clip, settings));
        panic.Submit(Start(v, clip, settings));
    }
    Render(gentle, 10);
    Render(panic, 10);
    gentle.Submit(Command(Kind::StopAll));
    panic.Submit(Command(Kind::Panic));

    const auto faded = Render(gentle, 200);
    EXPECT_NEAR(faded.Left(50), 3 * 0.25F * kLevel * 0.5F, 1e-5);
    EXPECT_EQ(faded.Left(100), 0.0F);
    EXPECT_EQ(Ended(gentle).size(), 3U);

    EXPECT_EQ(Render(panic, 10).Left(0), 0.0F);
    const auto ended = Ended(panic);
    ASSERT_EQ(ended.size(), 3U);
    EXPECT_EQ(std::get<1>(ended[2]), 10U);
    EXPECT_EQ(panic.ActiveVoices(), 0U);
}

TEST(Mixer, VoicesSumAndOverloadClampsInsteadOfWrapping)
{
    const auto quiet = ConstantClip(100, 0.3F, -0.3F);
    const auto loud = ConstantClip(100, 0.8F, -0.8F);
    Mixer mixer;
    mixer.Submit(Start(1, quiet));
    mixer.Submit(Start(2, quiet));
    auto out = Render(mixer, 10);
    EXPECT_NEAR(out.Left(0), 0.6F, 1e-6);
    EXPECT_NEAR(out.Right(0), -0.6F, 1e-6);

    mixer.Submit(Start(3, loud));
    out = Render(mixer, 10);
    EXPECT_EQ(out.Left(0), 1.0F);
    EXPECT_EQ(out.Right(0), -1.0F);
}

TEST(Mixer, RunawayGainsAndBrokenSamplesNeitherPoisonNorSilenceTheBus)
{
    constexpr float kHuge = 3e38F;
    constexpr float kInf = std::numeric_limits<float>::infinity();
    const auto quiet = ConstantClip(100, 0.3F, -0.3F);
    // Silence and full-scale swings under a gain that overflows float.
    std::vector<float> swinging(200, 0.0F);
    for (std::size_t i = 100; i < swinging.size(); ++i)
        swinging[i] = i % 2 == 0 ? 1.0F : -1.0F;
    const AudioClip runaway("runaway", std::move(swinging));
    const AudioClip broken("broken", {std::nanf(""), kInf, -kInf, std::nanf("")});

    Mixer mixer;
    mixer.Submit(Start(1, quiet, {.repeats = -1}));
    mixer.Submit(Start(2, runaway, {.volume = kHuge, .repeats = -1}));
    mixer.Submit(Start(3, runaway, {.volume = kHuge, .repeats = -1}));
    Render(mixer, 1);
    for (const float gain : {10.0F, kHuge, kInf, std::nanf("")}) {
        mixer.Submit(Command(Kind::FadeTo, 2, 0, gain));
        mixer.Submit(Command(Kind::FadeTo, 3, 7, gain));
        const auto out = Render(mixer, 200);
        for (const float sample : out.samples)
            ASSERT_TRUE(std::isfinite(sample)) << "fade to " << gain;
        // Where the runaway voices are silent, the quiet one is still heard.
        EXPECT_NEAR(out.Left(40), 0.3F, 1e-6) << "fade to " << gain;
        EXPECT_NEAR(out.Right(40), -0.3F, 1e-6) << "fade to " << gain;
    }

    mixer.Submit(Start(4, broken, {.repeats = -1}));
    const auto out = Render(mixer, 100);
    for (const float sample : out.samples)
        ASSERT_TRUE(std::isfinite(sample));
}

TEST(Mixer, BusyVoicesRefuseAndEmptyClipsEndAtOnce)
{
    const auto clip = ConstantClip(10);
    const AudioClip empty("empty", {});
    Mixer mixer;
    for (std::uint64_t v = 0; v < Mixer::kMaxVoices; ++v)
        mixer.Submit(Start(v, clip, {.repeats = -1}));
    Render(mixer, 1);
    mixer.Submit(Start(1000, clip, {.repeats = -1}));
    mixer.Submit(Start(1001, empty, {.repeats = -1}));
    Render(mixer, 1);
    EXPECT_EQ(Ended(mixer), (Ends{{1000, 1, true}, {1001, 1, false}}));
    EXPECT_EQ(mixer.ActiveVoices(), Mixer::kMaxVoices);
}

TEST(Mixer, OutputDoesNotDependOnBlockSize)
{
    const auto clip = ConstantClip(700);
    const VoiceSettings settings{
        .pan = 0.3F, .fadeInFrames = 300, .fadeOutFrames = 400, .repeats = 1};
    Mixer whole;
    whole.Submit(Start(1, clip, settings));
    const auto expected = Render(whole, 1500).samples;

    Mixer inBlocks;
    inBlocks.Submit(Start(1, clip, settings));
    std::vector<float> got;
    for (std::size_t block : {1U, 7U, 64U, 128U, 1300U}) {
        const auto out = Render(inBlocks, block).samples;
        got.insert(got.end(), out.begin(), out.end());
    }
    EXPECT_EQ(got, expected);
    EXPECT_EQ(Ended(inBlocks), Ended(whole));
}

TEST(Mixer, StormsOfStartsLoseNoNoticeAndStopsAndPanicsAlwaysGetThrough)
{
    // Starts until the ring refuses them, over several renders, while nobody
    // reads the notices: far more ends than the notice ring holds.
    const auto clip = ConstantClip(100);
    Mixer mixer;
    std::uint64_t started = 0;
    for (int round = 0; round < 4; ++round) {
        if (round > 0)
            Render(mixer, 10);
        while (mixer.Submit(Start(started, clip, {.repeats = -1})))
            ++started;
    }
    ASSERT_GT(started, 2048 + Mixer::kMaxVoices);
    EXPECT_TRUE(mixer.Submit(Command(Kind::Stop, 0)));
    EXPECT_TRUE(mixer.Submit(Command(Kind::FadeTo, 1, 10, 0.5F)));
    EXPECT_TRUE(mixer.Submit(Command(Kind::StopAll)));
    EXPECT_TRUE(mixer.Submit(Command(Kind::Panic)));
    const auto silent = Render(mixer, 10);
    EXPECT_TRUE(std::ranges::all_of(silent.samples, [](float s) { return s == 0.0F; }));
    EXPECT_EQ(mixer.ActiveVoices(), 0U);

    // Each start ends exactly once, even those still queued behind the panic.
    std::map<std::uint64_t, int> notices;
    for (int read = 0; read < 8; ++read) {
        for (const auto& [voice, frame, refused] : Ended(mixer))
            ++notices[voice];
        EXPECT_EQ(Render(mixer, 10).Left(0), 0.0F);
    }
    EXPECT_EQ(notices.size(), started);
    EXPECT_TRUE(std::ranges::all_of(notices, [](const auto& n) { return n.second == 1; }));

    // What is queued after a panic plays; what was queued before it does not.
    mixer.Submit(Start(started, clip));
    mixer.Submit(Command(Kind::Panic));
    mixer.Submit(Start(started + 1, clip));
    const std::uint64_t now = mixer.FramesRendered();
    EXPECT_NEAR(Render(mixer, 10).Left(0), kLevel, 1e-6);
    EXPECT_EQ(Ended(mixer), (Ends{{started, now, false}}));
}

TEST(Mixer, SkippingAheadLeavesEveryVoiceWhereRenderingWouldHave)
{
    // Samples that differ from frame to frame, so a voice's place in its
    // clip shows in the output.
    std::vector<float> ramp(2 * 250);
    for (std::size_t i = 0; i < ramp.size(); ++i)
        ramp[i] = static_cast<float>(i % 97) / 200.0F;
    const AudioClip clip("ramp", std::move(ramp));
    const auto play = [&clip](Mixer& mixer) {
        mixer.Submit(Start(1, clip, {.pan = 0.2F, .fadeInFrames = 900, .repeats = -1}));
        mixer.Submit(Start(2, clip, {.fadeOutFrames = 300, .repeats = 3}));   // ends at 1000
        mixer.Submit(Start(3, clip, {.fadeOutFrames = 600, .repeats = 9}));   // ends at 2500
        mixer.Submit(Start(4, clip, {.fadeOutFrames = 1500, .repeats = -1})); // stopped below
        mixer.Submit(Start(5, clip, {.fadeOutFrames = 400, .repeats = -1}));  // stopped below
        mixer.Submit(Command(Kind::FadeTo, 1, 1200, 0.25F));
        mixer.Submit(Command(Kind::Stop, 4));
        mixer.Submit(Command(Kind::Stop, 5));
    };
    for (const std::uint64_t skipped : {1ULL, 249ULL, 250ULL, 400ULL, 1000ULL, 1001ULL, 1800ULL}) {
        Mixer rendered;
        play(rendered);
        Render(rendered, static_cast<std::size_t>(skipped));
        Mixer skipping;
        play(skipping);
        skipping.Skip(skipped);
        EXPECT_EQ(skipping.FramesRendered(), skipped);
        EXPECT_EQ(Ended(skipping), Ended(rendered)) << skipped << " frames skipped";
        EXPECT_EQ(Render(skipping, 2000).samples, Render(rendered, 2000).samples)
            << skipped << " frames skipped";
        EXPECT_EQ(Ended(skipping), Ended(rendered)) << skipped << " frames skipped";
    }
}
