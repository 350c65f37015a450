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

    QtDeviceStream(const QAudioDevice& device, const QAudioFormat& format, Placement placement)
        : m_sink(device, format)
        , m_placement(placement)
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

    Placement Placed() const override { return m_placement; }

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
    const Placement m_placement;
};

} // namespace

// The output is picked at the opening; Qt moves no stream.
std::unique_ptr<DeviceStream> DeviceStream::Open(const OutputDevice& device,
                                                 const QAudioFormat& format, int bufferMilliseconds,
                                                 const QString& own)
{
    const bool onOwn = own.isEmpty() || device.description == own || device.id == own.toUtf8();
    auto stream = std::make_unique<QtDeviceStream>(device.device, format,
                                                   onOwn ? Placement::Own : Placement::Away);
    if (!stream->Start(format.bytesForDuration(qint64{bufferMilliseconds} * 1000)))
        return nullptr;
    return stream;
}

} // namespace tarv::audio

#endif
