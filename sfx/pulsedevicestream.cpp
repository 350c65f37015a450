#include "sfx/devicestream.h"

// On Linux the outputs talk to PulseAudio (or PipeWire's PulseAudio server)
// themselves. Qt 6.4's PulseAudio backend disconnects from the server in the
// process's exit handlers without holding its main loop's lock, which
// crashes the program now and then as it quits when the server has just
// sent it something (a sink changing state as a stream starts or stops,
// ours or any other program's). Here the connection is the stream's own and
// is taken down under its lock.
//
// A stream that belongs on a named output is kept there: the server moves
// streams to its default output when their sink goes away (its rescue of
// orphaned streams), and nothing moves them back when the sink returns. The
// stream follows the server's own notices (sinks that come, change or go,
// and its own moves) and moves itself back as soon as its output is there
// again, however short the outage was. A move away from a sink that is
// still there is someone's choice (the operator's, in the desktop's mixer),
// not a rescue: the stream stays where it was put until that place goes.
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
#include <utility>

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

    // `own`: the output the stream belongs on (see DeviceStream::Open).
    explicit PulseDeviceStream(QString own)
        : m_own(std::move(own))
        , m_ownUtf8(m_own.toUtf8())
    {}

    ~PulseDeviceStream() override
    {
        if (m_stream == nullptr)
            return;
        const PulseConnection::Lock lock(m_connection);
        pa_context_set_subscribe_callback(m_connection.Context(), nullptr, nullptr);
        pa_stream_set_moved_callback(m_stream, nullptr, nullptr);
        // Its answer would come to a stream that is gone.
        if (m_placeOperation != nullptr) {
            pa_operation_cancel(m_placeOperation);
            pa_operation_unref(m_placeOperation);
        }
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
        // The server answered the opening, so a slow answer here is no hang:
        // an idle sink with a long buffer takes a few hundred milliseconds.
        if (!m_connection.Finish(shorten, PulseConnection::kConnectMilliseconds))
            return false;
        CatchUpSink(bufferMicroseconds);
        const PulseConnection::Lock lock(m_connection);
        if (const pa_buffer_attr* granted = pa_stream_get_buffer_attr(m_stream))
            m_bufferBytes = granted->tlength;
        KeepOnOwnOutput();
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

    bool ServerLost() override { return !m_connection.IsGood(); }

    Placement Placed() const override { return m_placement.load(std::memory_order_acquire); }

    std::int64_t FeedThread() const override
    {
        return m_loopThread.load(std::memory_order_acquire);
    }

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

    // Under the loop's lock, like everything below: the callbacks run on the
    // loop's thread with it held.
    void KeepOnOwnOutput()
    {
        if (m_own.isEmpty()) {
            m_placement.store(Placement::Own, std::memory_order_release);
            return;
        }
        pa_context* context = m_connection.Context();
        pa_stream_set_moved_callback(
            m_stream,
            [](pa_stream*, void* self) { static_cast<PulseDeviceStream*>(self)->OnMoved(); }, this);
        pa_context_set_subscribe_callback(
            context,
            [](pa_context*, pa_subscription_event_type_t, std::uint32_t, void* data) {
                auto* self = static_cast<PulseDeviceStream*>(data);
                // A sink came, changed or went: only a stream away from its
                // own output needs to look.
                if (self->Placed() != Placement::Own)
                    self->Place();
            },
            this);
        if (pa_operation* operation =
                pa_context_subscribe(context, PA_SUBSCRIPTION_MASK_SINK, nullptr, nullptr))
            pa_operation_unref(operation);
        Place();
    }

    void OnMoved()
    {
        // Where it came from, before any look since: moves in a row are
        // judged by the first sink they left.
        if (m_movedFrom == PA_INVALID_INDEX)
            m_movedFrom = m_onIndex;
        Place();
    }

    // Looks where the stream's own output is and moves the stream there when
    // it plays elsewhere. One look or move at a time; notices meanwhile ask
    // for another look once it is done.
    void Place()
    {
        if (m_placing) {
            m_placeAgain = true;
            return;
        }
        m_ownIndex = PA_INVALID_INDEX;
        m_ownByName = false;
        m_movedFromThere = false;
        pa_operation* list = pa_context_get_sink_info_list(
            m_connection.Context(),
            [](pa_context*, const pa_sink_info* info, int last, void* self) {
                static_cast<PulseDeviceStream*>(self)->OnSink(info, last);
            },
            this);
        if (list == nullptr)
            return;
        m_placing = true;
        Track(list);
    }

    void Track(pa_operation* operation)
    {
        if (m_placeOperation != nullptr)
            pa_operation_unref(m_placeOperation);
        m_placeOperation = operation;
    }

    void OnSink(const pa_sink_info* info, int last)
    {
        if (last == 0) {
            if (info != nullptr && info->index == m_movedFrom)
                m_movedFromThere = true;
            // Its name before another sink's description.
            if (info != nullptr && !m_ownByName) {
                if (m_ownUtf8 == info->name) {
                    m_ownIndex = info->index;
                    m_ownByName = true;
                } else if (m_ownIndex == PA_INVALID_INDEX && info->description != nullptr &&
                           m_own == QString::fromUtf8(info->description))
                    m_ownIndex = info->index;
            }
            return;
        }
        m_placing = false;
        if (std::exchange(m_placeAgain, false)) {
            Place();
            return;
        }
        if (last < 0)
            return;
        const std::uint32_t on = pa_stream_get_device_index(m_stream);
        const bool moved = std::exchange(m_movedFrom, PA_INVALID_INDEX) != PA_INVALID_INDEX;
        m_onIndex = on;
        if (m_ownIndex != PA_INVALID_INDEX && on == m_ownIndex) {
            m_chosen = false;
            m_placement.store(Placement::Own, std::memory_order_release);
            return;
        }
        // Put elsewhere while its own output is there: where it was put is
        // where it plays, and nothing went missing. Should that place go,
        // the server's rescue brings it back here.
        if (m_ownIndex != PA_INVALID_INDEX && (moved ? m_movedFromThere : m_chosen)) {
            m_chosen = true;
            m_placement.store(Placement::Own, std::memory_order_release);
            return;
        }
        m_chosen = false;
        if (m_ownIndex == PA_INVALID_INDEX) {
            m_placement.store(Placement::Away, std::memory_order_release);
            return;
        }
        // Its own output is there: it is moved back, and nothing went
        // missing that was not told already.
        pa_operation* move = pa_context_move_sink_input_by_index(
            m_connection.Context(), pa_stream_get_index(m_stream), m_ownIndex,
            [](pa_context*, int success, void* data) {
                auto* self = static_cast<PulseDeviceStream*>(data);
                self->m_placing = false;
                // A move that failed is tried again only when something
                // changed meanwhile (the output went again).
                if (std::exchange(self->m_placeAgain, false) || success != 0)
                    self->Place();
            },
            this);
        if (move == nullptr)
            return;
        m_placing = true;
        Track(move);
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
    // The output the stream belongs on, and what the last look found (under
    // the loop's lock).
    const QString m_own;
    const QByteArray m_ownUtf8;
    std::atomic<Placement> m_placement{Placement::Unknown};
    std::uint32_t m_ownIndex = PA_INVALID_INDEX;
    bool m_ownByName = false;
    // The sink the stream played on at the last look, the one a move took it
    // from (none: no move since), whether that is still there, and whether
    // the stream plays elsewhere by someone's choice.
    std::uint32_t m_onIndex = PA_INVALID_INDEX;
    std::uint32_t m_movedFrom = PA_INVALID_INDEX;
    bool m_movedFromThere = false;
    bool m_chosen = false;
    bool m_placing = false;
    bool m_placeAgain = false;
    pa_operation* m_placeOperation = nullptr; // the last look or move
};

} // namespace

std::unique_ptr<DeviceStream> DeviceStream::Open(const OutputDevice& device,
                                                 const QAudioFormat& format, int bufferMilliseconds,
                                                 const QString& own)
{
    auto stream = std::make_unique<PulseDeviceStream>(own);
    if (!stream->Open(device.id, format, bufferMilliseconds))
        return nullptr;
    return stream;
}

} // namespace tarv::audio

#endif
