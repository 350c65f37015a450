#include "sfx/sfxplayercontrollerimpl.h"

#include "sfx/audioclip.h"
#include "sfx/customaudioparameters.h"
#include "sfx/mixer.h"
#include "sfx/outputbus.h"
#include "sfx/sfxmanifest.h"
#include "sfx/sfxplayer.h"
#include "sfx/sfxplayerconnectionmediator.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <limits>
#include <QCoreApplication>
#include <QThread>
#include <set>
#include <utility>

namespace tarv::audio {

namespace {

// The engine lives from its first use until the application object goes
// away: its audio threads must stop while Qt is still up.
std::unique_ptr<SfxPlayerControllerImpl>& Storage()
{
    static std::unique_ptr<SfxPlayerControllerImpl> engine;
    return engine;
}

void DestroyEngine()
{
    Storage().reset();
}

constexpr int kPollMilliseconds = 10;
// Refused plays are reported at most this often, together.
constexpr int kRefusalReportMilliseconds = 1000;
constexpr auto kCustomKeyPrefix = "file:";

// What OutputNotices tells of: the sound server, an output's sound and
// whether it plays on its own output (by the show's name of the output).
QString ServerSubject()
{
    return QStringLiteral("server");
}

QString SoundSubject(const OutputBus* bus)
{
    return QStringLiteral("sound:") + bus->Own();
}

QString PlaceSubject(const OutputBus* bus)
{
    return QStringLiteral("place:") + bus->Own();
}

// Custom audio carries doubles; one beyond float's range would make the
// narrowing undefined. The mixer holds what this gives to its own range.
float Narrowed(double value)
{
    constexpr double kLargest = std::numeric_limits<float>::max();
    return static_cast<float>(std::isnan(value) ? value : std::clamp(value, -kLargest, kLargest));
}

} // namespace

SfxPlayerControllerImpl::SfxPlayerControllerImpl()
    : m_clips(this)
    , m_poll(this)
    , m_notices(this)
{
    connect(&m_clips, &ClipCache::clipReady, this, &SfxPlayerControllerImpl::OnClipReady);
    connect(&m_clips, &ClipCache::clipFailed, this, &SfxPlayerControllerImpl::OnClipFailed);
    connect(&m_notices, &OutputNotices::told, this, &SfxPlayerControllerImpl::Report);
    m_poll.setInterval(kPollMilliseconds);
    connect(&m_poll, &QTimer::timeout, this, &SfxPlayerControllerImpl::Poll);
}

void SfxPlayerControllerImpl::OpenDefaultOutput()
{
    if (QueuedFromOtherThread([this] { OpenDefaultOutput(); }))
        return;
    BusFor(QString()).Open();
}

SfxPlayerControllerImpl::~SfxPlayerControllerImpl()
{
    // The program quits: no output waits any longer for a server that
    // hangs. Outputs first: their audio threads read clips that the cache
    // owns.
    AbandonServerWaits();
    m_buses.clear();
}

template <typename Call>
bool SfxPlayerControllerImpl::QueuedFromOtherThread(Call&& call)
{
    if (QThread::currentThread() == thread())
        return false;
    QMetaObject::invokeMethod(this, std::forward<Call>(call), Qt::QueuedConnection);
    return true;
}

template <typename Matches>
std::vector<SfxPlayerControllerImpl::Request>
SfxPlayerControllerImpl::TakePending(const Matches& matches)
{
    const auto taken = std::stable_partition(m_pending.begin(), m_pending.end(),
                                             [&](const Request& p) { return !matches(p); });
    std::vector<Request> result(std::make_move_iterator(taken),
                                std::make_move_iterator(m_pending.end()));
    m_pending.erase(taken, m_pending.end());
    return result;
}

SfxPlayerControllerImpl* SfxPlayerControllerImpl::instance()
{
    static std::mutex creation;
    const std::lock_guard lock(creation);
    auto& engine = Storage();
    if (!engine) {
        engine.reset(new SfxPlayerControllerImpl);
        // Its timers and outputs need the main thread's event loop, whichever
        // thread asked first.
        if (const QCoreApplication* application = QCoreApplication::instance())
            engine->moveToThread(application->thread());
        qAddPostRoutine(DestroyEngine);
        engine->OpenDefaultOutput();
    }
    return engine.get();
}

SfxPlayerControllerImpl*
SfxPlayerControllerImpl::instance(std::unique_ptr<SfxRepository>& repository)
{
    SfxPlayerControllerImpl* engine = instance();
    if (!repository)
        return engine;
    // A play on the engine's thread may be using the current repository.
    auto handed = std::make_shared<std::unique_ptr<SfxRepository>>(std::move(repository));
    if (!engine->QueuedFromOtherThread(
            [engine, handed] { engine->m_repository = std::move(*handed); }))
        engine->m_repository = std::move(*handed);
    return engine;
}

void SfxPlayerControllerImpl::play(const CustomAudioParameters& parameters)
{
    if (parameters.file().isEmpty())
        throw std::invalid_argument("No audio file is set for \"" +
                                    parameters.name().toStdString() + "\"");
    if (QueuedFromOtherThread([this, parameters] { play(parameters); }))
        return;
    const std::string path = parameters.file().toStdString();
    VoiceSettings settings;
    settings.volume = Narrowed(parameters.volume());
    settings.pan = Narrowed(parameters.pan());
    settings.fadeInFrames = Mixer::MillisecondsToFrames(parameters.fadeIn());
    settings.fadeOutFrames = Mixer::MillisecondsToFrames(parameters.fadeOut());
    settings.repeats = parameters.repeats();
    Begin(Voice{kCustomKeyPrefix + path, false, &BusFor(parameters.outputPath())}, path, settings);
}

void SfxPlayerControllerImpl::stop(const CustomAudioParameters& parameters)
{
    if (QueuedFromOtherThread([this, parameters] { stop(parameters); }))
        return;
    // A stop event fades the file out over its own fade-out time.
    MixerCommand stop;
    stop.kind = MixerCommand::Kind::Stop;
    stop.ownFade = false;
    stop.frames = Mixer::MillisecondsToFrames(parameters.fadeOut());
    StopKey(kCustomKeyPrefix + parameters.file().toStdString(), stop);
}

void SfxPlayerControllerImpl::play(const std::string& eventId)
{
    PlayEvent(eventId, false);
}

void SfxPlayerControllerImpl::preview(const std::string& eventId)
{
    PlayEvent(eventId, true);
}

void SfxPlayerControllerImpl::PlayEvent(const std::string& eventId, bool isPreview)
{
    if (QueuedFromOtherThread([this, eventId, isPreview] { PlayEvent(eventId, isPreview); }))
        return;
    const QString id = QString::fromStdString(eventId);
    const Voice unplayed{eventId, true, nullptr, isPreview};
    if (!m_repository) {
        Report(QStringLiteral("ERROR"),
               tr("No sound-effect library is connected: cannot play %1.").arg(id), id);
        FinishLater(unplayed);
        return;
    }
    std::optional<sfx::SfxDto> instance;
    try {
        instance = m_repository->GetById(std::any(eventId));
    } catch (const std::exception& error) {
        Report(
            QStringLiteral("ERROR"),
            tr("Cannot look up the sound effect %1: %2").arg(id, QString::fromUtf8(error.what())),
            id);
        FinishLater(unplayed);
        return;
    }
    if (!instance) {
        Report(QStringLiteral("ERROR"), tr("There is no sound effect %1.").arg(id), id);
        FinishLater(unplayed);
        return;
    }
    const std::string path =
        m_catalogue.Current().path(instance->effectId()).value_or(instance->effectPath());
    if (path.empty()) {
        Report(QStringLiteral("ERROR"),
               tr("The sound effect %1 uses \"%2\", which is not installed.")
                   .arg(id, QString::fromStdString(instance->effectId())),
               id);
        FinishLater(unplayed);
        return;
    }
    VoiceSettings settings;
    settings.volume = instance->volume();
    settings.pan = instance->pan();
    settings.fadeInFrames = Mixer::MillisecondsToFrames(instance->fadeIn());
    settings.fadeOutFrames = Mixer::MillisecondsToFrames(instance->fadeOut());
    settings.repeats = instance->repeats();
    GetPlayer(eventId);
    Begin(Voice{eventId, true, &BusFor(QString::fromStdString(instance->outputPath())), isPreview},
          path, settings);
}

void SfxPlayerControllerImpl::stop(const std::string& eventId)
{
    if (QueuedFromOtherThread([this, eventId] { stop(eventId); }))
        return;
    MixerCommand stop;
    stop.kind = MixerCommand::Kind::Stop;
    StopKey(eventId, stop);
}

void SfxPlayerControllerImpl::stopPreview(const std::string& eventId)
{
    if (QueuedFromOtherThread([this, eventId] { stopPreview(eventId); }))
        return;
    MixerCommand stop;
    stop.kind = MixerCommand::Kind::Stop;
    StopKey(eventId, stop, true);
}

void SfxPlayerControllerImpl::stop()
{
    stop(false);
}

void SfxPlayerControllerImpl::stop(bool panic)
{
    if (QueuedFromOtherThread([this, panic] { stop(panic); }))
        return;
    MixerCommand command;
    command.kind = panic ? MixerCommand::Kind::Panic : MixerCommand::Kind::StopAll;
    for (auto& [id, bus] : m_buses) {
        if (bus->IsStarted())
            bus->Submit(command);
    }
    for (auto& [handle, playing] : m_voices)
        playing.stopping = true;
    FinishLater(std::exchange(m_pending, {}));
}

SfxPlayer* SfxPlayerControllerImpl::GetPlayer(const std::string& eventId)
{
    const std::lock_guard lock(m_playersMutex);
    auto& player = m_players[eventId];
    if (!player) {
        player = std::make_unique<SfxPlayer>(QString::fromStdString(eventId));
        player->moveToThread(thread()); // it is emitted from here
    }
    return player.get();
}

void SfxPlayerControllerImpl::PreloadFile(const std::string& path)
{
    if (QueuedFromOtherThread([this, path] { PreloadFile(path); }))
        return;
    if (!path.empty())
        m_clips.Load(path);
}

void SfxPlayerControllerImpl::FadeTo(const std::string& eventId, float gain, float milliseconds)
{
    if (QueuedFromOtherThread(
            [this, eventId, gain, milliseconds] { FadeTo(eventId, gain, milliseconds); }))
        return;
    if (!std::isfinite(gain))
        return;
    MixerCommand fade;
    fade.kind = MixerCommand::Kind::FadeTo;
    fade.gain = std::max(0.0F, gain);
    fade.frames = Mixer::MillisecondsToFrames(milliseconds);
    // A preview is heard at the instance's own level, whatever the show does.
    for (auto& [handle, playing] : m_voices) {
        if (playing.voice.key == eventId && !playing.voice.isPreview) {
            fade.voice = handle;
            Send(playing.voice, fade);
            playing.fade = fade;
        }
    }
    for (Request& pending : m_pending) {
        if (pending.voice.key == eventId && !pending.voice.isPreview) {
            fade.voice = pending.handle;
            pending.fade = fade;
        }
    }
}

bool SfxPlayerControllerImpl::IsPlaying(const std::string& eventId) const
{
    if (QThread::currentThread() != thread())
        return false;
    return std::any_of(m_voices.begin(), m_voices.end(),
                       [&](const auto& v) {
                           return v.second.voice.key == eventId && !v.second.stopping;
                       }) ||
           std::any_of(m_pending.begin(), m_pending.end(),
                       [&](const Request& p) { return p.voice.key == eventId; });
}

bool SfxPlayerControllerImpl::IsPlayingAtOwnLevel(const std::string& eventId) const
{
    if (QThread::currentThread() != thread())
        return false;
    const auto atOwnLevel = [&](const Request& r) {
        return r.voice.key == eventId && !r.voice.isPreview && !r.stopping &&
               (!r.fade || r.fade->gain == 1.0F);
    };
    return std::any_of(m_voices.begin(), m_voices.end(),
                       [&](const auto& v) { return atOwnLevel(v.second); }) ||
           std::any_of(m_pending.begin(), m_pending.end(), atOwnLevel);
}

void SfxPlayerControllerImpl::PreloadRepositoryEffects()
{
    if (QueuedFromOtherThread([this] { PreloadRepositoryEffects(); }))
        return;
    if (!m_repository)
        return;
    try {
        const tarv::sfx::SfxManifest& manifest = m_catalogue.Current();
        for (const sfx::SfxDto& instance : m_repository->Get()) {
            PreloadFile(manifest.path(instance.effectId()).value_or(instance.effectPath()));
            // Their outputs open now too, so no first play waits for a device.
            BusFor(QString::fromStdString(instance.outputPath()), false).Open();
        }
    } catch (const std::exception& error) {
        Report(QStringLiteral("ERROR"),
               tr("Cannot read the sound effects: %1").arg(QString::fromUtf8(error.what())),
               QString());
    }
}

void SfxPlayerControllerImpl::ForgetReportedFileProblems()
{
    if (QueuedFromOtherThread([this] { ForgetReportedFileProblems(); }))
        return;
    m_fileProblemsReported.clear();
}

bool SfxPlayerControllerImpl::IsSilent() const
{
    const auto found = m_buses.find(QString());
    return found != m_buses.end() && found->second->IsSilent();
}

double SfxPlayerControllerImpl::OutputBufferMilliseconds() const
{
    const auto found = m_buses.find(QString());
    return found == m_buses.end() ? 0.0 : found->second->BufferMilliseconds();
}

void SfxPlayerControllerImpl::Begin(Voice voice, const std::string& path,
                                    const VoiceSettings& settings)
{
    if (!m_soundAskedFor) {
        m_soundAskedFor = true;
        // After this call, as the reports of a lazily opened output came.
        QMetaObject::invokeMethod(
            this, [this] { ReleaseOutputProblems(); }, Qt::QueuedConnection);
    }
    Request pending{m_nextHandle++, std::move(voice), path, settings, std::nullopt};
    if (const auto clip = m_clips.Find(path)) {
        Launch(pending, *clip);
        return;
    }
    m_pending.push_back(std::move(pending));
    m_clips.Load(path);
}

void SfxPlayerControllerImpl::Launch(const Request& pending, const AudioClip& clip)
{
    MixerCommand start;
    start.kind = MixerCommand::Kind::Start;
    start.voice = pending.handle;
    start.clip = &clip;
    start.settings = pending.settings;
    if (!pending.voice.bus->Submit(start)) {
        Refused(m_queueFull, pending.voice);
        FinishLater(pending.voice);
        return;
    }
    if (pending.fade)
        Send(pending.voice, *pending.fade);
    m_voices.emplace(pending.handle, pending);
    if (!m_poll.isActive())
        m_poll.start();
}

void SfxPlayerControllerImpl::Send(const Voice& voice, const MixerCommand& command)
{
    // Starts fill only part of the mixer's queue, so this takes a storm of
    // stops and fades at once; beyond that, the operator must know.
    if (voice.bus->Submit(command))
        return;
    const QString key = QString::fromStdString(voice.key);
    Report(QStringLiteral("ERROR"),
           command.kind == MixerCommand::Kind::FadeTo
               ? tr("Too many sound commands at once: the fade of %1 was not made.").arg(key)
               : tr("Too many sound commands at once: %1 was not stopped.").arg(key),
           key);
}

void SfxPlayerControllerImpl::StopKey(const std::string& key, const MixerCommand& stop,
                                      bool previewsOnly)
{
    const auto stops = [&](const Voice& voice) {
        return voice.key == key && (voice.isPreview || !previewsOnly);
    };
    MixerCommand command = stop;
    for (auto& [handle, playing] : m_voices) {
        if (stops(playing.voice)) {
            command.voice = handle;
            Send(playing.voice, command);
            playing.stopping = true;
        }
    }
    FinishLater(TakePending([&](const Request& p) { return stops(p.voice); }));
}

void SfxPlayerControllerImpl::OnClipReady(const QString& path)
{
    emit SfxPlayerConnectionMediator::instance()->onSfxIsReady(path);
    const std::string name = path.toStdString();
    const auto clip = m_clips.Find(name);
    if (!clip)
        return;
    for (const Request& request : TakePending([&](const Request& p) { return p.path == name; }))
        Launch(request, *clip);
    TrimClips();
}

void SfxPlayerControllerImpl::OnClipFailed(const QString& path, const QString& message)
{
    if (!m_fileProblemsReported.contains(path)) {
        m_fileProblemsReported.insert(path);
        Report(QStringLiteral("ERROR"), message, path);
    }
    const std::string name = path.toStdString();
    FinishLater(TakePending([&](const Request& p) { return p.path == name; }));
}

void SfxPlayerControllerImpl::OnBusReady(const OutputBus* bus, bool silent, const QString& problem,
                                         bool serverLost)
{
    if (silent)
        ReportOutputProblem(bus, serverLost,
                            problem + QLatin1Char(' ') + tr("Sound effects play silently."));
}

void SfxPlayerControllerImpl::OnBusStalled(const OutputBus* bus, const QString& problem)
{
    // A device that takes no sound without reporting an error is its sound
    // server hanging, which silences every output alike.
    ReportOutputProblem(bus, true,
                        problem + QLatin1Char(' ') +
                            tr("Sound effects play silently, on time, until it takes "
                               "sound again."));
}

void SfxPlayerControllerImpl::OnBusResumed(const OutputBus* bus)
{
    // Heard again without a word, as the device simply took sound again; a
    // later loss is told again.
    m_notices.Back(LossSubject(bus), {});
}

void SfxPlayerControllerImpl::OnBusRecovered(const OutputBus* bus, const QString& message)
{
    // Said once, as the loss was: for the server's, by the first output
    // that plays again.
    const QString subject = LossSubject(bus);
    m_notices.Back(subject, {QStringLiteral("INFO"), message,
                             subject == ServerSubject() ? QString() : bus->Own()});
}

QString SfxPlayerControllerImpl::LossSubject(const OutputBus* bus) const
{
    const auto found = m_lossSubjects.find(bus);
    return found == m_lossSubjects.end() ? SoundSubject(bus) : found->second;
}

void SfxPlayerControllerImpl::OnBusPlaced(const OutputBus* bus, bool onOwnOutput)
{
    const QString& name = bus->Own();
    if (name.isEmpty())
        return;
    if (onOwnOutput) {
        m_notices.Back(
            PlaceSubject(bus),
            {QStringLiteral("INFO"),
             tr("The audio output \"%1\" is back: its sound effects play there again.").arg(name),
             name});
        return;
    }
    if (m_soundAskedFor)
        TellAway(bus);
    else
        m_heldAway.push_back(bus);
}

void SfxPlayerControllerImpl::TellAway(const OutputBus* bus)
{
    m_notices.Lost(PlaceSubject(bus),
                   {QStringLiteral("WARNING"), NoOutput(bus->Own()), bus->Own()});
}

QString SfxPlayerControllerImpl::NoOutput(const QString& outputPath)
{
    return tr("There is no audio output \"%1\": its sound effects play on the default output.")
        .arg(outputPath);
}

void SfxPlayerControllerImpl::ReportNotAnswering(const QString& outputPath)
{
    // The server's one report: whatever else it silenced is not told again.
    m_notices.Lost(ServerSubject(),
                   {QStringLiteral("WARNING"),
                    tr("The sound server does not answer: the audio output \"%1\" cannot be "
                       "found, and its sound effects play on the default output.")
                        .arg(outputPath),
                    outputPath});
}

void SfxPlayerControllerImpl::ReportOutputProblem(const OutputBus* bus, bool serverLost,
                                                  const QString& message)
{
    const QString subject = serverLost ? ServerSubject() : SoundSubject(bus);
    m_lossSubjects[bus] = subject;
    const OutputNotices::Notice notice{QStringLiteral("WARNING"), message,
                                       serverLost ? QString() : bus->Own()};
    if (!m_soundAskedFor) {
        m_heldOutputProblems.push_back({bus, subject, notice});
        return;
    }
    m_notices.Lost(subject, notice);
}

void SfxPlayerControllerImpl::ReleaseOutputProblems()
{
    // Only what still holds: a device that stalled as it opened may be
    // playing by now.
    for (const HeldProblem& held : std::exchange(m_heldOutputProblems, {})) {
        if (held.bus->IsSilent())
            m_notices.Lost(held.subject, held.notice);
    }
    for (const OutputBus* bus : std::exchange(m_heldAway, {})) {
        if (bus->IsAway())
            TellAway(bus);
    }
}

void SfxPlayerControllerImpl::Poll()
{
    for (auto& [id, bus] : m_buses) {
        while (const auto ended = bus->TakeEnded()) {
            const auto found = m_voices.find(ended->voice);
            if (found == m_voices.end())
                continue;
            const Voice voice = found->second.voice;
            m_voices.erase(found);
            if (ended->refused)
                Refused(m_noVoice, voice);
            Gone(voice);
        }
    }
    ReportRefused();
    if (m_voices.empty() && m_noVoice.count == 0 && m_queueFull.count == 0)
        m_poll.stop();
    TrimClips();
}

void SfxPlayerControllerImpl::Refused(Refusals& refusals, const Voice& voice)
{
    if (refusals.count++ == 0)
        refusals.first = QString::fromStdString(voice.key);
    if (!m_poll.isActive())
        m_poll.start();
}

void SfxPlayerControllerImpl::ReportRefused()
{
    if ((m_noVoice.count == 0 && m_queueFull.count == 0) ||
        (m_refusedReported.isValid() && m_refusedReported.elapsed() < kRefusalReportMilliseconds))
        return;
    m_refusedReported.start();
    ReportRefusals(m_noVoice, tr("Too many sounds are playing: %1 was not played."),
                   tr("Too many sounds are playing: %1 sound effects were not played, the "
                      "first of them %2."));
    ReportRefusals(m_queueFull, tr("Too many sound commands at once: %1 was not played."),
                   tr("Too many sound commands at once: %1 sound effects were not played, "
                      "the first of them %2."));
}

void SfxPlayerControllerImpl::ReportRefusals(Refusals& refusals, const QString& one,
                                             const QString& many)
{
    const Refusals refused = std::exchange(refusals, {});
    if (refused.count == 0)
        return;
    Report(QStringLiteral("ERROR"),
           refused.count == 1 ? one.arg(refused.first) : many.arg(refused.count).arg(refused.first),
           refused.first);
}

void SfxPlayerControllerImpl::TrimClips()
{
    if (!m_clips.OverBudget())
        return;
    std::set<std::string> inUse;
    for (const auto& [handle, playing] : m_voices)
        inUse.insert(playing.path);
    for (const Request& p : m_pending)
        inUse.insert(p.path);
    m_clips.Trim(inUse);
}

void SfxPlayerControllerImpl::Gone(const Voice& voice)
{
    if (!voice.isEvent)
        return;
    // The end of the last preview copy is told even while the show's sound of
    // the instance plays on, or the preview would never seem to end.
    const auto same = [&](const Voice& other) {
        return other.key == voice.key && (other.isPreview || !voice.isPreview);
    };
    const bool playing = std::any_of(m_voices.begin(), m_voices.end(),
                                     [&](const auto& v) { return same(v.second.voice); }) ||
                         std::any_of(m_pending.begin(), m_pending.end(),
                                     [&](const Request& p) { return same(p.voice); });
    if (!playing)
        emit GetPlayer(voice.key)->sfxFinished(QString::fromStdString(voice.key));
}

void SfxPlayerControllerImpl::FinishLater(const Voice& voice)
{
    QMetaObject::invokeMethod(
        this, [this, voice] { Gone(voice); }, Qt::QueuedConnection);
}

void SfxPlayerControllerImpl::FinishLater(const std::vector<Request>& dropped)
{
    // One notice per event id, however often it was waiting to play.
    std::set<std::string> seen;
    for (const Request& p : dropped) {
        if (seen.insert(p.voice.key).second)
            FinishLater(p.voice);
    }
}

void SfxPlayerControllerImpl::Report(const QString& type, const QString& message,
                                     const QString& context) const
{
    emit SfxPlayerConnectionMediator::instance()->soundEffectError(type, message, context);
}

OutputBus& SfxPlayerControllerImpl::BusFor(const QString& outputPath, bool reportUnknown)
{
    auto& bus = m_buses[outputPath];
    if (bus)
        return *bus;
    // What is known of the outputs, never the server itself: a play does not
    // wait for a server that hangs. A missing output is told by its bus,
    // which plays on the default output meanwhile.
    if (!outputPath.isEmpty() && reportUnknown) {
        const KnownOutputs known = CurrentOutputs();
        if (known.server == KnownOutputs::Server::NotAnswering && !known.Find(outputPath))
            ReportNotAnswering(outputPath);
    }
    bus = std::make_unique<OutputBus>(outputPath);
    const OutputBus* made = bus.get();
    connect(made, &OutputBus::ready, this,
            [this, made](bool silent, const QString& problem, bool serverLost) {
                OnBusReady(made, silent, problem, serverLost);
            });
    connect(made, &OutputBus::stalled, this,
            [this, made](const QString& problem) { OnBusStalled(made, problem); });
    connect(made, &OutputBus::resumed, this, [this, made] { OnBusResumed(made); });
    connect(made, &OutputBus::recovered, this,
            [this, made](const QString& message) { OnBusRecovered(made, message); });
    connect(made, &OutputBus::placed, this,
            [this, made](bool onOwnOutput) { OnBusPlaced(made, onOwnOutput); });
    return *bus;
}

} // namespace tarv::audio
