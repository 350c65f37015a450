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
#include <utility>

namespace tarv::audio {

namespace {

std::int64_t SteadyNanoseconds()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

constexpr std::int64_t kNanosecondsPerMillisecond = 1000000;

// Polls an opening in progress on its own thread.
constexpr int kOpeningPollMilliseconds = 20;

} // namespace

AudioOutput::AudioOutput(Mixer& mixer, OutputDevice device, QString own)
    : m_mixer(mixer)
    , m_wanted(std::move(device))
    , m_own(std::move(own))
    , m_device(m_wanted)
    , m_watch(this)
    , m_reopen(this)
{
    m_watch.setTimerType(Qt::PreciseTimer);
    m_watch.setInterval(kWatchMilliseconds);
    connect(&m_watch, &QTimer::timeout, this, &AudioOutput::Watch);
    m_reopen.setInterval(kOpeningPollMilliseconds);
    connect(&m_reopen, &QTimer::timeout, this, &AudioOutput::TryReopen);
}

// Stop() closes the device on the audio thread; otherwise it closes here
// (after an opening in progress has ended).
AudioOutput::~AudioOutput() = default;

AudioOutput::Opened AudioOutput::OpenDevice(const OutputDevice& wanted, const QString& own,
                                            int listMilliseconds)
{
    Opened opened;
#ifdef Q_OS_LINUX
    // The opening thread runs in real time too (Linux ignores a priority
    // asked of Qt): the device's connection, started from it, then runs in
    // real time from its start, and the output opens promptly on a busy
    // machine.
    RealtimeThread::Request(gettid());
    // A named output that is missing plays on the default until it is back
    // (as the server last told, while it does not answer).
    const KnownOutputs known = CurrentOutputs(listMilliseconds);
    const std::optional<OutputDevice> named = own.isEmpty() ? std::nullopt : known.Find(own);
    opened.device = named ? *named : wanted.IsNull() ? known.Default() : wanted;
#else
    Q_UNUSED(listMilliseconds)
    opened.device = wanted;
#endif
    if (opened.device.IsNull()) {
#ifdef Q_OS_LINUX
        opened.serverLost = known.server == KnownOutputs::Server::NotAnswering ||
                            known.server == KnownOutputs::Server::Absent;
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
    opened.stream = DeviceStream::Open(opened.device, format, kBufferMilliseconds, own);
    if (!opened.stream) {
        const KnownOutputs::Server server = CurrentOutputs().server;
        opened.serverLost =
            server == KnownOutputs::Server::NotAnswering || server == KnownOutputs::Server::Absent;
        opened.problem =
            server == KnownOutputs::Server::NotAnswering
                ? tr("The sound server does not answer: the audio device \"%1\" could not be "
                     "opened.")
                      .arg(opened.device.description)
                : tr("The audio device \"%1\" could not be opened.").arg(opened.device.description);
    }
    return opened;
}

void AudioOutput::Start()
{
    QElapsedTimer waited;
    waited.start();
    BeginOpening(kListMilliseconds);
    // Plays wait in the mixer for a device that opens at once, as it does,
    // also when it is tried again at once.
    while (m_opening.wait_for(std::chrono::milliseconds(std::max<qint64>(
               0, kOpenWaitMilliseconds - waited.elapsed()))) == std::future_status::ready) {
        Opened opened = m_opening.get();
        if (!RetriedAtOnce(opened)) {
            Adopt(std::move(opened));
            return;
        }
    }
    // A server slow to answer: the clock keeps the show on time (from the
    // first play) until it does.
    m_starting = true;
    m_silent = std::make_unique<SilentClock>(m_mixer);
    m_silent->Start(waited.nsecsElapsed());
    m_reopen.start();
}

void AudioOutput::BeginOpening(int listMilliseconds)
{
    m_sinceTried.start();
    m_opening = std::async(std::launch::async, [wanted = m_wanted, own = m_own, listMilliseconds] {
        return OpenDevice(wanted, own, listMilliseconds);
    });
}

bool AudioOutput::RetriedAtOnce(const Opened& opened)
{
    // Once, and not for a server that is gone or hangs: that one is looked
    // for once a second.
    if (opened.stream || opened.serverLost || m_failed || std::exchange(m_retrying, false))
        return false;
    m_retrying = true;
    BeginOpening(0);
    return true;
}

void AudioOutput::Adopt(Opened opened)
{
    m_retrying = false;
    if (!opened.stream) {
        m_device = opened.device;
        m_failed = true;
        StartSilent(opened.problem, opened.serverLost);
        m_reopen.start();
        return;
    }
    m_watch.stop();
    m_silent.reset();
    if (m_stalled) {
        m_stalled = false;
        emit stallChanged(false, QString());
    }
    // The device played on until now closes first: its source renders with
    // the renderer replaced here.
    m_stream = std::move(opened.stream);
    m_device = opened.device;
    m_renderer = std::make_unique<MixerRenderer>(m_mixer, opened.format);
    const double granted = static_cast<double>(opened.format.durationForBytes(
                               static_cast<qint32>(m_stream->BufferBytes()))) /
                           1000.0;
    m_bufferMilliseconds = static_cast<qint64>(std::ceil(granted));
    m_placement = DeviceStream::Placement::Unknown;
    m_firstBytesLeft = m_stream->BufferBytes();
    m_filledAt = 0;
    m_deviceRenders = true;
    m_taken.store(0, std::memory_order_relaxed);
    m_excusedAt = SteadyNanoseconds();
    m_sinceWatched.start();
    m_stream->Feed([this](char* out, qsizetype bytes) { Fill(out, bytes); });
    m_watch.start();
    emit ready(granted, false, QString(), false);
    if (std::exchange(m_failed, false))
        emit recovered(tr("The audio device \"%1\" plays sound again.").arg(m_device.description));
}

void AudioOutput::TryReopen()
{
    if (m_opening.valid()) {
        if (m_opening.wait_for(std::chrono::seconds(0)) != std::future_status::ready)
            return;
        Opened opened = m_opening.get();
        if (RetriedAtOnce(opened))
            return;
        if (!opened.stream && !std::exchange(m_starting, false))
            return;
        m_starting = false;
        if (opened.stream)
            m_reopen.stop();
        Adopt(std::move(opened));
        return;
    }
    if (m_stream) {
        m_reopen.stop();
        return;
    }
    if (m_sinceTried.isValid() && m_sinceTried.elapsed() < kReopenMilliseconds)
        return;
    BeginOpening(0);
}

void AudioOutput::Stop()
{
    m_watch.stop();
    m_reopen.stop();
    if (m_opening.valid())
        m_opening.get(); // closed here, on the audio thread
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
        // show running on the clock, also when it had stalled first, and
        // open the device again once it is back.
        const bool serverLost = m_stream->ServerLost();
        m_watch.stop();
        m_stream.reset();
        m_silent.reset();
        if (std::exchange(m_stalled, false))
            emit stallChanged(false, QString());
        m_failed = true;
        StartSilent(tr("The audio device \"%1\" stopped working.").arg(m_device.description),
                    serverLost);
        m_sinceTried.start();
        m_reopen.start();
        return;
    }
    if (const DeviceStream::Placement placement = m_stream->Placed(); placement != m_placement) {
        m_placement = placement;
        if (placement != DeviceStream::Placement::Unknown)
            emit placed(placement == DeviceStream::Placement::Own);
    }
    const std::int64_t now = SteadyNanoseconds();
#ifdef Q_OS_LINUX
    m_realtime.Tend(static_cast<pid_t>(m_stream->FeedThread()), now);
#endif
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
        m_stalled = false;
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
    m_stalled = true;
    emit stallChanged(
        true, tr("The audio device \"%1\" stopped taking sound.").arg(m_device.description));
}

void AudioOutput::SkipAhead(qint64 milliseconds) noexcept
{
    // Moved on, not rendered: however many voices play, the real-time
    // thread is not kept busy for long.
    if (milliseconds > 0)
        m_mixer.Skip(static_cast<std::uint64_t>(milliseconds) * Mixer::kSampleRate / 1000);
}

void AudioOutput::StartSilent(const QString& problem, bool serverLost)
{
    m_silent = std::make_unique<SilentClock>(m_mixer);
    m_silent->Start();
    emit ready(0.0, true, problem, serverLost);
}

} // namespace tarv::audio
