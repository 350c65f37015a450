// Decoding through libsndfile into the mixer's format, and the refusals.

#include "sfx/audioclip.h"
#include "sfx/mixer.h"
#include "sfx/sndfiledecoder.h"

#include <cmath>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sndfile.h>
#include <stdexcept>
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

TEST_F(DecoderTest, MonoAndMultichannelFilesBecomeStereoAtTheMixerRate)
{
    // Mono FLAC at 48 kHz: both sides carry the one channel.
    const auto mono = SndfileDecoder::Decode(Write("mono.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16,
                                                   48000, 1, std::vector<float>(4800, 0.25F)));
    ASSERT_EQ(mono->Frames(), 4800U);
    EXPECT_NEAR(mono->Samples()[100], 0.25F, 1e-4);
    EXPECT_NEAR(mono->Samples()[101], 0.25F, 1e-4);

    // Four channels at 24 kHz: the first two are kept, the length doubles.
    std::vector<float> quad;
    for (int i = 0; i < 2400; ++i)
        quad.insert(quad.end(), {0.5F, -0.5F, 0.9F, 0.9F});
    const auto resampled =
        SndfileDecoder::Decode(Write("quad.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 24000, 4, quad));
    EXPECT_EQ(resampled->Frames(), 4800U);
    EXPECT_FLOAT_EQ(resampled->Samples()[2000], 0.5F);
    EXPECT_FLOAT_EQ(resampled->Samples()[2001], -0.5F);
}

TEST_F(DecoderTest, ResamplingKeepsPitchAndLength)
{
    // One second of 1 kHz at 44.1 kHz has 1000 rising zero crossings after
    // resampling too.
    std::vector<float> tone;
    for (int i = 0; i < 44100; ++i) {
        const auto v = static_cast<float>(
            0.5 * std::sin(2.0 * std::numbers::pi * 1000.0 * (i + 0.5) / 44100.0));
        tone.insert(tone.end(), {v, v});
    }
    const auto out = SndfileDecoder::Resample(tone, 44100, Mixer::kSampleRate);
    ASSERT_EQ(out.size() / 2, 48000U);
    int crossings = 0;
    for (std::size_t i = 1; i < out.size() / 2; ++i)
        crossings += out[(i - 1) * 2] < 0.0F && out[i * 2] >= 0.0F ? 1 : 0;
    EXPECT_NEAR(crossings, 1000, 1);
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
