#include "sfx/devicestream.h"

// On Linux the outputs talk to PulseAudio (or PipeWire's PulseAudio server)
// themselves. Qt 6.4's PulseAudio backend disconnects from the server in the
// process's exit handlers without holding its main loop's lock, which
// crashes the program now and then as it quits when the server has just
// sent it something (a sink changing state as a stream starts or stops,
// ours or any other program's). Here the connection is the stream's own and
// is taken down under its lock.
//
// The sound is written from the server's own requests, on the connection's
// thread, which runs in real time where the system grants it: a request is
// answered at once, however busy the machine, and not at the next turn of a
// timer on yet another thread.
#ifdef Q_OS_LINUX

#include "sfx/pulseconnection.h"
#include "sfx/realtimethread.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <QCoreApplication>
#include <unistd.h>

namespace tarv::audio {

namespace {

constexpr int kOperationMilliseconds = 200;
constexpr auto kThreadName = "tarv sound feed";

class PulseDeviceStream final : public DeviceStream
{
public:
    // Catching a sink up (see CatchUpSink): rounds, and resumes at most.
    static constexpr int kCatchUpRounds = 4;
    static constexpr int kFirstResumes = 8;
    static constexpr int kMaxResumes = 1000;
    static constexpr int kCatchUpBufferMilliseconds = 150;

    ~PulseDeviceStream() override
    {
        if (m_stream == nullptr)
            return;
        const PulseConnection::Lock lock(m_connection);
        pa_stream_set_write_callback(m_stream, nullptr, nullptr);
        pa_stream_set_state_callback(m_stream, nullptr, nullptr);
        pa_stream_disconnect(m_stream);
        pa_stream_unref(m_stream);
    }

    bool Open(const QByteArray& sink, const QAudioFormat& format, int bufferMilliseconds)
    {
        const QByteArray name = QCoreApplication::applicationName().toUtf8();
        m_connection.NameThread(kThreadName);
        if (!m_connection.Connect(name.isEmpty() ? "tarv" : name.constData()))
            return false;
        pa_sample_spec sample{};
        sample.format =
            format.sampleFormat() == QAudioFormat::Float ? PA_SAMPLE_FLOAT32LE : PA_SAMPLE_S16LE;
        sample.rate = static_cast<std::uint32_t>(format.sampleRate());
        sample.channels = static_cast<std::uint8_t>(format.channelCount());
        m_frameBytes = static_cast<std::size_t>(format.bytesPerFrame());
        pa_buffer_attr attributes{};
        attributes.maxlength = static_cast<std::uint32_t>(-1);
        // Opened with a longer buffer, whose steps catch the sink up faster;
        // see CatchUpSink.
        attributes.tlength = static_cast<std::uint32_t>(format.bytesForDuration(
            qint64{std::max(bufferMilliseconds, kCatchUpBufferMilliseconds)} * 1000));
        attributes.prebuf = static_cast<std::uint32_t>(-1);
        attributes.minreq = static_cast<std::uint32_t>(-1);
        attributes.fragsize = static_cast<std::uint32_t>(-1);
        {
            const PulseConnection::Lock lock(m_connection);
            m_stream = pa_stream_new(m_connection.Context(), "sound effects", &sample, nullptr);
            if (m_stream == nullptr)
                return false;
            pa_stream_set_state_callback(m_stream, &PulseDeviceStream::OnState, this);
            pa_stream_set_write_callback(m_stream, &PulseDeviceStream::OnWrite, this);
            if (pa_stream_connect_playback(m_stream, sink.isEmpty() ? nullptr : sink.constData(),
                                           &attributes, PA_STREAM_ADJUST_LATENCY, nullptr,
                                           nullptr) < 0)
                return false;
        }
        if (!m_connection.WaitFor([this] {
                const pa_stream_state_t state = pa_stream_get_state(m_stream);
                return state == PA_STREAM_READY ? 1 : PA_STREAM_IS_GOOD(state) ? 0 : -1;
            }))
            return false;
        RealtimeThread::Request(m_loopThread.load(std::memory_order_acquire));
        const std::int64_t bufferMicroseconds = qint64{bufferMilliseconds} * 1000;
        CatchUpSink(bufferMicroseconds);
        attributes.tlength =
            static_cast<std::uint32_t>(format.bytesForDuration(bufferMicroseconds));
        pa_operation* shorten = nullptr;
        {
            const PulseConnection::Lock lock(m_connection);
            shorten = pa_stream_set_buffer_attr(m_stream, &attributes, nullptr, nullptr);
        }
        if (!m_connection.Finish(shorten, kOperationMilliseconds))
            return false;
        CatchUpSink(bufferMicroseconds);
        const PulseConnection::Lock lock(m_connection);
        if (const pa_buffer_attr* granted = pa_stream_get_buffer_attr(m_stream))
            m_bufferBytes = granted->tlength;
        return true;
    }

    qsizetype BufferBytes() const override { return m_bufferBytes; }

    void Feed(Source source) override
    {
        const PulseConnection::Lock lock(m_connection);
        m_source = std::move(source);
        // The server's first request came while there was nothing to feed.
        const std::size_t writable = pa_stream_writable_size(m_stream);
        if (writable != static_cast<std::size_t>(-1))
            Write(writable);
    }

    void Exclusive(const std::function<void()>& change) override
    {
        // Every callback runs under the loop's lock.
        const PulseConnection::Lock lock(m_connection);
        change();
    }

    bool Failed() override { return m_failed.load(std::memory_order_acquire); }

private:
    static void OnState(pa_stream* stream, void* data)
    {
        auto* self = static_cast<PulseDeviceStream*>(data);
        self->m_loopThread.store(gettid(), std::memory_order_release);
        if (!PA_STREAM_IS_GOOD(pa_stream_get_state(stream)))
            self->m_failed.store(true, std::memory_order_release);
    }

    static void OnWrite(pa_stream*, std::size_t bytes, void* self)
    {
        static_cast<PulseDeviceStream*>(self)->Write(bytes);
    }

    // Under the loop's lock. Written in place, in the server's shared memory
    // where it offers it.
    void Write(std::size_t bytes)
    {
        if (!m_source)
            return;
        bytes -= bytes % m_frameBytes;
        while (bytes > 0) {
            void* data = nullptr;
            std::size_t size = bytes;
            if (pa_stream_begin_write(m_stream, &data, &size) < 0 || data == nullptr)
                return;
            size = std::min(size, bytes);
            size -= size % m_frameBytes;
            if (size == 0) {
                pa_stream_cancel_write(m_stream);
                return;
            }
            m_source(static_cast<char*>(data), static_cast<qsizetype>(size));
            if (pa_stream_write(m_stream, data, size, nullptr, 0, PA_SEEK_RELATIVE) < 0)
                return;
            bytes -= size;
        }
    }

    // How far ahead of now the sink has played (microseconds), -1 when the
    // server does not say.
    std::int64_t SinkLead()
    {
        pa_operation* update = nullptr;
        {
            const PulseConnection::Lock lock(m_connection);
            update = pa_stream_update_timing_info(m_stream, nullptr, nullptr);
        }
        if (!m_connection.Finish(update, kOperationMilliseconds))
            return -1;
        const PulseConnection::Lock lock(m_connection);
        const pa_timing_info* timing = pa_stream_get_timing_info(m_stream);
        return timing == nullptr ? -1 : static_cast<std::int64_t>(timing->sink_usec);
    }

    // An idle sink may play far ahead (PulseAudio's null sink: up to two
    // seconds) and, when a stream with a short buffer joins, rewind by no
    // more than its new short step: the stream's first sound would wait for
    // the rest of that lead. Each resume of a stream rewinds the sink by one
    // step; as many as the lead needs are sent at once (the server takes
    // them one by one) and then waited for. Done first with the long steps
    // of a longer buffer, then with the short ones of the buffer asked for,
    // the sink is caught up in a few tens of resumes and milliseconds,
    // before the first play, instead of hundreds. A sink that does not
    // rewind, or has no lead, is left alone after one try.
    void CatchUpSink(std::int64_t bufferMicroseconds)
    {
        std::int64_t lead = SinkLead();
        int resumes = kFirstResumes;
        for (int round = 0; round < kCatchUpRounds && lead > bufferMicroseconds && resumes > 0;
             ++round) {
            pa_operation* last = nullptr;
            {
                const PulseConnection::Lock lock(m_connection);
                for (int i = 0; i < resumes; ++i) {
                    if (pa_operation* pause = pa_stream_cork(m_stream, 1, nullptr, nullptr))
                        pa_operation_unref(pause);
                    if (last != nullptr)
                        pa_operation_unref(last);
                    last = pa_stream_cork(m_stream, 0, nullptr, nullptr);
                }
            }
            if (!m_connection.Finish(last, kOperationMilliseconds))
                return;
            const std::int64_t left = SinkLead();
            const double step = static_cast<double>(lead - left) / resumes;
            // As near as its steps go, or a sink that does not rewind.
            if (left < 0 || step <= 0.0 || left <= bufferMicroseconds ||
                static_cast<double>(left) < step)
                return;
            resumes = static_cast<int>(std::min<double>(
                std::ceil(static_cast<double>(left - bufferMicroseconds) / step), kMaxResumes));
            lead = left;
        }
    }

    PulseConnection m_connection; // outlives the stream
    pa_stream* m_stream = nullptr;
    qsizetype m_bufferBytes = 0;
    std::size_t m_frameBytes = 1;
    Source m_source; // under the loop's lock
    std::atomic<bool> m_failed{false};
    std::atomic<pid_t> m_loopThread{0}; // the kernel's id of the loop's thread
};

} // namespace

std::unique_ptr<DeviceStream> DeviceStream::Open(const OutputDevice& device,
                                                 const QAudioFormat& format, int bufferMilliseconds)
{
    auto stream = std::make_unique<PulseDeviceStream>();
    if (!stream->Open(device.id, format, bufferMilliseconds))
        return nullptr;
    return stream;
}

} // namespace tarv::audio

#endif
