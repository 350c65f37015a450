#include "automation/customaudio.h"

#include "automation/eventtypes.h"

#include <exception>
#include <mutex>
#include <QFileInfo>
#include <QPointer>

namespace tarv::automation {

CustomAudio::CustomAudio(const audio::CustomAudioParameters& parameters, unsigned offsetMs)
    : Event(kAudioType, offsetMs)
    , m_parameters(std::make_unique<audio::CustomAudioParameters>(parameters))
{}

CustomAudio::~CustomAudio() = default;

const audio::CustomAudioParameters* CustomAudio::parameters() const
{
    const std::lock_guard lock(Mutex());
    return m_parameters.get();
}

void CustomAudio::parameters(audio::CustomAudioParameters value)
{
    {
        const std::lock_guard lock(Mutex());
        m_parameters = std::make_unique<audio::CustomAudioParameters>(std::move(value));
    }
    emit updated();
}

QString CustomAudio::AutoName() const
{
    try {
        const std::lock_guard lock(Mutex());
        QString file = QStringLiteral("undefined file");
        if (m_parameters && !m_parameters->file().isEmpty()) {
            file = QFileInfo(m_parameters->file()).fileName();
        }
        return QStringLiteral("Play ") + file;
    } catch (const std::exception&) {
        return QStringLiteral("Unexpected or Errored Configuration");
    }
}

void CustomAudio::Execute_()
{
    const QPointer<CustomAudio> alive(this);
    audio::CustomAudioParameters* parameters = nullptr;
    {
        const std::lock_guard lock(Mutex());
        parameters = m_parameters.get();
    }
    if (parameters != nullptr) {
        // A command read from a file may be any number; only play and stop
        // ask for something.
        switch (parameters->command()) {
        case audio::CustomAudioCommand::Play:
            emit requestPlay(parameters);
            break;
        case audio::CustomAudioCommand::Stop:
            emit requestStop(parameters);
            break;
        }
    }
    if (alive) {
        emit complete(this, false);
    }
}

} // namespace tarv::automation
