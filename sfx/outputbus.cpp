#include "sfx/outputbus.h"

#include "sfx/audiooutput.h"
#include "sfx/mixer.h"

namespace tarv::audio {

OutputBus::OutputBus(QString own, QObject* parent)
    : QObject(parent)
    , m_own(std::move(own))
    , m_mixer(std::make_unique<Mixer>())
{
    m_thread.setObjectName(QStringLiteral("tarv audio"));
}

OutputBus::~OutputBus()
{
    if (m_thread.isRunning()) {
        // The audio thread never waits for this one, so waiting here is safe.
        QMetaObject::invokeMethod(m_output.get(), &AudioOutput::Stop, Qt::BlockingQueuedConnection);
        m_thread.quit();
        m_thread.wait();
    }
    m_output.reset();
}

void OutputBus::Open()
{
    if (m_thread.isRunning())
        return;
#ifdef Q_OS_LINUX
    // The output is looked up on the audio thread, as it opens the device:
    // a sound server that hangs never holds this thread up.
    m_output = std::make_unique<AudioOutput>(*m_mixer, OutputDevice{}, m_own);
#else
    // Devices are looked up here, on the GUI thread, where Qt's device
    // registry lives.
    const KnownOutputs known = CurrentOutputs();
    m_output = std::make_unique<AudioOutput>(
        *m_mixer, m_own.isEmpty() ? known.Default() : known.Find(m_own).value_or(known.Default()),
        m_own);
#endif
    m_output->moveToThread(&m_thread);
    connect(m_output.get(), &AudioOutput::ready, this, &OutputBus::OnReady, Qt::QueuedConnection);
    connect(m_output.get(), &AudioOutput::stallChanged, this, &OutputBus::OnStallChanged,
            Qt::QueuedConnection);
    connect(m_output.get(), &AudioOutput::recovered, this, &OutputBus::recovered,
            Qt::QueuedConnection);
    connect(m_output.get(), &AudioOutput::placed, this, &OutputBus::OnPlaced, Qt::QueuedConnection);
    m_thread.start(QThread::TimeCriticalPriority);
    QMetaObject::invokeMethod(m_output.get(), &AudioOutput::Start, Qt::QueuedConnection);
}

bool OutputBus::Submit(const MixerCommand& command)
{
    Open();
    return m_mixer->Submit(command);
}

std::optional<VoiceEnded> OutputBus::TakeEnded()
{
    return m_mixer->TakeEnded();
}

void OutputBus::OnReady(double bufferMilliseconds, bool silent, const QString& problem,
                        bool serverLost)
{
    m_bufferMilliseconds = bufferMilliseconds;
    m_silent = silent;
    emit ready(silent, problem, serverLost);
}

void OutputBus::OnStallChanged(bool stalled, const QString& problem)
{
    m_stalled = stalled;
    if (stalled)
        emit this->stalled(problem);
    else
        emit resumed();
}

void OutputBus::OnPlaced(bool onOwnOutput)
{
    m_away = !onOwnOutput;
    emit placed(onOwnOutput);
}

} // namespace tarv::audio
