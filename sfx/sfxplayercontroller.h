#pragma once

#include <memory>
#include <string>

namespace tarv::audio {

class CustomAudioParameters;
class SfxPlayer;
class SfxRepository;

// A handle on the one shared sound-effect player (SfxPlayerControllerImpl).
// Handles are cheap: make one where it is needed and drop it afterwards;
// playback goes on. Any thread may call them (see SfxPlayerControllerImpl).
// The operations are virtual so that callers can put a double in its place in
// their own tests.
class SfxPlayerController
{
public:
    SfxPlayerController();
    // Hands the repository to the shared player, which takes it over.
    explicit SfxPlayerController(std::unique_ptr<SfxRepository>& repository);
    virtual ~SfxPlayerController();

    SfxPlayerController(const SfxPlayerController&) = delete;
    SfxPlayerController& operator=(const SfxPlayerController&) = delete;

    // Throws std::invalid_argument when the parameters name no file.
    virtual void play(const CustomAudioParameters& parameters);
    // Fades the file out over the parameters' fade-out time.
    virtual void stop(const CustomAudioParameters& parameters);
    virtual void play(const std::string& eventId);
    // Fades the instance out over its own fade-out time.
    virtual void stop(const std::string& eventId);
    // A copy of the instance for the operator's ears: the show's fades do
    // not reach it, and only stopPreview stops it alone (stop stops it too).
    virtual void preview(const std::string& eventId);
    virtual void stopPreview(const std::string& eventId);
    // Keeps stop("sfx.1") from choosing stop(bool).
    void stop(const char* eventId) { stop(std::string(eventId)); }
    // Stops all audio, each voice fading over its own fade-out time.
    virtual void stop();
    // With panic, everything stops at once without fades.
    virtual void stop(bool panic);
    // The notifier of an event id (never null): its sfxFinished(QString)
    // follows the end of the last voice of that id, and the end of its last
    // preview copy.
    virtual SfxPlayer* GetPlayer(const std::string& eventId);
    virtual void PreloadFile(const std::string& path);
    // Moves the instance's level to `gain` (linear, relative to its volume;
    // 1 is unchanged) over `milliseconds`.
    virtual void FadeTo(const std::string& eventId, float gain, float milliseconds);
    // Whether the instance is playing (or waiting for its file) and has not
    // been told to stop. On the GUI thread only (elsewhere it answers false);
    // a play queued from another thread counts once it has run there.
    virtual bool IsPlaying(const std::string& eventId);
    // The same, for a voice of the show still at the instance's own level:
    // one that the show has faded to another level, and a preview copy, do
    // not count.
    virtual bool IsPlayingAtOwnLevel(const std::string& eventId);
};

} // namespace tarv::audio
