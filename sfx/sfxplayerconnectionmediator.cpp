#include "sfx/sfxplayerconnectionmediator.h"

#include "sfx/sfxplayercontrollerimpl.h"

namespace tarv::audio {

SfxPlayerConnectionMediator* SfxPlayerConnectionMediator::instance()
{
    static SfxPlayerConnectionMediator mediator;
    return &mediator;
}

void SfxPlayerConnectionMediator::onActiveSfxRepositoryRequested(
    std::promise<SfxRepository*>* promise)
{
    if (promise == nullptr)
        return;
    try {
        promise->set_value(SfxPlayerControllerImpl::instance()->ActiveRepository());
    } catch (const std::future_error&) {
        // Already answered: the first answer stands.
    }
}

void SfxPlayerConnectionMediator::onSoundEffectsChanged()
{
    SfxPlayerControllerImpl::instance()->PreloadRepositoryEffects();
}

void SfxPlayerConnectionMediator::preloadCustomAudio(const QString& filename)
{
    SfxPlayerControllerImpl::instance()->PreloadFile(filename.toStdString());
}

} // namespace tarv::audio
