#include "sfx/devicestream.h"

#include <QAudioSink>
#include <QIODevice>

// Qt Multimedia's sink, everywhere but Linux (see pulsedevicestream.cpp).
#ifndef Q_OS_LINUX

namespace tarv::audio {

namespace {

class QtDeviceStream final : public DeviceStream
{
public:
    QtDeviceStream(const QAudioDevice& device, const QAudioFormat& format)
        : m_sink(device, format)
    {}

    ~QtDeviceStream() override { m_sink.stop(); }

    bool Start(qsizetype bufferBytes)
    {
        m_sink.setBufferSize(bufferBytes);
        m_input = m_sink.start();
        return m_input != nullptr && m_sink.error() == QAudio::NoError;
    }

    qsizetype BufferBytes() const override { return m_sink.bufferSize(); }
    qsizetype BytesFree() override { return m_sink.bytesFree(); }
    qsizetype Write(const char* data, qsizetype bytes) override
    {
        return m_input->write(data, bytes);
    }
    bool Failed() override
    {
        return m_sink.state() == QAudio::StoppedState && m_sink.error() != QAudio::NoError;
    }
    void PauseAndResume() override
    {
        m_sink.suspend();
        m_sink.resume();
    }

private:
    QAudioSink m_sink;
    QIODevice* m_input = nullptr; // owned by the sink
};

} // namespace

std::unique_ptr<DeviceStream> DeviceStream::Open(const OutputDevice& device,
                                                 const QAudioFormat& format, int bufferMilliseconds)
{
    auto stream = std::make_unique<QtDeviceStream>(device.device, format);
    if (!stream->Start(format.bytesForDuration(qint64{bufferMilliseconds} * 1000)))
        return nullptr;
    return stream;
}

} // namespace tarv::audio

#endif
