#include "monitorrecorder.h"

#include <cmath>
#include <cstring>

MonitorRecorder::MonitorRecorder(QString sink)
    : m_sink(std::move(sink))
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
                     QStringLiteral("--latency-msec=10")});
    return m_process.waitForStarted(5000);
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

std::vector<double> MonitorRecorder::Levels() const
{
    constexpr qsizetype kFrameBytes = 2 * sizeof(float);
    constexpr qsizetype kWindowFrames = kRate * kWindowMilliseconds / 1000;
    std::vector<double> levels;
    const qsizetype frames = m_data.size() / kFrameBytes;
    for (qsizetype start = 0; start + kWindowFrames <= frames; start += kWindowFrames) {
        double sum = 0.0;
        for (qsizetype f = start; f < start + kWindowFrames; ++f) {
            float left = 0.0F;
            std::memcpy(&left, m_data.constData() + f * kFrameBytes, sizeof left);
            sum += static_cast<double>(left) * left;
        }
        levels.push_back(std::sqrt(sum / kWindowFrames));
    }
    return levels;
}
