#include "sfx/sfxplayercontroller.h"

#include "sfx/sfxplayer.h"
#include "sfx/sfxplayercontrollerimpl.h"

namespace tarv::audio {

SfxPlayerController::SfxPlayerController() = default;

SfxPlayerController::SfxPlayerController(std::unique_ptr<SfxRepository>& repository)
{
    SfxPlayerControllerImpl::instance(repository);
}

SfxPlayerController::~SfxPlayerController() = default;

void SfxPlayerController::play(const CustomAudioParameters& parameters)
{
    SfxPlayerControllerImpl::instance()->play(parameters);
}

void SfxPlayerController::stop(const CustomAudioParameters& parameters)
{
    SfxPlayerControllerImpl::instance()->stop(parameters);
}

void SfxPlayerController::play(const std::string& eventId)
{
    SfxPlayerControllerImpl::instance()->play(eventId);
}

void SfxPlayerController::stop(const std::string& eventId)
{
    SfxPlayerControllerImpl::instance()->stop(eventId);
}

void SfxPlayerController::preview(const std::string& eventId)
{
    SfxPlayerControllerImpl::instance()->preview(eventId);
}

void SfxPlayerController::stopPreview(const std::string& eventId)
{
    SfxPlayerControllerImpl::instance()->stopPreview(eventId);
}

void SfxPlayerController::stop()
{
    SfxPlayerControllerImpl::instance()->stop();
}

void SfxPlayerController::stop(bool panic)
{
    SfxPlayerControllerImpl::instance()->stop(panic);
}

SfxPlayer* SfxPlayerController::GetPlayer(const std::string& eventId)
{
    return SfxPlayerControllerImpl::instance()->GetPlayer(eventId);
}

void SfxPlayerController::PreloadFile(const std::string& path)
{
    SfxPlayerControllerImpl::instance()->PreloadFile(path);
}

void SfxPlayerController::FadeTo(const std::string& eventId, float gain, float milliseconds)
{
    SfxPlayerControllerImpl::instance()->FadeTo(eventId, gain, milliseconds);
}

bool SfxPlayerController::IsPlaying(const std::string& eventId)
{
    return SfxPlayerControllerImpl::instance()->IsPlaying(eventId);
}

bool SfxPlayerController::IsPlayingAtOwnLevel(const std::string& eventId)
{
    return SfxPlayerControllerImpl::instance()->IsPlayingAtOwnLevel(eventId);
}

} // namespace tarv::audio
