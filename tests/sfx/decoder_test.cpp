// Decoding through libsndfile into the mixer's format, and the refusals.

#include "sfx/audioclip.h"
#include "sfx/mixer.h"
#include "sfx/sndfiledecoder.h"

#include <cmath>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <limits>
#include <numbers>
#include <sndfile.h>
#include <stdexcept>
#include <tuple>
#include <unistd.h>
#include <vector>

using tarv::audio::Mixer;
using tarv::audio::SndfileDecoder;

namespace {

class DecoderTest : public testing::Test
{
protected:
    void SetUp() override { std::filesystem::create_directories(m_folder); }
    void TearDown() override { std::filesystem::remove_all(m_folder); }

    std::string Write(const std::string& name, int format, int rate, int channels,
                      const std::vector<float>& samples)
    {
        const std::string path = (m_folder / name).string();
        SF_INFO info{};
        info.samplerate = rate;
        info.channels = channels;
        info.format = format;
        SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
        EXPECT_NE(file, nullptr) << sf_strerror(nullptr);
        sf_writef_float(file, samples.data(), static_cast<sf_count_t>(samples.size()) / channels);
        sf_close(file);
        return path;
    }

    const std::filesystem::path m_folder =
        std::filesystem::path(testing::TempDir()) /
        ("tarv-decoder-" + std::to_string(getpid()) + "-" +
         testing::UnitTest::GetInstance()->current_test_info()->name());
};

} // namespace

TEST_F(DecoderTest, MonoCopiesToBothSidesAndMoreChannelsDownmixToStereo)
{
    // Mono FLAC at 48 kHz: both sides carry the one channel.
    const auto mono = SndfileDecoder::Decode(Write("mono.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16,
                                                   48000, 1, std::vector<float>(4800, 0.25F)));
    ASSERT_EQ(mono->Frames(), 4800U);
    EXPECT_NEAR(mono->Samples()[100], 0.25F, 1e-4);
    EXPECT_NEAR(mono->Samples()[101], 0.25F, 1e-4);

    // One channel sounding in a multichannel file, in the files' standard
    // order: centre and surrounds at -3 dB, the LFE left out.
    constexpr float kHalf = 0.5F;
    const float kQuieter = kHalf * std::numbers::sqrt2_v<float> / 2.0F;
    // Channels, the one sounding, left, right.
    for (const auto& [channels, sounding, left, right] :
         std::vector<std::tuple<int, int, float, float>>{{6, 0, kHalf, 0.0F},
                                                         {6, 1, 0.0F, kHalf},
                                                         {6, 2, kQuieter, kQuieter},
                                                         {6, 3, 0.0F, 0.0F},
                                                         {6, 4, kQuieter, 0.0F},
                                                         {6, 5, 0.0F, kQuieter},
                                                         {3, 2, kQuieter, kQuieter},
                                                         {4, 3, 0.0F, kQuieter},
                                                         {8, 6, kQuieter, 0.0F}}) {
        std::vector<float> frames(static_cast<std::size_t>(480 * channels));
        for (std::size_t i = static_cast<std::size_t>(sounding); i < frames.size();
             i += static_cast<std::size_t>(channels))
            frames[i] = kHalf;
        const auto clip = SndfileDecoder::Decode(
            Write("multi.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 48000, channels, frames));
        ASSERT_EQ(clip->Frames(), 480U);
        EXPECT_NEAR(clip->Samples()[200], left, 1e-6) << channels << " channels, " << sounding;
        EXPECT_NEAR(clip->Samples()[201], right, 1e-6) << channels << " channels, " << sounding;
    }
}

TEST_F(DecoderTest, NonFiniteSamplesBecomeSilenceAndLoudOnesAreClamped)
{
    const float kNan = std::numeric_limits<float>::quiet_NaN();
    const float kInf = std::numeric_limits<float>::infinity();
    const auto clip =
        SndfileDecoder::Decode(Write("broken.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 48000, 2,
                                     {kNan, kInf, -kInf, 2.0F, -3.0F, 0.25F}));
    ASSERT_EQ(clip->Frames(), 3U);
    EXPECT_EQ(std::vector<float>(clip->Samples(), clip->Samples() + 6),
              (std::vector<float>{0.0F, 0.0F, 0.0F, 1.0F, -1.0F, 0.25F}));
}

TEST_F(DecoderTest, ResamplingKeepsPitchAndLengthAndLeavesNoAliases)
{
    // One second of a tone; in the middle of the result, the rising zero
    // crossings of what is left and its level. Tones above the mixer's
    // 24 kHz limit must vanish rather than fold back as audible whistles.
    // Rate, tone, crossings, level.
    for (const auto& [rate, hz, crossings, level] :
         std::vector<std::tuple<int, double, int, double>>{{44100, 1000.0, 500, 0.3536},
                                                           {96000, 1000.0, 500, 0.3536},
                                                           {192000, 56000.0, -1, 0.0},
                                                           {192000, 30000.0, -1, 0.0}}) {
        std::vector<float> tone;
        for (int i = 0; i < rate; ++i) {
            const auto v =
                static_cast<float>(0.5 * std::sin(2.0 * std::numbers::pi * hz * (i + 0.5) / rate));
            tone.insert(tone.end(), {v, v});
        }
        const auto out = SndfileDecoder::Resample(tone, rate, Mixer::kSampleRate);
        ASSERT_NEAR(static_cast<double>(out.size() / 2), 48000.0, 2.0) << rate;
        int rising = 0;
        double power = 0.0;
        for (std::size_t i = 12000; i < 36000; ++i) {
            rising += out[(i - 1) * 2] < 0.0F && out[i * 2] >= 0.0F ? 1 : 0;
            power += static_cast<double>(out[i * 2]) * out[i * 2];
        }
        const double rms = std::sqrt(power / 24000.0);
        const auto what = std::to_string(rate) + " Hz file, " + std::to_string(hz) + " Hz tone";
        if (crossings >= 0) {
            EXPECT_NEAR(rising, crossings, 1) << what;
            EXPECT_NEAR(rms, level, 0.01) << what;
        } else {
            EXPECT_LT(rms, 0.001) << what; // -60 dBFS
        }
    }
}

TEST_F(DecoderTest, UnreadableFilesThrowWithTheirPath)
{
    const std::string missing = (m_folder / "missing.wav").string();
    const std::string garbage = (m_folder / "garbage.wav").string();
    std::ofstream(garbage) << "RIFF this is not audio at all";
    const std::string empty = Write("empty.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 48000, 2, {});
    for (const std::string& path : {missing, garbage, empty}) {
        try {
            SndfileDecoder::Decode(path);
            ADD_FAILURE() << path << " decoded";
        } catch (const std::runtime_error& error) {
            EXPECT_NE(std::string(error.what()).find(path), std::string::npos) << error.what();
        }
    }
}
