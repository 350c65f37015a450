#include "sfx/sndfiledecoder.h"

#include "sfx/audioclip.h"
#include "sfx/mixer.h"
#include "sfx/stereodownmix.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <sndfile.h>
#include <soxr.h>
#include <stdexcept>

namespace tarv::audio {

namespace {

struct SndfileCloser
{
    void operator()(SNDFILE* file) const noexcept { sf_close(file); }
};

// Clips are held in memory whole (about 23 MB a minute): a file longer than
// an hour is refused rather than exhausting memory.
constexpr sf_count_t kMaxSeconds = 60 * 60;

// The file's own channel layout, when it names one (WAV extensible, CAF).
std::vector<int> ChannelPositions(SNDFILE* file, int channels)
{
    std::vector<int> positions(static_cast<std::size_t>(channels));
    if (sf_command(file, SFC_GET_CHANNEL_MAP_INFO, positions.data(),
                   static_cast<int>(positions.size() * sizeof(int))) != SF_TRUE)
        return {};
    return positions;
}

} // namespace

std::shared_ptr<const AudioClip> SndfileDecoder::Decode(const std::string& path)
{
    SF_INFO info{};
    std::unique_ptr<SNDFILE, SndfileCloser> file(sf_open(path.c_str(), SFM_READ, &info));
    if (!file)
        throw std::runtime_error("Unable to open audio file \"" + path +
                                 "\": " + sf_strerror(nullptr));
    if (info.channels < 1 || info.samplerate < 1)
        throw std::runtime_error("Unsupported audio format in \"" + path + "\"");
    const sf_count_t maxFrames = kMaxSeconds * info.samplerate;
    if (info.frames > maxFrames)
        throw std::runtime_error("Audio file \"" + path + "\" is longer than an hour");

    // Some formats (MP3, Ogg) report no length up front: read in blocks.
    constexpr sf_count_t kBlockFrames = 8192;
    std::vector<float> block(static_cast<std::size_t>(kBlockFrames * info.channels));
    std::vector<float> stereo;
    if (info.frames > 0)
        stereo.reserve(static_cast<std::size_t>(info.frames) * 2);
    const StereoDownmix downmix(info.channels, ChannelPositions(file.get(), info.channels));
    sf_count_t total = 0;
    for (;;) {
        const sf_count_t got = sf_readf_float(file.get(), block.data(), kBlockFrames);
        if (got <= 0)
            break;
        total += got;
        if (total > maxFrames)
            throw std::runtime_error("Audio file \"" + path + "\" is longer than an hour");
        for (sf_count_t f = 0; f < got; ++f)
            downmix.Append(block.data() + f * info.channels, stereo);
    }
    if (sf_error(file.get()) != SF_ERR_NO_ERROR)
        throw std::runtime_error("Unable to decode audio file \"" + path +
                                 "\": " + sf_strerror(file.get()));
    if (stereo.empty())
        throw std::runtime_error("Audio file \"" + path + "\" holds no audio");

    if (info.samplerate != Mixer::kSampleRate)
        stereo = Resample(stereo, info.samplerate, Mixer::kSampleRate);
    return std::make_shared<const AudioClip>(path, std::move(stereo));
}

std::vector<float> SndfileDecoder::Resample(const std::vector<float>& stereo, int fromRate,
                                            int toRate)
{
    const std::size_t inFrames = stereo.size() / 2;
    if (inFrames == 0 || fromRate <= 0 || toRate <= 0)
        return {};
    const auto outFrames = static_cast<std::size_t>(
        (static_cast<std::uint64_t>(inFrames) * static_cast<std::uint64_t>(toRate) +
         static_cast<std::uint64_t>(fromRate) - 1) /
        static_cast<std::uint64_t>(fromRate));
    std::vector<float> out(outFrames * 2);
    // High quality (20 bits): everything above the new rate's limit is
    // filtered out rather than folded back into the audible range.
    const soxr_quality_spec_t quality = soxr_quality_spec(SOXR_HQ, 0);
    std::size_t done = 0;
    const soxr_error_t error =
        soxr_oneshot(fromRate, toRate, 2, stereo.data(), inFrames, nullptr, out.data(), outFrames,
                     &done, nullptr, &quality, nullptr);
    if (error != nullptr)
        throw std::runtime_error(std::string("Unable to convert the sample rate: ") + error);
    out.resize(done * 2);
    return out;
}

} // namespace tarv::audio
