#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <vector>

// Records a PulseAudio sink's monitor with parec as 48 kHz stereo float and
// measures the level of the left channel in short windows, with the player's
// dropouts taken out (see LeftChannel).
class MonitorRecorder
{
public:
    static constexpr int kRate = 48000;
    static constexpr int kWindowMilliseconds = 10;
    // Silences between sounds up to this long count as dropouts.
    static constexpr int kMaxDropoutMilliseconds = 200;

    // A short latency makes the sink play in small steps; a long one leaves
    // it the steps its players ask for.
    explicit MonitorRecorder(QString sink, int latencyMilliseconds = 10);
    ~MonitorRecorder();

    bool Start();
    void Stop();

    // Bytes recorded so far (they come as the event loop runs).
    qsizetype Bytes() const { return m_data.size(); }

    // RMS level of each window of the recording, in order.
    std::vector<double> Levels() const;

private:
    std::vector<float> LeftChannel() const;

    QString m_sink;
    int m_latencyMilliseconds;
    QProcess m_process;
    QByteArray m_data;
};
