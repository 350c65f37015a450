#include "sfx/devicestream.h"

#include <algorithm>
#include <memory>
#include <QAudioSink>
#include <QIODevice>
#include <QTimer>
#include <vector>

// Qt Multimedia's sink, everywhere but Linux (see pulsedevicestream.cpp).
#ifndef Q_OS_LINUX

namespace tarv::audio {

namespace {

// Fed in push mode from a timer on the thread that opened it: every few
// milliseconds the sink's free space is filled. (Qt 6.4's sinks pull only in
// whole periods, which needs a larger buffer than this.)
class QtDeviceStream final : public DeviceStream
{
public:
    static constexpr int kFeedMilliseconds = 4;

    QtDeviceStream(const QAudioDevice& device, const QAudioFormat& format)
        : m_sink(device, format)
    {}

    ~QtDeviceStream() override
    {
        m_feed.reset();
        m_sink.stop();
    }

    bool Start(qsizetype bufferBytes)
    {
        m_sink.setBufferSize(bufferBytes);
        m_input = m_sink.start();
        return m_input != nullptr && m_sink.error() == QAudio::NoError;
    }

    qsizetype BufferBytes() const override { return m_sink.bufferSize(); }

    void Feed(Source source) override
    {
        m_source = std::move(source);
        const qsizetype frame = m_sink.format().bytesPerFrame();
        m_bytes.resize(
            static_cast<std::size_t>(std::max(frame, m_sink.bufferSize() / frame * frame)));
        Write();
        // Made here, on the audio thread, whose event loop runs it.
        m_feed = std::make_unique<QTimer>();
        m_feed->setTimerType(Qt::PreciseTimer);
        m_feed->setInterval(kFeedMilliseconds);
        QObject::connect(m_feed.get(), &QTimer::timeout, m_feed.get(), [this] { Write(); });
        m_feed->start();
    }

    // The source runs on this thread, between calls.
    void Exclusive(const std::function<void()>& change) override { change(); }

    bool Failed() override
    {
        return m_sink.state() == QAudio::StoppedState && m_sink.error() != QAudio::NoError;
    }

private:
    void Write()
    {
        const int bytesPerFrame = m_sink.format().bytesPerFrame();
        qsizetype free = m_sink.bytesFree();
        free -= free % bytesPerFrame;
        while (free > 0) {
            const qsizetype chunk = std::min(free, static_cast<qsizetype>(m_bytes.size()));
            m_source(m_bytes.data(), chunk);
            if (m_input->write(m_bytes.data(), chunk) < chunk)
                return;
            free -= chunk;
        }
    }

    QAudioSink m_sink;
    QIODevice* m_input = nullptr; // owned by the sink
    Source m_source;
    std::vector<char> m_bytes;
    std::unique_ptr<QTimer> m_feed;
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
