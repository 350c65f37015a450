#include "sfx/audiooutput.h"

#include "sfx/devicestream.h"
#include "sfx/mixer.h"
#include "sfx/mixerrenderer.h"
#include "sfx/silentclock.h"

#ifdef Q_OS_LINUX
#include "sfx/realtimethread.h"

#include <unistd.h>
#endif

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <vector>

namespace tarv::audio {

namespace {

std::int64_t SteadyNanoseconds()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

constexpr std::int64_t kNanosecondsPerMillisecond = 1000000;

} // namespace

AudioOutput::AudioOutput(Mixer& mixer, OutputDevice device)
    : m_mixer(mixer)
    , m_device(std::move(device))
    , m_watch(this)
{
    m_watch.setTimerType(Qt::PreciseTimer);
    m_watch.setInterval(kWatchMilliseconds);
    connect(&m_watch, &QTimer::timeout, this, &AudioOutput::Watch);
}

// Stop() closes the device on the audio thread; otherwise it closes here.
AudioOutput::~AudioOutput() = default;

void AudioOutput::Start()
{
#ifdef Q_OS_LINUX
    // This thread too (Linux ignores a priority asked of Qt): the device's
    // connection, started from here, then runs in real time from its start,
    // and the output opens promptly on a busy machine.
    RealtimeThread::Request(gettid());
#endif
    if (m_device.IsNull()) {
        StartSilent(tr("No audio output device is available."));
        return;
    }
    QAudioFormat format;
    format.setSampleRate(Mixer::kSampleRate);
    format.setChannelCount(Mixer::kChannels);
    format.setSampleFormat(QAudioFormat::Float);
#ifndef Q_OS_LINUX // the PulseAudio server converts what it is given
    if (!m_device.device.isFormatSupported(format))
        format.setSampleFormat(QAudioFormat::Int16);
    if (!m_device.device.isFormatSupported(format)) {
        StartSilent(
            tr("The audio device \"%1\" does not take 48 kHz stereo.").arg(m_device.description));
        return;
    }
#endif

    m_renderer = std::make_unique<MixerRenderer>(m_mixer, format);
    m_discarded.resize(
        static_cast<std::size_t>(MixerRenderer::kMaxFrames * format.bytesPerFrame()));
    m_stream = DeviceStream::Open(m_device, format, kBufferMilliseconds);
    if (!m_stream) {
        StartSilent(tr("The audio device \"%1\" could not be opened.").arg(m_device.description));
        return;
    }
    const double granted =
        static_cast<double>(format.durationForBytes(static_cast<qint32>(m_stream->BufferBytes()))) /
        1000.0;
    m_bufferMilliseconds = static_cast<qint64>(std::ceil(granted));
    m_firstBytesLeft = m_stream->BufferBytes();
    m_excusedAt = SteadyNanoseconds();
    m_sinceWatched.start();
    m_stream->Feed([this](char* out, qsizetype bytes) { Fill(out, bytes); });
    m_watch.start();
    emit ready(granted, false, QString());
}

void AudioOutput::Stop()
{
    m_watch.stop();
    m_stream.reset();
    m_silent.reset();
    m_renderer.reset();
}

void AudioOutput::Fill(char* out, qsizetype bytes) noexcept
{
    const std::int64_t now = SteadyNanoseconds();
    const std::int64_t sinceFilled = m_filledAt == 0 ? 0 : now - m_filledAt;
    m_filledAt = now;
    if (m_firstBytesLeft >= bytes)
        m_firstBytesLeft -= bytes;
    else {
        m_firstBytesLeft = 0;
        m_taken.store(now, std::memory_order_release);
    }
    if (!m_deviceRenders) {
        std::memset(out, 0, static_cast<std::size_t>(bytes));
        return;
    }
    // A device that still has the mixer after so long was not stalled (the
    // watch would have taken the mixer from it): the whole program was held
    // up, and the missed time is skipped before anything is played late.
    if (sinceFilled > kSkipAfterHoldUpMilliseconds * kNanosecondsPerMillisecond)
        SkipAhead(sinceFilled / kNanosecondsPerMillisecond - m_bufferMilliseconds);
    const int bytesPerFrame = m_renderer->Format().bytesPerFrame();
    for (qsizetype frames = bytes / bytesPerFrame; frames > 0;) {
        const qsizetype chunk = std::min(frames, MixerRenderer::kMaxFrames);
        m_renderer->Render(out, chunk);
        out += chunk * bytesPerFrame;
        frames -= chunk;
    }
}

void AudioOutput::Watch()
{
    if (!m_stream)
        return;
    if (m_stream->Failed()) {
        // The device went away (server stopped, device unplugged): keep the
        // show running on the clock, for good now, also when it had stalled
        // first.
        m_watch.stop();
        m_stream.reset();
        m_silent.reset();
        StartSilent(tr("The audio device \"%1\" stopped working.").arg(m_device.description));
        return;
    }
    const std::int64_t now = SteadyNanoseconds();
    const qint64 heldUp = m_sinceWatched.restart();
    // Not the device's fault: it is given its time again from now (and
    // the source skips ahead after a long hold-up).
    if (heldUp >= kHoldUpMilliseconds)
        m_excusedAt = now;
    const std::int64_t taken = m_taken.load(std::memory_order_acquire);
    if (m_silent) {
        if (taken <= m_stalledAt)
            return;
        // Taking sound again: the clock hands the mixer back to the device.
        m_silent.reset();
        m_stream->Exclusive([this] { m_deviceRenders = true; });
        emit stallChanged(false, QString());
        return;
    }
    const std::int64_t limit =
        (m_bufferMilliseconds + (taken != 0 ? kStallMilliseconds : kOpenStallMilliseconds)) *
        kNanosecondsPerMillisecond;
    const std::int64_t since = now - std::max(taken, m_excusedAt);
    if (since < limit)
        return;
    // Time went by since the device took its last sound, less what its
    // buffer held then: the clock makes it up, so voices end when they
    // would have.
    m_stream->Exclusive([this] { m_deviceRenders = false; });
    m_stalledAt = now;
    m_silent = std::make_unique<SilentClock>(m_mixer);
    m_silent->Start(since - m_bufferMilliseconds * kNanosecondsPerMillisecond);
    emit stallChanged(
        true, tr("The audio device \"%1\" stopped taking sound.").arg(m_device.description));
}

void AudioOutput::SkipAhead(qint64 milliseconds) noexcept
{
    auto frames =
        std::min<std::uint64_t>(Mixer::MillisecondsToFrames(static_cast<double>(milliseconds)),
                                SilentClock::kMaxCatchUpFrames);
    while (frames > 0) {
        const auto chunk = static_cast<qsizetype>(
            std::min<std::uint64_t>(frames, static_cast<std::uint64_t>(MixerRenderer::kMaxFrames)));
        m_renderer->Render(m_discarded.data(), chunk);
        frames -= static_cast<std::uint64_t>(chunk);
    }
}

void AudioOutput::StartSilent(const QString& problem)
{
    m_silent = std::make_unique<SilentClock>(m_mixer);
    m_silent->Start();
    emit ready(0.0, true, problem);
}

} // namespace tarv::audio
