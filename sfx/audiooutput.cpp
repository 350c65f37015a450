#include "sfx/audiooutput.h"

#include "sfx/devicestream.h"
#include "sfx/mixer.h"
#include "sfx/mixerrenderer.h"
#include "sfx/silentclock.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <utility>

namespace tarv::audio {

namespace {

// Polls an opening in progress on its own thread.
constexpr int kOpeningPollMilliseconds = 20;

} // namespace

AudioOutput::AudioOutput(Mixer& mixer, OutputDevice device)
    : m_mixer(mixer)
    , m_wanted(std::move(device))
    , m_device(m_wanted)
    , m_feed(this)
    , m_reopen(this)
{
    m_feed.setTimerType(Qt::PreciseTimer);
    m_feed.setInterval(kFeedMilliseconds);
    connect(&m_feed, &QTimer::timeout, this, &AudioOutput::Feed);
    m_reopen.setInterval(kOpeningPollMilliseconds);
    connect(&m_reopen, &QTimer::timeout, this, &AudioOutput::TryReopen);
}

// Stop() closes the device on the audio thread; otherwise it closes here
// (after an opening in progress has ended).
AudioOutput::~AudioOutput() = default;

AudioOutput::Opened AudioOutput::OpenDevice(const OutputDevice& wanted, int listMilliseconds)
{
    Opened opened;
#ifdef Q_OS_LINUX
    // A named output that is gone plays on the default until it is back.
    const KnownOutputs known = CurrentOutputs(listMilliseconds);
    opened.device = wanted.IsNull() || (known.server == KnownOutputs::Server::Answering &&
                                        !known.Has(wanted.id))
                        ? known.Default()
                        : wanted;
#else
    Q_UNUSED(listMilliseconds)
    opened.device = wanted;
#endif
    if (opened.device.IsNull()) {
#ifdef Q_OS_LINUX
        if (known.server == KnownOutputs::Server::NotAnswering) {
            opened.problem = tr("The sound server does not answer.");
            return opened;
        }
#endif
        opened.problem = tr("No audio output device is available.");
        return opened;
    }
    QAudioFormat& format = opened.format;
    format.setSampleRate(Mixer::kSampleRate);
    format.setChannelCount(Mixer::kChannels);
    format.setSampleFormat(QAudioFormat::Float);
#ifndef Q_OS_LINUX // the PulseAudio server converts what it is given
    if (!opened.device.device.isFormatSupported(format))
        format.setSampleFormat(QAudioFormat::Int16);
    if (!opened.device.device.isFormatSupported(format)) {
        opened.problem = tr("The audio device \"%1\" does not take 48 kHz stereo.")
                             .arg(opened.device.description);
        return opened;
    }
#endif
    opened.stream = DeviceStream::Open(opened.device, format, kBufferMilliseconds);
    if (!opened.stream) {
        opened.problem =
            CurrentOutputs().server == KnownOutputs::Server::NotAnswering
                ? tr("The sound server does not answer: the audio device \"%1\" could not be "
                     "opened.")
                      .arg(opened.device.description)
                : tr("The audio device \"%1\" could not be opened.").arg(opened.device.description);
    }
    return opened;
}

void AudioOutput::Start()
{
    m_sinceTried.start();
    m_opening = std::async(std::launch::async,
                           [wanted = m_wanted] { return OpenDevice(wanted, kListMilliseconds); });
    // Plays wait in the mixer for a device that opens at once, as it does.
    if (m_opening.wait_for(std::chrono::milliseconds(kOpenWaitMilliseconds)) ==
        std::future_status::ready) {
        Adopt(m_opening.get());
        return;
    }
    // A server slow to answer: the clock keeps the show on time (from the
    // first play) until it does.
    m_starting = true;
    m_silent = std::make_unique<SilentClock>(m_mixer);
    m_silent->Start(m_sinceTried.nsecsElapsed());
    m_reopen.start();
}

void AudioOutput::Adopt(Opened opened)
{
    if (!opened.stream) {
        m_device = opened.device;
        m_failed = true;
        StartSilent(opened.problem);
        m_reopen.start();
        return;
    }
    m_feed.stop();
    m_silent.reset();
    if (m_stalled) {
        m_stalled = false;
        emit stallChanged(false, QString());
    }
    m_stream = std::move(opened.stream);
    m_device = opened.device;
    m_renderer = std::make_unique<MixerRenderer>(m_mixer, opened.format);
    m_bytes.resize(
        static_cast<std::size_t>(MixerRenderer::kMaxFrames * opened.format.bytesPerFrame()));
    const double granted = static_cast<double>(opened.format.durationForBytes(
                               static_cast<qint32>(m_stream->BufferBytes()))) /
                           1000.0;
    m_bufferMilliseconds = static_cast<qint64>(std::ceil(granted));
    m_sinceFed.start();
    Feed(); // the first buffer is taken whether or not the device runs
    m_tookSound = false;
    m_wakeTriesLeft = kMaxWakeTries;
    m_sinceTaken.start();
    m_feed.start();
    emit ready(granted, false, QString());
    if (std::exchange(m_failed, false))
        emit recovered(tr("The audio device \"%1\" plays sound again.").arg(m_device.description));
}

void AudioOutput::Reopen()
{
    m_reopenAsked = true;
    m_sinceTried.invalidate();
    m_reopen.start();
}

void AudioOutput::TryReopen()
{
    if (m_opening.valid()) {
        if (m_opening.wait_for(std::chrono::seconds(0)) != std::future_status::ready)
            return;
        Opened opened = m_opening.get();
        if (!opened.stream && !std::exchange(m_starting, false))
            return;
        m_starting = false;
        m_reopenAsked = false;
        if (opened.stream)
            m_reopen.stop();
        Adopt(std::move(opened));
        return;
    }
    if (m_stream && !m_reopenAsked) {
        m_reopen.stop();
        return;
    }
    if (m_sinceTried.isValid() && m_sinceTried.elapsed() < kReopenMilliseconds)
        return;
    m_sinceTried.start();
    m_opening =
        std::async(std::launch::async, [wanted = m_wanted] { return OpenDevice(wanted, 0); });
}

void AudioOutput::Stop()
{
    m_feed.stop();
    m_reopen.stop();
    if (m_opening.valid())
        m_opening.get(); // closed here, on the audio thread
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
        // show running on the clock, also when it had stalled first, and
        // open the device again once it is back.
        m_feed.stop();
        m_stream.reset();
        m_silent.reset();
        if (std::exchange(m_stalled, false))
            emit stallChanged(false, QString());
        m_failed = true;
        StartSilent(tr("The audio device \"%1\" stopped working.").arg(m_device.description));
        m_sinceTried.start();
        m_reopen.start();
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
        m_stalled = false;
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
    m_stalled = true;
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
