#include "audiooutput.h"

#include "mixer.h"
#include "mixerstream.h"
#include "silentclock.h"

#include <QAudioSink>

namespace tarv::audio {

AudioOutput::AudioOutput(Mixer& mixer, QAudioDevice device)
    : m_mixer(mixer)
    , m_device(std::move(device))
{}

// The sink is a child: Stop() releases it on the audio thread, or the parent does.
AudioOutput::~AudioOutput() = default;

void AudioOutput::Start()
{
    if (m_device.isNull()) {
        StartSilent(tr("No audio output device is available."));
        return;
    }
    QAudioFormat format;
    format.setSampleRate(Mixer::kSampleRate);
    format.setChannelCount(Mixer::kChannels);
    format.setSampleFormat(QAudioFormat::Float);
    if (!m_device.isFormatSupported(format))
        format.setSampleFormat(QAudioFormat::Int16);
    if (!m_device.isFormatSupported(format)) {
        StartSilent(
            tr("The audio device \"%1\" does not take 48 kHz stereo.").arg(m_device.description()));
        return;
    }

    m_stream = std::make_unique<MixerStream>(m_mixer, format);
    m_stream->open(QIODevice::ReadOnly);
    m_sink = new QAudioSink(m_device, format, this);
    m_sink->setBufferSize(format.bytesForDuration(qint64{kBufferMilliseconds} * 1000));
    connect(m_sink, &QAudioSink::stateChanged, this, &AudioOutput::OnStateChanged);
    m_sink->start(m_stream.get());
    if (m_sink->error() != QAudio::NoError) {
        delete m_sink.data();
        StartSilent(tr("The audio device \"%1\" could not be opened.").arg(m_device.description()));
        return;
    }
    const double granted =
        static_cast<double>(format.durationForBytes(static_cast<qint32>(m_sink->bufferSize()))) /
        1000.0;
    emit ready(granted, false, QString());
}

void AudioOutput::Stop()
{
    if (m_sink) {
        disconnect(m_sink, nullptr, this, nullptr);
        m_sink->stop();
        delete m_sink.data();
    }
    m_silent.reset();
    m_stream.reset();
}

void AudioOutput::OnStateChanged()
{
    if (!m_sink || m_silent)
        return;
    const QAudio::Error error = m_sink->error();
    if (m_sink->state() != QAudio::StoppedState || error == QAudio::NoError)
        return;
    // The device went away (server stopped, device unplugged): keep the show
    // running on the clock. The sink is inside its own signal, so it is
    // released later.
    disconnect(m_sink, nullptr, this, nullptr);
    m_sink->deleteLater();
    m_sink = nullptr;
    StartSilent(tr("The audio device \"%1\" stopped working.").arg(m_device.description()));
}

void AudioOutput::StartSilent(const QString& problem)
{
    m_silent = std::make_unique<SilentClock>(m_mixer);
    m_silent->Start();
    emit ready(0.0, true, problem);
}

} // namespace tarv::audio
