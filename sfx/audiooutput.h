#pragma once

#include "sfx/devicestream.h"
#include "sfx/outputdevices.h"
#include "sfx/realtimekeeper.h"

#include <atomic>
#include <cstdint>
#include <future>
#include <memory>
#include <QAudioFormat>
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

namespace tarv::audio {

class Mixer;
class MixerRenderer;
class SilentClock;

// Lives on the audio thread and plays one mixer on one device.
//
// The device asks for its sound itself (see DeviceStream) and the mixer is
// rendered as it asks, so a busy GUI thread never starves it, and a small
// device buffer bounds the time from a play to its sound. A timer on the
// audio thread only watches. When the device cannot be opened, or fails
// later, a SilentClock drives the mixer instead. A device that takes no
// sound for longer than its granted buffer plus kStallMilliseconds without
// reporting an error (a sound server that hangs) counts as stalled: the
// SilentClock keeps the voices, notices and panics on time meanwhile, the
// device is given silence, and it gets the mixer back as soon as it takes
// sound again. A device with a large buffer takes sound in large steps, so
// only the buffer it was granted tells a pause from a stall.
//
// The mixer is rendered by one of the two at a time: the device's source or
// the SilentClock (and a skip ahead), handed over while the source does not
// run.
//
// A device that could not be opened, or failed, is opened again once a
// second until it opens (the sound server restarted, or started after the
// program): on a thread of its own, so that neither the silent clock nor the
// device waits for a server that is slow to answer. An opening that failed
// while the server answers (one of many made at once on a busy machine) is
// tried again at once, before anything is told.
//
// An output named by the show is looked up at each opening; while it is
// missing the stream opens on the default output, and it moves to its own
// output by itself as soon as that is there (see DeviceStream::Open).
//
// Its feed gets real time back by itself after a SIGXCPU dropped it (see
// RealtimeKeeper).
//
// A hold-up of this program itself (the watch timer came late: the process
// was stopped, the machine suspended) is not the device's fault and is never
// reported. After one of more than kSkipAfterHoldUpMilliseconds the source
// skips the mixer ahead over all the missed time, as the silent clock does,
// instead of playing it late: fades, loops and ends fall where rendering
// would have put them.
class AudioOutput : public QObject
{
    Q_OBJECT

public:
    // Requested device buffer; it bounds the time from a play to its sound.
    // The sink is caught up to the stream when it opens, so this buffer is
    // all the margin the feed has when the sound server passes a request on
    // late, as it now and then does even on an idle machine: at 20 ms such a
    // request left a 5-30 ms dropout a few times a minute, at 40 ms none was
    // heard.
    static constexpr int kBufferMilliseconds = 40;
    static constexpr int kWatchMilliseconds = 5;
    static constexpr int kStallMilliseconds = 500;
    // A device that was just opened may take a moment to begin.
    static constexpr int kOpenStallMilliseconds = 3000;
    // The watch timer coming this late means the program was held up.
    static constexpr int kHoldUpMilliseconds = 200;
    static constexpr int kSkipAfterHoldUpMilliseconds = 5000;
    static constexpr int kReopenMilliseconds = 1000;
    // How long the first opening waits for the server's list of outputs.
    static constexpr int kListMilliseconds = 1000;
    // How long Start waits for the device to open before the silent clock
    // takes over until it does: longer than a busy machine takes to open
    // one, short against a server that hangs.
    static constexpr int kOpenWaitMilliseconds = 1500;

    // A null `device` is the system's default output at each opening; `own`
    // names the output the sound belongs on, as the show names it (empty:
    // the default output).
    AudioOutput(Mixer& mixer, OutputDevice device, QString own = QString());
    ~AudioOutput() override;

    // Both run on the audio thread.
    void Start();
    void Stop();

signals:
    // bufferMilliseconds: the device buffer actually granted (0 when silent);
    // problem: why playback is silent, empty when it is not; serverLost: the
    // sound server is gone or does not answer (every output is silent), not
    // this device alone.
    void ready(double bufferMilliseconds, bool silent, const QString& problem, bool serverLost);
    // The device stopped taking sound (problem says so) or takes it again.
    void stallChanged(bool stalled, const QString& problem);
    // The device that had stopped working plays again (`message` says so).
    void recovered(const QString& message);
    // The sound plays on its own output, or elsewhere since that is missing.
    void placed(bool onOwnOutput);

private:
    struct Opened
    {
        OutputDevice device;
        QAudioFormat format;
        std::unique_ptr<DeviceStream> stream;
        QString problem; // why there is no stream
        bool serverLost = false;
    };
    // Runs on any thread.
    static Opened OpenDevice(const OutputDevice& wanted, const QString& own, int listMilliseconds);
    void Adopt(Opened opened);
    // Opens the device on a thread of its own.
    void BeginOpening(int listMilliseconds);
    // Whether `opened` failed and was tried again at once.
    bool RetriedAtOnce(const Opened& opened);
    void TryReopen();
    // On the device's thread.
    void Fill(char* out, qsizetype bytes) noexcept;
    void Watch();
    void SkipAhead(qint64 milliseconds) noexcept; // under the source's exclusion
    void StartSilent(const QString& problem, bool serverLost);

    Mixer& m_mixer;
    const OutputDevice m_wanted;
    const QString m_own;
    OutputDevice m_device; // the one open, or tried last
    std::unique_ptr<MixerRenderer> m_renderer;
    std::unique_ptr<DeviceStream> m_stream; // its source renders with m_renderer
    QTimer m_watch;
    QElapsedTimer m_sinceWatched; // since the watch timer last ran
    qint64 m_bufferMilliseconds = 0;
    // Steady-clock nanoseconds: when the device last took sound beyond its
    // first buffer (0: not yet), and when it last got time of its own (it
    // was opened, or the program was held up).
    std::atomic<std::int64_t> m_taken{0};
    std::int64_t m_excusedAt = 0;
    // The source's own: the first buffer is taken whether or not the device
    // runs; when it last ran.
    qsizetype m_firstBytesLeft = 0;
    std::int64_t m_filledAt = 0;
    // Whether the source renders the mixer; changed only while it does not
    // run.
    bool m_deviceRenders = true;
    std::int64_t m_stalledAt = 0;
    std::unique_ptr<SilentClock> m_silent;
    bool m_stalled = false;
    bool m_failed = false;   // the device stopped working
    bool m_starting = false; // the first opening goes on off this thread
    bool m_retrying = false; // the opening going on retries one that failed
    DeviceStream::Placement m_placement = DeviceStream::Placement::Unknown; // as last told
#ifdef Q_OS_LINUX
    RealtimeKeeper m_realtime; // of the device's feed
#endif
    QTimer m_reopen;
    QElapsedTimer m_sinceTried;
    std::future<Opened> m_opening;
};

} // namespace tarv::audio
