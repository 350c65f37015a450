#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <vector>

// Records a PulseAudio sink's monitor with parec as 48 kHz stereo float and
// measures the level of the left channel in short windows.
class MonitorRecorder
{
public:
    static constexpr int kRate = 48000;
    static constexpr int kWindowMilliseconds = 10;

    explicit MonitorRecorder(QString sink);
    ~MonitorRecorder();

    bool Start();
    void Stop();

    // RMS level of each window of the recording, in order.
    std::vector<double> Levels() const;

private:
    QString m_sink;
    QProcess m_process;
    QByteArray m_data;
};
