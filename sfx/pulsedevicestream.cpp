#include "sfx/devicestream.h"

// On Linux the outputs talk to PulseAudio (or PipeWire's PulseAudio server)
// themselves. Qt 6.4's PulseAudio backend disconnects from the server in the
// process's exit handlers without holding its main loop's lock, which
// crashes the program now and then as it quits when the server has just
// sent it something (a sink changing state as a stream starts or stops,
// ours or any other program's). Here the connection is the stream's own and
// is taken down under its lock.
#ifdef Q_OS_LINUX

#include "sfx/pulseconnection.h"

#include <QCoreApplication>

namespace tarv::audio {

namespace {

constexpr int kOperationMilliseconds = 200;

class PulseDeviceStream final : public DeviceStream
{
public:
    ~PulseDeviceStream() override
    {
        if (m_stream == nullptr)
            return;
        const PulseConnection::Lock lock(m_connection);
        pa_stream_disconnect(m_stream);
        pa_stream_unref(m_stream);
    }

    bool Open(const QByteArray& sink, const QAudioFormat& format, int bufferMilliseconds)
    {
        const QByteArray name = QCoreApplication::applicationName().toUtf8();
        if (!m_connection.Connect(name.isEmpty() ? "tarv" : name.constData()))
            return false;
        pa_sample_spec sample{};
        sample.format =
            format.sampleFormat() == QAudioFormat::Float ? PA_SAMPLE_FLOAT32LE : PA_SAMPLE_S16LE;
        sample.rate = static_cast<std::uint32_t>(format.sampleRate());
        sample.channels = static_cast<std::uint8_t>(format.channelCount());
        pa_buffer_attr attributes{};
        attributes.maxlength = static_cast<std::uint32_t>(-1);
        attributes.tlength =
            static_cast<std::uint32_t>(format.bytesForDuration(qint64{bufferMilliseconds} * 1000));
        attributes.prebuf = static_cast<std::uint32_t>(-1);
        attributes.minreq = static_cast<std::uint32_t>(-1);
        attributes.fragsize = static_cast<std::uint32_t>(-1);
        {
            const PulseConnection::Lock lock(m_connection);
            m_stream = pa_stream_new(m_connection.Context(), "sound effects", &sample, nullptr);
            if (m_stream == nullptr ||
                pa_stream_connect_playback(
                    m_stream, sink.isEmpty() ? nullptr : sink.constData(), &attributes,
                    static_cast<pa_stream_flags_t>(PA_STREAM_ADJUST_LATENCY |
                                                   PA_STREAM_AUTO_TIMING_UPDATE),
                    nullptr, nullptr) < 0)
                return false;
        }
        if (!m_connection.WaitFor([this] {
                const pa_stream_state_t state = pa_stream_get_state(m_stream);
                return state == PA_STREAM_READY ? 1 : PA_STREAM_IS_GOOD(state) ? 0 : -1;
            }))
            return false;
        const PulseConnection::Lock lock(m_connection);
        if (const pa_buffer_attr* granted = pa_stream_get_buffer_attr(m_stream))
            m_bufferBytes = granted->tlength;
        return true;
    }

    qsizetype BufferBytes() const override { return m_bufferBytes; }

    qsizetype BytesFree() override
    {
        const PulseConnection::Lock lock(m_connection);
        const std::size_t free = pa_stream_writable_size(m_stream);
        return free == static_cast<std::size_t>(-1) ? 0 : static_cast<qsizetype>(free);
    }

    qsizetype Write(const char* data, qsizetype bytes) override
    {
        const PulseConnection::Lock lock(m_connection);
        return pa_stream_write(m_stream, data, static_cast<std::size_t>(bytes), nullptr, 0,
                               PA_SEEK_RELATIVE) < 0
                   ? 0
                   : bytes;
    }

    bool Failed() override
    {
        if (!m_connection.IsGood())
            return true;
        const PulseConnection::Lock lock(m_connection);
        return !PA_STREAM_IS_GOOD(pa_stream_get_state(m_stream));
    }

    void PauseAndResume() override
    {
        // Each waited for, so that each resume is a rewind of its own.
        for (const int cork : {1, 0}) {
            pa_operation* operation = nullptr;
            {
                const PulseConnection::Lock lock(m_connection);
                operation = pa_stream_cork(m_stream, cork, nullptr, nullptr);
            }
            if (!m_connection.Finish(operation, kOperationMilliseconds))
                return;
        }
    }

private:
    PulseConnection m_connection; // outlives the stream
    pa_stream* m_stream = nullptr;
    qsizetype m_bufferBytes = 0;
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
