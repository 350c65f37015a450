#pragma once

#include "sfx/outputdevices.h"

#include <future>
#include <memory>
#include <QAudioFormat>
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <vector>

namespace tarv::audio {

class DeviceStream;
class Mixer;
class MixerRenderer;
class SilentClock;

// Lives on the audio thread and feeds one mixer to one device.
//
// Push mode from a timer on this thread: every few milliseconds the sink's
// free space is filled with freshly mixed frames. The timer runs on the audio
// thread, so a busy GUI thread never starves the device, and a small device
// buffer bounds the time from a play to its sound. (Qt 6.4's PulseAudio sink
// pulls only in whole 20 ms periods, which needs a larger buffer than this.)
// When the device cannot be opened, or fails later, a SilentClock drives the
// mixer instead. A device that takes no sound for longer than its granted
// buffer plus kStallMilliseconds without reporting an error (a sound server
// that hangs) counts as stalled: the SilentClock keeps the voices, notices
// and panics on time meanwhile, and the device is fed again as soon as it
// takes sound. A device with a large buffer takes sound in large steps, so
// only the buffer it was granted tells a pause from a stall.
//
// A device that could not be opened, or failed, is opened again once a
// second until it opens (the sound server restarted, or started after the
// program): on a thread of its own, so that neither the silent clock nor the
// feed waits for a server that is slow to answer.
//
// A device that has not begun to take sound shortly after it was opened is
// woken (Linux): PulseAudio plays an idle sink in long steps (two seconds
// for a null sink) and a new stream waits for the current one to end, which
// would hold the first play back by as much. Pausing and resuming the
// stream makes the server rewind the sink to now, a little each time, until
// it takes sound.
//
// A hold-up of this program itself (the feed timer came late: the process
// was stopped, the machine suspended) is not the device's fault and is never
// reported. After one of more than kSkipAfterHoldUpMilliseconds the mixer
// skips ahead over the missed time (at most SilentClock's catch-up), as the
// silent clock does, instead of playing it late.
class AudioOutput : public QObject
{
    Q_OBJECT

public:
    // Requested device buffer; it bounds the time from a play to its sound.
    static constexpr int kBufferMilliseconds = 20;
    static constexpr int kFeedMilliseconds = 4;
    static constexpr int kStallMilliseconds = 500;
    // A device that was just opened may take a moment to begin (PulseAudio's
    // null sink waits up to two seconds).
    static constexpr int kOpenStallMilliseconds = 3000;
    // The feed timer coming this late means the program was held up.
    static constexpr int kHoldUpMilliseconds = 200;
    // A device that took nothing this long after its first buffer is woken,
    // with at most kWakeTries pauses per feed and kMaxWakeTries in all (each
    // waits for the server: one that hangs is not waited for long).
    static constexpr int kWakeAfterMilliseconds = 10;
    static constexpr int kWakeTries = 16;
    static constexpr int kMaxWakeTries = 500;
    static constexpr int kSkipAfterHoldUpMilliseconds = 5000;
    static constexpr int kReopenMilliseconds = 1000;
    // How long the first opening waits for the server's list of outputs.
    static constexpr int kListMilliseconds = 1000;
    // How long Start waits for the device to open before the silent clock
    // takes over until it does: longer than a busy machine takes to open
    // one, short against a server that hangs.
    static constexpr int kOpenWaitMilliseconds = 1500;

    // A null `device` is the system's default output at each opening.
    AudioOutput(Mixer& mixer, OutputDevice device);
    ~AudioOutput() override;

    // Both run on the audio thread.
    void Start();
    void Stop();
    // Opens the device again and plays there once it is open (an output
    // that went away came back); until then it plays where it did.
    void Reopen();

signals:
    // bufferMilliseconds: the device buffer actually granted (0 when silent);
    // problem: why playback is silent, empty when it is not.
    void ready(double bufferMilliseconds, bool silent, const QString& problem);
    // The device stopped taking sound (problem says so) or takes it again.
    void stallChanged(bool stalled, const QString& problem);
    // The device that had stopped working plays again (`message` says so).
    void recovered(const QString& message);

private:
    struct Opened
    {
        OutputDevice device;
        QAudioFormat format;
        std::unique_ptr<DeviceStream> stream;
        QString problem; // why there is no stream
    };
    // Runs on any thread.
    static Opened OpenDevice(const OutputDevice& wanted, int listMilliseconds);
    void Adopt(Opened opened);
    void TryReopen();
    void Feed();
    void CheckStall();
    void WakeDevice();
    void SkipAhead(qint64 milliseconds);
    void StartSilent(const QString& problem);

    Mixer& m_mixer;
    const OutputDevice m_wanted;
    OutputDevice m_device; // the one open, or tried last
    std::unique_ptr<MixerRenderer> m_renderer;
    std::vector<char> m_bytes;
    std::unique_ptr<DeviceStream> m_stream;
    QTimer m_feed;
    QElapsedTimer m_sinceTaken; // since the device last took sound
    QElapsedTimer m_sinceFed;   // since the feed timer last ran
    bool m_tookSound = false;   // since it was opened
    int m_wakeTriesLeft = 0;
    qint64 m_bufferMilliseconds = 0;
    std::unique_ptr<SilentClock> m_silent;
    bool m_stalled = false;
    bool m_failed = false;      // the device stopped working
    bool m_reopenAsked = false; // by Reopen, until it opens
    bool m_starting = false;    // the first opening goes on off this thread
    QTimer m_reopen;
    QElapsedTimer m_sinceTried;
    std::future<Opened> m_opening;
};

} // namespace tarv::audio
