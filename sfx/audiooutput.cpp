#include "sfx/audiooutput.h"

#include "sfx/devicestream.h"
#include "sfx/mixer.h"
#include "sfx/mixerrenderer.h"
#include "sfx/silentclock.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace tarv::audio {

AudioOutput::AudioOutput(Mixer& mixer, OutputDevice device)
    : m_mixer(mixer)
    , m_device(std::move(device))
    , m_feed(this)
{
    m_feed.setTimerType(Qt::PreciseTimer);
    m_feed.setInterval(kFeedMilliseconds);
    connect(&m_feed, &QTimer::timeout, this, &AudioOutput::Feed);
}

// Stop() closes the device on the audio thread; otherwise it closes here.
AudioOutput::~AudioOutput() = default;

void AudioOutput::Start()
{
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
    m_bytes.resize(static_cast<std::size_t>(MixerRenderer::kMaxFrames * format.bytesPerFrame()));
    m_stream = DeviceStream::Open(m_device, format, kBufferMilliseconds);
    if (!m_stream) {
        StartSilent(tr("The audio device \"%1\" could not be opened.").arg(m_device.description));
        return;
    }
    const double granted =
        static_cast<double>(format.durationForBytes(static_cast<qint32>(m_stream->BufferBytes()))) /
        1000.0;
    m_bufferMilliseconds = static_cast<qint64>(std::ceil(granted));
    m_sinceFed.start();
    Feed(); // the first buffer is taken whether or not the device runs
    m_tookSound = false;
    m_wakeTriesLeft = kMaxWakeTries;
    m_sinceTaken.start();
    m_feed.start();
    emit ready(granted, false, QString());
}

void AudioOutput::Stop()
{
    m_feed.stop();
    m_stream.reset();
    m_silent.reset();
    m_renderer.reset();
}

void AudioOutput::Feed()
{
    if (!m_stream)
        return;
    if (m_stream->Failed()) {
        // The device went away (server stopped, device unplugged): keep the
        // show running on the clock, for good now, also when it had stalled
        // first.
        m_feed.stop();
        m_stream.reset();
        m_silent.reset();
        StartSilent(tr("The audio device \"%1\" stopped working.").arg(m_device.description));
        return;
    }
    const qint64 heldUp = m_sinceFed.restart();
    if (heldUp >= kHoldUpMilliseconds) {
        // Not the device's fault: it is given its time again from now.
        m_sinceTaken.start();
        if (heldUp > kSkipAfterHoldUpMilliseconds)
            SkipAhead(heldUp - m_bufferMilliseconds);
    }
    const int bytesPerFrame = m_renderer->Format().bytesPerFrame();
    qsizetype frames = m_stream->BytesFree() / bytesPerFrame;
    if (frames == 0) {
        WakeDevice();
        CheckStall();
        return;
    }
    m_sinceTaken.start();
    m_tookSound = true;
    if (m_silent) {
        // Taking sound again: the clock hands the mixer back to the device.
        m_silent.reset();
        emit stallChanged(false, QString());
    }
    while (frames > 0) {
        const qsizetype chunk = std::min(frames, MixerRenderer::kMaxFrames);
        m_renderer->Render(m_bytes.data(), chunk);
        const qsizetype written = m_stream->Write(m_bytes.data(), chunk * bytesPerFrame);
        if (written < chunk * bytesPerFrame)
            break;
        frames -= chunk;
    }
}

void AudioOutput::WakeDevice()
{
#ifdef Q_OS_LINUX
    if (m_tookSound || m_sinceTaken.elapsed() < m_bufferMilliseconds + kWakeAfterMilliseconds)
        return;
    // Each resume asks the server for a rewind of up to the sink's (now
    // short) step.
    for (int i = 0; i < kWakeTries && m_wakeTriesLeft > 0 && m_stream->BytesFree() == 0; ++i) {
        --m_wakeTriesLeft;
        m_stream->PauseAndResume();
    }
#endif
}

void AudioOutput::CheckStall()
{
    const qint64 limit =
        m_bufferMilliseconds + (m_tookSound ? kStallMilliseconds : kOpenStallMilliseconds);
    if (m_silent || m_sinceTaken.elapsed() < limit)
        return;
    // Time went by since the device took its last sound, less what its
    // buffer held then: the clock makes it up, so voices end when they
    // would have.
    m_silent = std::make_unique<SilentClock>(m_mixer);
    m_silent->Start(m_sinceTaken.nsecsElapsed() - m_bufferMilliseconds * 1000000);
    emit stallChanged(
        true, tr("The audio device \"%1\" stopped taking sound.").arg(m_device.description));
}

void AudioOutput::SkipAhead(qint64 milliseconds)
{
    auto frames =
        std::min<std::uint64_t>(Mixer::MillisecondsToFrames(static_cast<double>(milliseconds)),
                                SilentClock::kMaxCatchUpFrames);
    while (frames > 0) {
        const auto chunk = static_cast<qsizetype>(
            std::min<std::uint64_t>(frames, static_cast<std::uint64_t>(MixerRenderer::kMaxFrames)));
        m_renderer->Render(m_bytes.data(), chunk);
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
