#include "monitorrecorder.h"

#include <cmath>
#include <cstddef>
#include <cstring>

MonitorRecorder::MonitorRecorder(QString sink, int latencyMilliseconds)
    : m_sink(std::move(sink))
    , m_latencyMilliseconds(latencyMilliseconds)
{
    QObject::connect(&m_process, &QProcess::readyReadStandardOutput,
                     [this] { m_data += m_process.readAllStandardOutput(); });
}

MonitorRecorder::~MonitorRecorder()
{
    Stop();
}

bool MonitorRecorder::Start()
{
    m_data.clear();
    m_process.start(QStringLiteral("parec"),
                    {QStringLiteral("-d"), m_sink + QStringLiteral(".monitor"),
                     QStringLiteral("--raw"), QStringLiteral("--format=float32le"),
                     QStringLiteral("--rate=48000"), QStringLiteral("--channels=2"),
                     QStringLiteral("--latency-msec=%1").arg(m_latencyMilliseconds)});
    // Recording has begun once the first bytes arrive; a sound played before
    // that would be cut short.
    return m_process.waitForStarted(5000) && m_process.waitForReadyRead(5000);
}

void MonitorRecorder::Stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(3000)) {
        m_process.kill();
        m_process.waitForFinished(3000);
    }
    m_data += m_process.readAllStandardOutput();
}

std::vector<float> MonitorRecorder::LeftChannel() const
{
    const auto frames = static_cast<std::size_t>(m_data.size()) / (2 * sizeof(float));
    if (frames == 0)
        return {};
    std::vector<float> stereo(frames * 2);
    std::memcpy(stereo.data(), m_data.constData(), stereo.size() * sizeof(float));
    const auto zero = [&](std::size_t f) {
        return stereo[f * 2] == 0.0F && stereo[f * 2 + 1] == 0.0F;
    };

    // On a busy machine the player may miss a deadline: the server then plays
    // silence until the stream catches up (losing a little of it at worst).
    // Dropping those short runs of exact silence between sounds puts the
    // recording back on the stream's own timeline. A tone never has more
    // than one exact zero in a row, and the pauses the tests make themselves
    // are longer than any run dropped here.
    constexpr std::size_t kMinRun = 8;
    constexpr std::size_t kMaxRun = std::size_t{kRate} * kMaxDropoutMilliseconds / 1000;
    std::vector<float> kept;
    kept.reserve(frames);
    for (std::size_t f = 0; f < frames;) {
        std::size_t end = f + 1;
        while (zero(f) && end < frames && zero(end))
            ++end;
        const std::size_t run = end - f;
        const bool dropout = zero(f) && f > 0 && end < frames && run >= kMinRun && run <= kMaxRun;
        for (; f < end; ++f) {
            if (!dropout)
                kept.push_back(stereo[f * 2]);
        }
    }
    return kept;
}

std::vector<double> MonitorRecorder::Levels() const
{
    constexpr std::size_t kWindowFrames = kRate * kWindowMilliseconds / 1000;
    const std::vector<float> left = LeftChannel();
    std::vector<double> levels;
    for (std::size_t start = 0; start + kWindowFrames <= left.size(); start += kWindowFrames) {
        double sum = 0.0;
        for (std::size_t f = start; f < start + kWindowFrames; ++f)
            sum += static_cast<double>(left[f]) * left[f];
        levels.push_back(std::sqrt(sum / kWindowFrames));
    }
    return levels;
}
