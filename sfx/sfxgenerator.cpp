// Writes the built-in sound effects and their catalogue into a folder. Run by
// the build so a fresh install has a catalogue of its own; every effect is
// synthesised here, so no third-party audio ships with the program.
//
// Usage: tarv_sfx_generate <output folder>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <numbers>
#include <random>
#include <sndfile.h>
#include <string>
#include <vector>

namespace {

constexpr int kRate = 48000;
constexpr double kTwoPi = 2.0 * std::numbers::pi;

struct Effect
{
    std::string id;
    std::string name;
    std::string type; // "sound" or "ambient"
    std::string file;
    std::vector<float> stereo; // interleaved
};

std::vector<float> Render(double seconds,
                          const std::function<void(double t, float& l, float& r)>& sample)
{
    const auto frames = static_cast<std::size_t>(std::lround(seconds * kRate));
    std::vector<float> out(frames * 2);
    for (std::size_t i = 0; i < frames; ++i)
        sample(static_cast<double>(i) / kRate, out[i * 2], out[i * 2 + 1]);
    return out;
}

// A steady sine at -6 dBFS (amplitude 0.5) with 5 ms ramps so it starts and
// ends without a click; the level tests rely on its amplitude.
std::vector<float> Tone(double hz, double seconds)
{
    return Render(seconds, [=](double t, float& l, float& r) {
        const double edge = std::min({1.0, t / 0.005, (seconds - t) / 0.005});
        l = r = static_cast<float>(0.5 * edge * std::sin(kTwoPi * hz * t));
    });
}

// Struck-bell partials with exponential decay.
std::vector<float> Bell(double fundamental, double seconds)
{
    static constexpr double kRatios[] = {1.0, 2.0, 2.76, 5.4, 8.93};
    static constexpr double kLevels[] = {0.35, 0.2, 0.15, 0.08, 0.04};
    return Render(seconds, [=](double t, float& l, float& r) {
        double v = 0.0;
        for (std::size_t p = 0; p < std::size(kRatios); ++p)
            v += kLevels[p] * std::exp(-t * (1.5 + p)) *
                 std::sin(kTwoPi * fundamental * kRatios[p] * t);
        const double attack = std::min(1.0, t / 0.002);
        l = r = static_cast<float>(v * attack);
    });
}

// Three bell notes, one after another, spread across the stereo field.
std::vector<float> Triad(double root, double seconds)
{
    static constexpr double kSteps[] = {1.0, 1.259921, 1.498307};
    return Render(seconds, [=](double t, float& l, float& r) {
        double left = 0.0;
        double right = 0.0;
        for (std::size_t n = 0; n < 3; ++n) {
            const double start = 0.35 * static_cast<double>(n);
            if (t < start)
                continue;
            const double u = t - start;
            const double v = 0.25 * std::exp(-u * 2.0) * std::sin(kTwoPi * root * kSteps[n] * u) *
                             std::min(1.0, u / 0.002);
            const double pan = 0.25 + 0.25 * static_cast<double>(n);
            left += v * (1.0 - pan) * 1.4;
            right += v * pan * 1.4;
        }
        l = static_cast<float>(left);
        r = static_cast<float>(right);
    });
}

// A noise bed whose ends are cross-faded into each other, so it loops without
// a seam. `colour` 0 is white, values towards 1 darken it (one-pole low-pass).
std::vector<float> NoiseBed(double seconds, double colour, double level, unsigned seed,
                            double swellHz)
{
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> uniform(-1.0, 1.0);
    const auto frames = static_cast<std::size_t>(seconds * kRate);
    const std::size_t overlap = kRate; // one second
    std::vector<double> l(frames + overlap);
    std::vector<double> r(frames + overlap);
    double sl = 0.0;
    double sr = 0.0;
    for (std::size_t i = 0; i < l.size(); ++i) {
        sl = colour * sl + (1.0 - colour) * uniform(random);
        sr = colour * sr + (1.0 - colour) * uniform(random);
        const double swell =
            1.0 + 0.3 * std::sin(kTwoPi * swellHz * static_cast<double>(i) / kRate);
        l[i] = sl * swell;
        r[i] = sr * swell;
    }
    double peak = 1e-9;
    for (std::size_t i = 0; i < l.size(); ++i)
        peak = std::max({peak, std::abs(l[i]), std::abs(r[i])});
    std::vector<float> out(frames * 2);
    for (std::size_t i = 0; i < frames; ++i) {
        double a = l[i];
        double b = r[i];
        if (i < overlap) { // blend the tail beyond the end into the start
            const double w = static_cast<double>(i) / overlap;
            a = a * w + l[frames + i] * (1.0 - w);
            b = b * w + r[frames + i] * (1.0 - w);
        }
        out[i * 2] = static_cast<float>(level * a / peak);
        out[i * 2 + 1] = static_cast<float>(level * b / peak);
    }
    return out;
}

// Mains hum: 50 Hz with a few odd harmonics.
std::vector<float> Hum(double seconds)
{
    return Render(seconds, [](double t, float& l, float& r) {
        const double v = 0.2 * std::sin(kTwoPi * 50 * t) + 0.08 * std::sin(kTwoPi * 150 * t) +
                         0.04 * std::sin(kTwoPi * 250 * t);
        l = r = static_cast<float>(v);
    });
}

bool WriteWav(const std::filesystem::path& path, const std::vector<float>& stereo)
{
    SF_INFO info{};
    info.samplerate = kRate;
    info.channels = 2;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(path.string().c_str(), SFM_WRITE, &info);
    if (file == nullptr)
        return false;
    const auto frames = static_cast<sf_count_t>(stereo.size() / 2);
    const bool ok = sf_writef_float(file, stereo.data(), frames) == frames;
    return sf_close(file) == 0 && ok;
}

bool WriteCatalogue(const std::filesystem::path& path, const std::vector<Effect>& effects)
{
    std::ofstream out(path, std::ios::trunc);
    out << "{\n  \"effects\": [\n";
    for (std::size_t i = 0; i < effects.size(); ++i) {
        const Effect& e = effects[i];
        out << "    {\"id\": \"" << e.id << "\", \"name\": \"" << e.name << "\", \"type\": \""
            << e.type << "\", \"file\": \"" << e.file << "\"}"
            << (i + 1 < effects.size() ? ",\n" : "\n");
    }
    out << "  ]\n}\n";
    return static_cast<bool>(out.flush());
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
        return 2;
    }
    const std::filesystem::path folder(argv[1]);
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) {
        std::fprintf(stderr, "cannot create %s: %s\n", folder.string().c_str(),
                     error.message().c_str());
        return 1;
    }

    const std::vector<Effect> effects = {
        {"tone.1k", "Test Tone 1 kHz", "sound", "tone-1k.wav", Tone(1000.0, 2.0)},
        {"tone.a440", "Tone A 440 Hz", "sound", "tone-a440.wav", Tone(440.0, 1.0)},
        {"beep.short", "Short Beep", "sound", "beep-short.wav", Tone(880.0, 0.25)},
        {"chime.bell", "Bell Chime", "sound", "chime-bell.wav", Bell(660.0, 3.0)},
        {"chime.triad", "Triad Chime", "sound", "chime-triad.wav", Triad(523.25, 2.5)},
        {"ambient.pink", "Soft Noise Bed", "ambient", "ambient-pink.wav",
         NoiseBed(10.0, 0.9, 0.25, 7U, 0.1)},
        {"ambient.wind", "Wind Bed", "ambient", "ambient-wind.wav",
         NoiseBed(12.0, 0.985, 0.3, 11U, 0.25)},
        {"ambient.hum", "Mains Hum", "ambient", "ambient-hum.wav", Hum(4.0)},
    };
    for (const Effect& effect : effects) {
        if (!WriteWav(folder / effect.file, effect.stereo)) {
            std::fprintf(stderr, "cannot write %s\n", (folder / effect.file).string().c_str());
            return 1;
        }
    }
    // The catalogue goes last and through a temporary name, so an interrupted
    // run never leaves a catalogue that names missing files.
    const auto catalogue = folder / "catalogue.json";
    const auto temporary = folder / "catalogue.json.tmp";
    if (!WriteCatalogue(temporary, effects)) {
        std::fprintf(stderr, "cannot write %s\n", temporary.string().c_str());
        return 1;
    }
    std::filesystem::rename(temporary, catalogue, error);
    if (error) {
        std::fprintf(stderr, "cannot write %s: %s\n", catalogue.string().c_str(),
                     error.message().c_str());
        return 1;
    }
    return 0;
}
