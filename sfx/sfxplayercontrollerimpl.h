#pragma once

#include "sfx/cataloguecache.h"
#include "sfx/clipcache.h"
#include "sfx/mixercommand.h"
#include "sfx/outputnotices.h"
#include "sfx/sfxrepository.h"

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QSet>
#include <QString>
#include <QTimer>
#include <string>
#include <unordered_map>
#include <vector>

namespace tarv::audio {

class CustomAudioParameters;
class OutputBus;
class SfxPlayer;

// The one shared sound-effect player. It looks sound-effect instances up in
// the repository it was handed, finds their files through the catalogue,
// decodes them in the background and plays them on the output named by the
// instance (the default output otherwise). Problems are reported through the
// mediator's soundEffectError; only play() of custom audio throws, for
// parameters that name no file. No call waits for playback.
//
// The engine lives on the application's main thread; the mixing happens on an
// audio thread per output. The playback calls may come from any thread: off
// the main thread they are queued to it, in the order they were made. The
// default output is opened as soon as the engine exists, so the first play
// of a show is as prompt as any other.
class SfxPlayerControllerImpl : public QObject
{
    Q_OBJECT

public:
    ~SfxPlayerControllerImpl() override;

    static SfxPlayerControllerImpl* instance();
    // Takes the repository over (it becomes the active one, replacing the
    // previous); `repository` is left empty.
    static SfxPlayerControllerImpl* instance(std::unique_ptr<SfxRepository>& repository);

    void play(const CustomAudioParameters& parameters);
    void stop(const CustomAudioParameters& parameters);
    void play(const std::string& eventId);
    void stop(const std::string& eventId);
    void stop(const char* eventId) { stop(std::string(eventId)); } // not stop(bool)
    // A copy of the instance that the show's fades leave alone; stopPreview
    // stops such copies only.
    void preview(const std::string& eventId);
    void stopPreview(const std::string& eventId);
    void stop();
    void stop(bool panic);
    SfxPlayer* GetPlayer(const std::string& eventId);
    void PreloadFile(const std::string& path);
    void FadeTo(const std::string& eventId, float gain, float milliseconds);
    // Whether a voice of the event id plays, or waits for its file, and has
    // not been told to stop. On the engine's thread only (false elsewhere).
    bool IsPlaying(const std::string& eventId) const;
    // The same, for a voice of the show (not a preview copy) that no fade has
    // moved from the instance's own level (a fade back to it counts as none).
    bool IsPlayingAtOwnLevel(const std::string& eventId) const;

    SfxRepository* ActiveRepository() const noexcept { return m_repository.get(); }
    // Starts loading the files of every instance in the active repository
    // and opens their outputs.
    void PreloadRepositoryEffects();
    // A file that cannot be read is reported once, however often it is
    // preloaded or played again, until this is called: the application calls
    // it for each cue file that it opens.
    void ForgetReportedFileProblems();

    // The default output's state once it has started: whether it plays into
    // the silent clock, and the device buffer granted.
    bool IsSilent() const;
    double OutputBufferMilliseconds() const;

private:
    // Queues `call` to the engine's thread when made from another one; false
    // when the caller is on the engine's thread and should go on itself.
    template <typename Call>
    bool QueuedFromOtherThread(Call&& call);

    struct Voice
    {
        std::string key;
        bool isEvent = false;
        OutputBus* bus = nullptr;
        bool isPreview = false;
    };
    struct Request
    {
        std::uint64_t handle = 0;
        Voice voice;
        std::string path;
        VoiceSettings settings;
        std::optional<MixerCommand> fade; // the last fade-to asked for
        bool stopping = false;            // told to stop, fading out
    };

    SfxPlayerControllerImpl();
    void OpenDefaultOutput();

    void Begin(Voice voice, const std::string& path, const VoiceSettings& settings);
    void Launch(const Request& pending, const AudioClip& clip);
    void Send(const Voice& voice, const MixerCommand& command);
    void PlayEvent(const std::string& eventId, bool isPreview);
    void StopKey(const std::string& key, const MixerCommand& stop, bool previewsOnly = false);
    void OnClipReady(const QString& path);
    void OnClipFailed(const QString& path, const QString& message);
    // Each output's loss of sound is told under its own name, and once
    // more when it plays again; a loss of the sound server (it is gone, or
    // hangs: its outputs stop taking sound) is told once, however many
    // outputs it silenced, and once more when sound is back. Each is told
    // at most once a second each way (see OutputNotices).
    void OnBusReady(const OutputBus* bus, bool silent, const QString& problem, bool serverLost);
    void OnBusStalled(const OutputBus* bus, const QString& problem);
    void OnBusResumed(const OutputBus* bus);
    void OnBusRecovered(const OutputBus* bus, const QString& message);
    // A named output that is missing is told once, and once more that it is
    // back when its sound plays there again.
    void OnBusPlaced(const OutputBus* bus, bool onOwnOutput);
    void TellAway(const OutputBus* bus);
    static QString NoOutput(const QString& outputPath);
    // A play names an output the server never told while it does not answer.
    void ReportNotAnswering(const QString& outputPath);
    // An output's problem is told once sound is asked for: until the first
    // play it is held, so that a program that never plays (or a machine
    // without sound) does not greet the operator with it at start-up.
    void ReportOutputProblem(const OutputBus* bus, bool serverLost, const QString& message);
    void ReleaseOutputProblems();
    // What an output's loss of sound was told under: its own, or the
    // server's.
    QString LossSubject(const OutputBus* bus) const;
    void Poll();
    // Plays that found no room are counted and reported together, so that a
    // storm of them gives one report instead of thousands: those refused for
    // want of a free voice apart from those the full command queue dropped.
    struct Refusals
    {
        int count = 0;
        QString first;
    };
    void Refused(Refusals& refusals, const Voice& voice);
    void ReportRefused();
    // Reports what `refusals` counted, if anything, and counts afresh.
    void ReportRefusals(Refusals& refusals, const QString& one, const QString& many);
    void TrimClips();
    void Gone(const Voice& voice);
    void FinishLater(const Voice& voice);
    void FinishLater(const std::vector<Request>& dropped);
    // Removes and returns the requests waiting for their file that match.
    template <typename Matches>
    std::vector<Request> TakePending(const Matches& matches);
    void Report(const QString& type, const QString& message, const QString& context) const;
    // An output that the server never told is reported when
    // `reportUnknown` and it does not answer.
    OutputBus& BusFor(const QString& outputPath, bool reportUnknown = true);

    std::unique_ptr<SfxRepository> m_repository;
    ClipCache m_clips;
    std::map<QString, std::unique_ptr<OutputBus>> m_buses; // by the show's name; "": default
    std::mutex m_playersMutex; // GetPlayer may be called from any thread
    std::map<std::string, std::unique_ptr<SfxPlayer>> m_players;
    std::unordered_map<std::uint64_t, Request> m_voices; // started, until their end is seen
    std::vector<Request> m_pending;                      // waiting for their file
    std::uint64_t m_nextHandle = 1;
    QTimer m_poll;
    CatalogueCache m_catalogue;
    bool m_soundAskedFor = false;
    struct HeldProblem
    {
        const OutputBus* bus;
        QString subject;
        OutputNotices::Notice notice;
    };
    std::vector<HeldProblem> m_heldOutputProblems;
    std::vector<const OutputBus*> m_heldAway;
    OutputNotices m_notices;
    std::map<const OutputBus*, QString> m_lossSubjects; // of each output's last loss
    QSet<QString> m_fileProblemsReported;
    Refusals m_noVoice;
    Refusals m_queueFull;
    QElapsedTimer m_refusedReported;
};

} // namespace tarv::audio
