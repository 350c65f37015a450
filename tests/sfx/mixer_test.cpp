// The mixer rendered offline, frame by frame. A constant clip (every sample
// 0.5) makes each output sample equal to 0.5 times the voice's gain, so the
// gain curves can be read straight off the output.

#include "sfx/audioclip.h"
#include "sfx/mixer.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

using tarv::audio::AudioClip;
using tarv::audio::Mixer;
using tarv::audio::MixerCommand;
using tarv::audio::VoiceEnded;
using tarv::audio::VoiceSettings;

namespace {

constexpr float kLevel = 0.5F;

std::unique_ptr<AudioClip> ConstantClip(std::size_t frames, float left = kLevel,
                                        float right = kLevel)
{
    std::vector<float> samples;
    for (std::size_t i = 0; i < frames; ++i) {
        samples.push_back(left);
        samples.push_back(right);
    }
    return std::make_unique<AudioClip>("constant", std::move(samples));
}

MixerCommand Start(std::uint64_t voice, const AudioClip& clip, VoiceSettings settings = {})
{
    MixerCommand command;
    command.kind = MixerCommand::Kind::Start;
    command.voice = voice;
    command.clip = &clip;
    command.settings = settings;
    return command;
}

MixerCommand Command(MixerCommand::Kind kind, std::uint64_t voice = 0)
{
    MixerCommand command;
    command.kind = kind;
    command.voice = voice;
    return command;
}

// Renders `frames` frames and returns them interleaved.
std::vector<float> Render(Mixer& mixer, std::size_t frames)
{
    std::vector<float> out(frames * 2);
    mixer.Render(out.data(), frames);
    return out;
}

std::vector<VoiceEnded> Ended(Mixer& mixer)
{
    std::vector<VoiceEnded> ended;
    while (const auto e = mixer.TakeEnded())
        ended.push_back(*e);
    return ended;
}

float Left(const std::vector<float>& out, std::size_t frame)
{
    return out[frame * 2];
}
float Right(const std::vector<float>& out, std::size_t frame)
{
    return out[frame * 2 + 1];
}

} // namespace

TEST(Mixer, VolumeAndConstantPowerPanNormalisedToUnityAtCentre)
{
    const auto clip = ConstantClip(1000);
    struct Case
    {
        float volume, pan, left, right;
    };
    const double quarter = std::numbers::sqrt2 * std::sin(std::numbers::pi / 8.0); // 0.5412
    for (const Case c :
         {Case{1.0F, 0.5F, 0.5F, 0.5F}, Case{0.5F, 0.5F, 0.25F, 0.25F},
          Case{1.0F, 0.0F, 0.5F, 0.0F}, Case{1.0F, 1.0F, 0.0F, 0.5F},
          Case{1.0F, 0.25F, 0.5F, static_cast<float>(0.5 * quarter)}, Case{0.0F, 0.5F, 0.0F, 0.0F},
          Case{-1.0F, 0.5F, 0.0F, 0.0F}, Case{std::nanf(""), 0.5F, 0.0F, 0.0F}}) {
        Mixer mixer;
        VoiceSettings settings;
        settings.volume = c.volume;
        settings.pan = c.pan;
        mixer.Submit(Start(1, *clip, settings));
        const auto out = Render(mixer, 10);
        EXPECT_NEAR(Left(out, 5), c.left, 1e-5) << "volume " << c.volume << " pan " << c.pan;
        EXPECT_NEAR(Right(out, 5), c.right, 1e-5) << "volume " << c.volume << " pan " << c.pan;
    }
}

TEST(Mixer, FadeInRisesLinearlyOverItsDurationAndFadeOutReachesSilenceAtTheEnd)
{
    const auto clip = ConstantClip(4800); // 100 ms
    Mixer mixer;
    VoiceSettings settings;
    settings.fadeInFrames = Mixer::MillisecondsToFrames(10);  // 480
    settings.fadeOutFrames = Mixer::MillisecondsToFrames(20); // 960
    mixer.Submit(Start(1, *clip, settings));
    const auto out = Render(mixer, 5000);

    EXPECT_EQ(Left(out, 0), 0.0F);
    EXPECT_NEAR(Left(out, 240), kLevel * 0.5F, 1e-5);
    EXPECT_NEAR(Left(out, 479), kLevel * 479.0F / 480.0F, 1e-5);
    EXPECT_NEAR(Left(out, 480), kLevel, 1e-6);
    EXPECT_NEAR(Left(out, 4800 - 960 - 1), kLevel, 1e-6); // fade-out not begun
    EXPECT_NEAR(Left(out, 4800 - 480), kLevel * 0.5F, 1e-5);
    EXPECT_LT(Left(out, 4799), kLevel / 900.0F);
    EXPECT_EQ(Left(out, 4800), 0.0F);

    const auto ended = Ended(mixer);
    ASSERT_EQ(ended.size(), 1U);
    EXPECT_EQ(ended[0].voice, 1U);
    EXPECT_EQ(ended[0].endFrame, 4800U);
    EXPECT_FALSE(ended[0].refused);
}

TEST(Mixer, FadeToReachesItsLevelAtTheGivenTimeAndHoldsIt)
{
    const auto clip = ConstantClip(100);
    Mixer mixer;
    VoiceSettings settings;
    settings.repeats = -1;
    settings.volume = 0.8F;
    mixer.Submit(Start(7, *clip, settings));
    Render(mixer, 100);

    MixerCommand fade = Command(MixerCommand::Kind::FadeTo, 7);
    fade.gain = 0.25F;
    fade.frames = 1000;
    mixer.Submit(fade);
    auto out = Render(mixer, 1200);
    EXPECT_NEAR(Left(out, 0), kLevel * 0.8F, 1e-3);
    EXPECT_NEAR(Left(out, 500), kLevel * 0.8F * (1.0F - 0.75F * 0.5F), 1e-3);
    EXPECT_NEAR(Left(out, 1000), kLevel * 0.8F * 0.25F, 1e-5);
    EXPECT_NEAR(Left(out, 1199), kLevel * 0.8F * 0.25F, 1e-5);

    // A second fade starts from wherever the first one has got to.
    fade.gain = 1.0F;
    fade.frames = 0;
    mixer.Submit(fade);
    out = Render(mixer, 10);
    EXPECT_NEAR(Left(out, 0), kLevel * 0.8F, 1e-6);
    EXPECT_TRUE(Ended(mixer).empty()); // fading never ends a voice
}

TEST(Mixer, RepeatsPlayExtraPassesAndLoopsRunUntilStopped)
{
    const auto clip = ConstantClip(100);
    Mixer mixer;
    VoiceSettings twice;
    twice.repeats = 2; // three passes
    VoiceSettings loop;
    loop.repeats = -1;
    mixer.Submit(Start(1, *clip, twice));
    mixer.Submit(Start(2, *clip, loop));
    auto out = Render(mixer, 1000);
    EXPECT_NEAR(Left(out, 299), 2 * kLevel, 1e-6);
    EXPECT_NEAR(Left(out, 300), kLevel, 1e-6);
    auto ended = Ended(mixer);
    ASSERT_EQ(ended.size(), 1U);
    EXPECT_EQ(ended[0].voice, 1U);
    EXPECT_EQ(ended[0].endFrame, 300U);

    out = Render(mixer, 100000);
    EXPECT_NEAR(Left(out, 99999), kLevel, 1e-6);
    EXPECT_EQ(mixer.ActiveVoices(), 1U);

    mixer.Submit(Command(MixerCommand::Kind::Stop, 2)); // no fade-out: at once
    out = Render(mixer, 10);
    EXPECT_EQ(Left(out, 0), 0.0F);
    ended = Ended(mixer);
    ASSERT_EQ(ended.size(), 1U);
    EXPECT_EQ(ended[0].endFrame, 101000U);
}

TEST(Mixer, StopFadesOverTheVoiceFadeOutOrAGivenTime)
{
    const auto clip = ConstantClip(100);
    Mixer mixer;
    VoiceSettings settings;
    settings.repeats = -1;
    settings.fadeOutFrames = 200;
    mixer.Submit(Start(1, *clip, settings));
    mixer.Submit(Start(2, *clip, settings));
    Render(mixer, 50);

    mixer.Submit(Command(MixerCommand::Kind::Stop, 1));
    MixerCommand quick = Command(MixerCommand::Kind::Stop, 2);
    quick.ownFade = false;
    quick.frames = 50;
    mixer.Submit(quick);
    const auto out = Render(mixer, 300);
    EXPECT_NEAR(Left(out, 0), 2 * kLevel, 1e-6);
    EXPECT_NEAR(Left(out, 25), kLevel * (1.0F - 25.0F / 200.0F) + kLevel * 0.5F, 1e-5);
    EXPECT_NEAR(Left(out, 100), kLevel * 0.5F, 1e-5);
    EXPECT_EQ(Left(out, 200), 0.0F);

    auto ended = Ended(mixer);
    std::sort(ended.begin(), ended.end(),
              [](const VoiceEnded& a, const VoiceEnded& b) { return a.endFrame < b.endFrame; });
    ASSERT_EQ(ended.size(), 2U);
    EXPECT_EQ(ended[0].voice, 2U);
    EXPECT_EQ(ended[0].endFrame, 100U);
    EXPECT_EQ(ended[1].voice, 1U);
    EXPECT_EQ(ended[1].endFrame, 250U);
}

TEST(Mixer, StopAllFadesEveryVoiceAndPanicSilencesAtOnce)
{
    const auto clip = ConstantClip(100);
    VoiceSettings settings;
    settings.repeats = -1;
    settings.fadeOutFrames = 100;
    settings.volume = 0.25F;

    Mixer gentle;
    Mixer panic;
    for (std::uint64_t v = 1; v <= 3; ++v) {
        gentle.Submit(Start(v, *clip, settings));
        panic.Submit(Start(v, *clip, settings));
    }
    Render(gentle, 10);
    Render(panic, 10);
    gentle.Submit(Command(MixerCommand::Kind::StopAll));
    panic.Submit(Command(MixerCommand::Kind::Panic));

    const auto faded = Render(gentle, 200);
    EXPECT_NEAR(Left(faded, 50), 3 * 0.25F * kLevel * 0.5F, 1e-5);
    EXPECT_EQ(Left(faded, 100), 0.0F);
    EXPECT_EQ(Ended(gentle).size(), 3U);

    const auto cut = Render(panic, 10);
    EXPECT_EQ(Left(cut, 0), 0.0F);
    const auto ended = Ended(panic);
    ASSERT_EQ(ended.size(), 3U);
    EXPECT_EQ(ended[2].endFrame, 10U);
    EXPECT_EQ(panic.ActiveVoices(), 0U);
}

TEST(Mixer, VoicesSumAndOverloadClampsInsteadOfWrapping)
{
    const auto quiet = ConstantClip(100, 0.3F, -0.3F);
    const auto loud = ConstantClip(100, 0.8F, -0.8F);
    Mixer mixer;
    mixer.Submit(Start(1, *quiet));
    mixer.Submit(Start(2, *quiet));
    auto out = Render(mixer, 10);
    EXPECT_NEAR(Left(out, 0), 0.6F, 1e-6);
    EXPECT_NEAR(Right(out, 0), -0.6F, 1e-6);

    mixer.Submit(Start(3, *loud));
    out = Render(mixer, 10);
    EXPECT_EQ(Left(out, 0), 1.0F);
    EXPECT_EQ(Right(out, 0), -1.0F);
}

TEST(Mixer, BusyVoicesRefuseAndEmptyClipsEndAtOnce)
{
    const auto clip = ConstantClip(10);
    const AudioClip empty("empty", {});
    Mixer mixer;
    VoiceSettings loop;
    loop.repeats = -1;
    for (std::uint64_t v = 0; v < Mixer::kMaxVoices; ++v)
        mixer.Submit(Start(v, *clip, loop));
    Render(mixer, 1);
    mixer.Submit(Start(1000, *clip, loop));
    mixer.Submit(Start(1001, empty, loop));
    Render(mixer, 1);
    const auto ended = Ended(mixer);
    ASSERT_EQ(ended.size(), 2U);
    EXPECT_TRUE(ended[0].refused);
    EXPECT_EQ(ended[0].voice, 1000U);
    EXPECT_FALSE(ended[1].refused);
    EXPECT_EQ(mixer.ActiveVoices(), Mixer::kMaxVoices);
}

TEST(Mixer, OutputDoesNotDependOnBlockSize)
{
    const auto clip = ConstantClip(700);
    VoiceSettings settings;
    settings.fadeInFrames = 300;
    settings.fadeOutFrames = 400;
    settings.repeats = 1;
    settings.pan = 0.3F;

    Mixer whole;
    whole.Submit(Start(1, *clip, settings));
    const auto expected = Render(whole, 1500);

    Mixer inBlocks;
    inBlocks.Submit(Start(1, *clip, settings));
    std::vector<float> got;
    for (std::size_t block : {1U, 7U, 64U, 128U, 1300U}) {
        const auto out = Render(inBlocks, block);
        got.insert(got.end(), out.begin(), out.end());
    }
    EXPECT_EQ(got, expected);
    EXPECT_EQ(Ended(inBlocks).at(0).endFrame, Ended(whole).at(0).endFrame);
}
