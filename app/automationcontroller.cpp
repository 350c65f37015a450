#include "app/automationcontroller.h"

#include "app/automationmodel.h"
#include "app/cueconfigcontroller.h"
#include "app/cueosccallbacks.h"
#include "app/oscmanagercontroller.h"
#include "app/queuedkeyfilter.h"
#include "app/waitconfigcontroller.h"
#include "automation/automation.h"
#include "automation/customaudio.h"
#include "automation/eventgroup.h"
#include "automation/eventtypes.h"
#include "automation/oscevent.h"
#include "automation/tarvcuefilesfxrepository.h"
#include "automation/waitevent.h"
#include "osc/oscserver.h"
#include "qt/aboutwindowcontroller.h"
#include "qt/qmlmodule.h"
#include "qt/sfxmanagerwindowcontroller.h"
#include "qt/sfxpropertytoolcontroller.h"
#include "sfx/customaudioparameters.h"
#include "sfx/sfxplayerconnectionmediator.h"
#include "sfx/sfxplayercontroller.h"
#include "sfx/sfxplayercontrollerimpl.h"

#include <chrono>
#include <cmath>
#include <iostream>
#include <limits>
#include <QAbstractState>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QQmlApplicationEngine>
#include <QQmlComponent>
#include <QQuickItem>
#include <QQuickWindow>
#include <QState>
#include <QStateMachine>
#include <QUrl>
#include <QWindow>
#include <stdexcept>
#include <utility>

namespace tarv::automation {

namespace {

using audio::CustomAudioParameters;
using audio::SfxPlayerController;
using audio::SfxPlayerControllerImpl;
using audio::SfxRepository;

const QString kErrorType = QStringLiteral("ERROR");
const QString kAutomationToolModule = QStringLiteral("com.quillonworks.automation_tool_ui");

// How long a model change waits for the player to name its repository. The
// player answers at once on the GUI thread; the limit only keeps a broken
// player from freezing the show.
constexpr std::chrono::seconds kRepositoryAnswerTimeout{2};

// A dialog hands back a "file:" URL or, as Qt's own dialogs do without a
// platform theme, a plain path; either names the same file.
QString LocalPath(const QString& path, bool isLocal)
{
    if (isLocal || !path.startsWith(QLatin1String("file:"), Qt::CaseInsensitive)) {
        return path;
    }
    return QUrl(path).toLocalFile();
}

QString What(const std::exception& e)
{
    return QString::fromUtf8(e.what());
}

// A large file holds the window for seconds: the GO presses made meanwhile
// must not fire cues once it is back, however the operation ends.
struct DropGoPressesOnReturn
{
    DropGoPressesOnReturn() = default;
    DropGoPressesOnReturn(const DropGoPressesOnReturn&) = delete;
    DropGoPressesOnReturn& operator=(const DropGoPressesOnReturn&) = delete;
    ~DropGoPressesOnReturn() { QueuedKeyFilter::DropQueuedPresses(); }
};

} // namespace

AutomationController::AutomationController(QObject* parent)
    : QObject(parent)
    , m_document(std::make_unique<Automation>())
    , m_sharedRepository(std::make_shared<TarvCueFileSfxRepository>())
{
    connect(this, &AutomationController::automationModelChanged, this,
            &AutomationController::onAutomationModelChanged);
    ConnectDocument(*m_document);
    m_model = std::make_unique<AutomationModel>(m_document.get(), nullptr);
    ConnectRepository(m_sharedRepository.get());

    std::unique_ptr<SfxRepository> playerRepository = std::make_unique<TarvCueFileSfxRepository>();
    ConnectRepository(playerRepository.get());
    m_player = std::make_unique<SfxPlayerController>(playerRepository);

    auto* mediator = audio::SfxPlayerConnectionMediator::instance();
    connect(this, &AutomationController::activeRepositoryRequested, mediator,
            &audio::SfxPlayerConnectionMediator::onActiveSfxRepositoryRequested);
    // The controller, not the long-lived mediator, is the context: a relay
    // must not outlive the controller it emits on.
    // The player's news that sound is back is no error.
    connect(mediator, &audio::SfxPlayerConnectionMediator::soundEffectError, this,
            [this](const QString& type, const QString& message, const QString&) {
                const bool news = type.compare(QLatin1String("INFO"), Qt::CaseInsensitive) == 0;
                ReportError(news ? QStringLiteral("SFX Notice") : QStringLiteral("SFX Error"),
                            message, type);
            });
    // The sound-effect manager preloads every instance again on each change
    // of its lists: a broken file is told once per opened cue file.
    connect(this, &AutomationController::automationModelChanged, this,
            [] { SfxPlayerControllerImpl::instance()->ForgetReportedFileProblems(); });

    const QString settingsPath = QString::fromStdString(osc::OscSettingsFilePath());
    if (QFile::exists(settingsPath)) {
        osc::LoadOscSettings(m_oscSettings, settingsPath.toStdString());
    } else {
        std::cout << "No OSC Settings file exists. Using defaults.\n" << std::flush;
    }
    RestartOscServer();
    BuildDefaultCueList(*m_document);
    BuildStateMachine();

    // The window that declares the controller is still being built: what
    // goes wrong until now is shown once the event loop runs.
    QMetaObject::invokeMethod(this, &AutomationController::onReadyToReport_, Qt::QueuedConnection);
}

AutomationController::~AutomationController()
{
    m_stateMachine.reset();
    m_oscServer.reset();
    if (m_prompt) {
        delete m_prompt.data();
    }
    // Window controllers point into the document: they go before it.
    m_aboutWindow.reset();
    m_cueEditor.reset();
    m_waitEditor.reset();
    m_oscManager.reset();
    m_sfxManager.reset();
    m_player.reset();
    m_model.reset();
    m_sharedRepository.reset();
    m_document.reset();
}

// ---- properties -----------------------------------------------------------

QAbstractListModel* AutomationController::MainModel() const
{
    return m_model.get();
}

QQmlApplicationEngine* AutomationController::engine() const
{
    return m_engine;
}

void AutomationController::setEngine(QQmlApplicationEngine* engine)
{
    if (!engine) {
        return;
    }
    m_engine = engine;
    CreateSfxManager();
}

bool AutomationController::unsavedChanges() const
{
    return m_unsavedChanges;
}

void AutomationController::setUnsavedChanges(bool value)
{
    m_unsavedChanges = value;
    emit unsavedChangesChanged();
}

bool AutomationController::closingDeferred() const
{
    return m_closingDeferred;
}

void AutomationController::setClosingDeferred(bool value)
{
    m_closingDeferred = value;
    emit closingDeferredChanged();
}

bool AutomationController::newFileDeferred() const
{
    return m_newFileDeferred;
}

void AutomationController::setNewFileDeferred(bool value)
{
    m_newFileDeferred = value;
    emit newFileDeferredChanged();
}

QAbstractState* AutomationController::activeState() const
{
    return m_activeState;
}

void AutomationController::setActiveState(QAbstractState* state)
{
    m_activeState = state;
    emit activeStateChanged();
}

Automation& AutomationController::Document() const
{
    return *m_document;
}

const osc::OscSettings& AutomationController::OscSettings() const
{
    return m_oscSettings;
}

QString AutomationController::CurrentPath() const
{
    return m_currentPath;
}

void AutomationController::CurrentPath(QString val)
{
    m_currentPath = std::move(val);
    emit currentPathChanged();
}

// ---- state ----------------------------------------------------------------

void AutomationController::BuildStateMachine()
{
    m_stateMachine = std::make_unique<QStateMachine>(this);
    auto* performingState = new QState(m_stateMachine.get());
    performingState->setObjectName(QStringLiteral("performingState"));
    auto* cleanState = new QState(performingState);
    cleanState->setObjectName(QStringLiteral("cleanState"));
    auto* dirtyState = new QState(performingState);
    dirtyState->setObjectName(QStringLiteral("dirtyState"));
    performingState->setInitialState(cleanState);

    cleanState->assignProperty(this, "unsavedChanges", false);
    cleanState->assignProperty(this, "activeState",
                               QVariant::fromValue(static_cast<QAbstractState*>(cleanState)));
    dirtyState->assignProperty(this, "unsavedChanges", true);
    dirtyState->assignProperty(this, "activeState",
                               QVariant::fromValue(static_cast<QAbstractState*>(dirtyState)));

    cleanState->addTransition(this, &AutomationController::tarvCueFileOutOfSync, dirtyState);
    dirtyState->addTransition(this, &AutomationController::tarvCueFileSaved, cleanState);

    m_stateMachine->setInitialState(performingState);
    m_stateMachine->start();
}

void AutomationController::onReadyToReport_()
{
    m_readyToReport = true;
    for (const PendingError& pending : std::exchange(m_pendingErrors, {})) {
        emit error(pending.title, pending.text, pending.type);
    }
}

void AutomationController::ReportError(const QString& title, const QString& text,
                                       const QString& type)
{
    if (!m_readyToReport) {
        m_pendingErrors.push_back({title, text, type});
        return;
    }
    emit error(title, text, type);
}

// ---- documents ------------------------------------------------------------

void AutomationController::BuildDefaultCueList(Automation& document) const
{
    networking::NetworkPath self;
    self.name = "TARV|Cue";
    self.network_id = "NETWORK1";
    self.ip_address = "127.0.0.1";
    self.port = m_oscSettings.oscListenPort;
    document.GetNetworks().push_back(self);

    const auto makeCue = [](const QString& name, const QString& number) {
        auto cue = std::make_shared<EventGroup>();
        cue->Name(name);
        cue->Number(number);
        cue->Act(QStringLiteral("1"));
        cue->Scene(QStringLiteral("1"));
        return cue;
    };
    auto first = makeCue(QStringLiteral("First Cue"), QStringLiteral("1"));
    auto play = std::make_shared<Osc>(&document.GetNetworks());
    play->Message(QStringLiteral("/tarv/sfx/sfx.1/play"));
    auto stop = std::make_shared<Osc>(&document.GetNetworks());
    stop->Message(QStringLiteral("/tarv/sfx/sfx.1/stop"));
    stop->Offset(1000);
    first->AddEvent(play);
    first->AddEvent(stop);

    document.AddEvent(first);
    document.AddEvent(makeCue(QStringLiteral("Second Cue"), QStringLiteral("2")));
    document.AddEvent(makeCue(QStringLiteral("Third Cue"), QStringLiteral("3")));
}

void AutomationController::ConnectDocument(Automation& document)
{
    connect(&document, &EventGroup::currentEventIndexChanged, this,
            &AutomationController::currentEventIndexChanged);
    connect(&document, &Automation::playCustomAudio, this,
            &AutomationController::onPlayCustomAudio);
    connect(&document, &Automation::stopCustomAudio, this,
            &AutomationController::onStopCustomAudio);
}

void AutomationController::InstallDocument(std::unique_ptr<Automation> document)
{
    auto model = std::make_unique<AutomationModel>(document.get(), nullptr);
    // Declared in this order so that the old model goes before the document
    // whose events it still holds.
    std::unique_ptr<Automation> oldDocument = std::exchange(m_document, std::move(document));
    std::unique_ptr<AutomationModel> oldModel = std::exchange(m_model, std::move(model));
    emit automationModelChanged();
    emit currentEventIndexChanged(static_cast<int>(m_document->CurrentEventIndex()));
}

void AutomationController::BuildNewCueList()
{
    auto document = std::make_unique<Automation>();
    ConnectDocument(*document);
    document->Path(QString());
    BuildDefaultCueList(*document);

    if (m_newFileDeferred) {
        setNewFileDeferred(false);
    }
    m_deferredOpenPath.clear();
    ReleaseDocumentWindows();
    InstallDocument(std::move(document));
    CurrentPath(QString());
    emit tarvCueFileSaved();
}

void AutomationController::OpenFile(const QString& filePath)
{
    const DropGoPressesOnReturn dropGoPresses;
    // Read into a document of its own: a file that cannot be read leaves the
    // open list, its path and its state exactly as they were.
    auto document = std::make_unique<Automation>();
    Result result;
    try {
        result = document->Open(filePath);
    } catch (const CueFileUnreadable& e) {
        // Its content was never seen: no word of a wrong file type.
        ReportError(QStringLiteral("Error"),
                    QStringLiteral("An error occurred opening the file: ") + What(e), kErrorType);
        return;
    } catch (const std::exception& e) {
        ReportError(QStringLiteral("Error"),
                    QStringLiteral("An error occurred opening the file: ") + What(e) +
                        QStringLiteral(" You may have an incorrect file type. Please load the "
                                       "TARV|Cue file type (.tarvcue) to open previously saved "
                                       "work."),
                    kErrorType);
        return;
    }
    ConnectDocument(*document);
    ReleaseDocumentWindows();
    InstallDocument(std::move(document));
    CurrentPath(filePath);
    emit tarvCueFileSaved();

    if (!result.Notes().isEmpty()) {
        ReportError(QStringLiteral("Issues Opening File"), result.String(4),
                    QStringLiteral("WARNING"));
    }
    PreloadAudio();
}

void AutomationController::PreloadAudio()
{
    const auto preload = [this](const std::shared_ptr<Event>& event) {
        const auto* audio = qobject_cast<const CustomAudio*>(event.get());
        if (!audio || !audio->parameters()) {
            return;
        }
        try {
            m_player->PreloadFile(audio->parameters()->file().toStdString());
        } catch (const std::exception& e) {
            ReportError(QStringLiteral("SFX Error"), What(e), kErrorType);
        }
    };
    for (const auto& entry : m_document->Events()) {
        if (entry->Type() == kGroupType) {
            if (const auto* cue = qobject_cast<const EventGroup*>(entry.get())) {
                for (const auto& child : cue->Events()) {
                    preload(child);
                }
            }
        } else {
            preload(entry);
        }
    }
}

void AutomationController::Load(QString path)
{
    Load(std::move(path), false);
}

void AutomationController::Load(QString path, bool isLocal)
{
    try {
        const QString filePath = LocalPath(path, isLocal);
        if (m_unsavedChanges) {
            m_deferredOpenPath = filePath;
            onNew();
            if (!m_prompt) {
                m_deferredOpenPath.clear();
            }
            return;
        }
        OpenFile(filePath);
    } catch (const std::exception& e) {
        ReportError(QStringLiteral("Error"),
                    QStringLiteral("An error occurred opening the file: ") + What(e), kErrorType);
    }
}

void AutomationController::New()
{
    try {
        if (m_unsavedChanges) {
            m_deferredOpenPath.clear();
            onNew();
            return;
        }
        BuildNewCueList();
    } catch (const std::exception& e) {
        ReportError(QStringLiteral("Error"),
                    QStringLiteral("An error occurred creating a new file: ") + What(e),
                    kErrorType);
    }
}

bool AutomationController::Save(bool isLocal, QString path)
{
    const DropGoPressesOnReturn dropGoPresses;
    const QString previousDocumentPath = m_document->Path();
    try {
        const QString filePath = LocalPath(path, isLocal);
        if (filePath.isEmpty()) {
            throw std::runtime_error("Failed to open file.");
        }
        m_document->Save(filePath);
        CurrentPath(filePath);
        emit tarvCueFileSaved();
        if (m_closingDeferred) {
            exit(0);
        }
        return true;
    } catch (const std::exception& e) {
        m_document->Path(previousDocumentPath);
        // Nothing that waited for this save may go ahead: not the close, not
        // a new list, not the opening of another file.
        setClosingDeferred(false);
        setNewFileDeferred(false);
        m_deferredOpenPath.clear();
        ReportError(QStringLiteral("Error"),
                    QStringLiteral("An error occurred saving the file: ") + What(e), kErrorType);
        return false;
    }
}

bool AutomationController::Save(bool isLocal)
{
    return Save(isLocal, QString());
}

// ---- the unsaved-changes prompts -------------------------------------------

QObject* AutomationController::OpenSavePrompt(const QString& acceptText, const QString& cancelText)
{
    if (!m_engine) {
        return nullptr;
    }
    if (m_prompt) {
        // A prompt still open belongs to a command that this one replaces.
        m_prompt->deleteLater();
        m_prompt.clear();
    }
    QQmlComponent component(m_engine);
    qt::LoadFromModule(component, kAutomationToolModule, QStringLiteral("FlatInputWindow"));
    QObject* window = component.isError() ? nullptr : component.create();
    if (!window) {
        for (const QQmlError& problem : component.errors()) {
            std::cerr << problem.toString().toStdString() << "\n";
        }
        return nullptr;
    }
    window->setParent(this);
    window->setProperty("acceptButtonText", acceptText);
    window->setProperty("cancelButtonText", cancelText);
    window->setProperty("type", QStringLiteral("WARNING"));
    window->setProperty("title", QStringLiteral("Unsaved Changes"));
    window->setProperty(
        "text",
        QStringLiteral("You have unsaved changes.  If you quit now, they will be lost forever."));
    window->setProperty("showInputField", false);
    // A reflexive Escape must not throw the show away: it withdraws.
    window->setProperty("escapeDismisses", true);
    if (QWindow* owner = ParentWindow()) {
        window->setProperty("transientParent", QVariant::fromValue(owner));
    }
    window->setProperty("visible", true);
    connect(window, SIGNAL(accepted()), this, SLOT(deleteSavePromptDialog()));
    connect(window, SIGNAL(cancelled()), this, SLOT(deleteSavePromptDialog()));
    connect(window, SIGNAL(dismissed()), this, SLOT(onPromptDismissed_()));
    m_prompt = window;
    return window;
}

void AutomationController::onClosing()
{
    try {
        if (!m_unsavedChanges) {
            return;
        }
        QObject* prompt = OpenSavePrompt(QStringLiteral("Save And Close"),
                                         QStringLiteral("Close Without Saving"));
        if (!prompt) {
            setClosingDeferred(false);
            return;
        }
        connect(prompt, SIGNAL(accepted()), this, SIGNAL(saveOnClose()));
        connect(prompt, SIGNAL(cancelled()), this, SLOT(exit()));
    } catch (const std::exception& e) {
        ReportError(QStringLiteral("Error"), What(e), kErrorType);
    }
}

void AutomationController::onNew()
{
    try {
        QObject* prompt = OpenSavePrompt(QStringLiteral("Save And Continue"),
                                         QStringLiteral("Continue Without Saving"));
        if (!prompt) {
            return;
        }
        setNewFileDeferred(true);
        connect(prompt, SIGNAL(accepted()), this, SIGNAL(saveOnNew()));
        connect(prompt, SIGNAL(cancelled()), this, SLOT(onContinueWithoutSaving_()));
    } catch (const std::exception& e) {
        ReportError(QStringLiteral("Error"), What(e), kErrorType);
    }
}

void AutomationController::onContinueWithoutSaving_()
{
    const QString openPath = std::exchange(m_deferredOpenPath, QString());
    try {
        if (openPath.isEmpty()) {
            BuildNewCueList();
            return;
        }
        if (m_newFileDeferred) {
            setNewFileDeferred(false);
        }
        OpenFile(openPath);
    } catch (const std::exception& e) {
        ReportError(QStringLiteral("Error"),
                    QStringLiteral("An error occurred creating a new file: ") + What(e),
                    kErrorType);
    }
}

void AutomationController::onPromptDismissed_()
{
    // No answer: the New, Open or close that asked is withdrawn.
    m_deferredOpenPath.clear();
    if (m_newFileDeferred) {
        setNewFileDeferred(false);
    }
    if (m_closingDeferred) {
        setClosingDeferred(false);
    }
    deleteSavePromptDialog();
}

void AutomationController::onSaveOnNewComplete()
{
    const QString openPath = std::exchange(m_deferredOpenPath, QString());
    try {
        if (m_unsavedChanges) {
            // The save that should have come first did not happen.
            if (m_newFileDeferred) {
                setNewFileDeferred(false);
            }
            return;
        }
        emit tarvCueFileSaved();
        setNewFileDeferred(false);
        if (openPath.isEmpty()) {
            New();
        } else {
            OpenFile(openPath);
        }
    } catch (const std::exception& e) {
        ReportError(QStringLiteral("Error"),
                    QStringLiteral("An error occurred creating a new file: ") + What(e),
                    kErrorType);
    }
}

void AutomationController::deleteSavePromptDialog()
{
    if (QObject* prompt = sender()) {
        prompt->deleteLater();
    }
}

void AutomationController::exit(int returnCode)
{
    QCoreApplication::exit(returnCode);
}

void AutomationController::exit()
{
    exit(0);
}

// ---- selection and editing ------------------------------------------------

void AutomationController::SetCurrentEventIndex(int index)
{
    if (index < 0) {
        return;
    }
    m_document->CurrentEventIndex(static_cast<std::size_t>(index));
}

void AutomationController::onMoveSelectUpClicked()
{
    const std::size_t current = m_document->CurrentEventIndex();
    if (current > 0) {
        m_document->CurrentEventIndex(current - 1);
    }
}

void AutomationController::onMoveSelectDownClicked()
{
    m_document->CurrentEventIndex(m_document->CurrentEventIndex() + 1);
}

void AutomationController::MoveEventUp()
{
    try {
        m_document->MoveCurrentUp();
    } catch (const std::exception& e) {
        ReportError(QStringLiteral("Error"), What(e), kErrorType);
    }
    emit tarvCueFileOutOfSync();
}

void AutomationController::MoveEventDown()
{
    try {
        m_document->MoveCurrentDown();
    } catch (const std::exception& e) {
        ReportError(QStringLiteral("Error"), What(e), kErrorType);
    }
    emit tarvCueFileOutOfSync();
}

void AutomationController::AddWait(double waitTimeMs, int index)
{
    // The argument is in seconds despite its name: the wait editor's unit.
    const double milliseconds = waitTimeMs * 1000.0;
    if (!std::isfinite(milliseconds) || milliseconds < 0.0 ||
        milliseconds > double(std::numeric_limits<unsigned>::max()) || index < 0) {
        ReportError(QStringLiteral("Error"), QStringLiteral("The wait time is out of range."),
                    kErrorType);
        return;
    }
    try {
        m_document->InsertEvent(std::make_shared<Wait>(static_cast<unsigned>(milliseconds)),
                                static_cast<std::size_t>(index));
        emit tarvCueFileOutOfSync();
    } catch (const std::exception& e) {
        ReportError(QStringLiteral("Error"), What(e), kErrorType);
    }
}

void AutomationController::DeleteEvent(int index)
{
    if (index < 0 || static_cast<std::size_t>(index) >= m_document->Events().size()) {
        return;
    }
    try {
        const auto position = static_cast<std::size_t>(index);
        if (const auto entry = m_document->GetEvent(position); entry && entry->DisableDelete()) {
            ReportError(QStringLiteral("Locked Event"),
                        QStringLiteral("You are attempting to delete a locked event. Events that "
                                       "have been locked cannot be deleted."),
                        QStringLiteral("INFO"));
        }
        m_document->RemoveEvent(position);
        emit tarvCueFileOutOfSync();
    } catch (const std::exception& e) {
        ReportError(QStringLiteral("Error"), What(e), kErrorType);
    }
}

void AutomationController::EditEvent(int index)
{
    if (index < 0 || static_cast<std::size_t>(index) >= m_document->Events().size()) {
        return;
    }
    try {
        const auto entry = m_document->GetEvent(static_cast<std::size_t>(index));
        if (entry && entry->Type() == kWaitType) {
            ShowWaitConfig(index, std::dynamic_pointer_cast<Wait>(entry), true);
        } else if (entry && entry->Type() == kGroupType) {
            ShowCueConfig(index, std::dynamic_pointer_cast<EventGroup>(entry), true);
        } else {
            ReportError(QStringLiteral("Error Editing"),
                        QStringLiteral("Unknown Event Type Selected."), kErrorType);
        }
        emit tarvCueFileOutOfSync();
    } catch (const std::exception& e) {
        ReportError(QStringLiteral("Error Editing"), What(e), kErrorType);
    }
}

void AutomationController::NewWaitEvent(int index)
{
    ShowWaitConfig(index, nullptr, false);
    emit tarvCueFileOutOfSync();
}

void AutomationController::NewCueEvent(int index)
{
    ShowCueConfig(index, nullptr, false);
    emit tarvCueFileOutOfSync();
}

void AutomationController::ShowWaitConfig(int index, std::shared_ptr<Wait> event, bool edit)
{
    SetStopAllShortcutDisabled(true);
    try {
        ForgetEditorWindow(m_waitEditor ? m_waitEditor->Window() : nullptr);
        m_waitEditor.reset();
        m_waitEditor = std::make_unique<WaitConfigController>(
            m_engine, m_document.get(), std::move(event), index, edit, EditorParent());
        TrackEditorWindow(m_waitEditor->Window());
    } catch (const std::exception& e) {
        SetStopAllShortcutDisabled(false);
        ReportError(QStringLiteral("Error Editing"), What(e), kErrorType);
    }
}

void AutomationController::ShowCueConfig(int index, std::shared_ptr<EventGroup> event, bool edit)
{
    SetStopAllShortcutDisabled(true);
    try {
        ForgetEditorWindow(m_cueEditor ? m_cueEditor->Window() : nullptr);
        m_cueEditor.reset();
        m_cueEditor = std::make_unique<CueConfigController>(
            m_engine, m_document.get(), std::move(event), index, edit, EditorParent());
        if (m_sfxManager) {
            connect(m_cueEditor.get(), &CueConfigController::EditCustomAudioRequest,
                    m_sfxManager.get(), &qt::SfxManagerWindowController::editCustomAudioRequest);
            m_sfxManager->PropertyTool()->SetTransientParent(
                qobject_cast<QWindow*>(m_cueEditor->Window()));
            m_sfxManager->PropertyTool()->SetShowFolder(
                CurrentPath().isEmpty() ? QString() : QFileInfo(CurrentPath()).absolutePath());
        }
        TrackEditorWindow(m_cueEditor->Window());
    } catch (const std::exception& e) {
        SetStopAllShortcutDisabled(false);
        ReportError(QStringLiteral("Error Editing"), What(e), kErrorType);
    }
}

void AutomationController::ReleaseDocumentWindows()
{
    for (const QObject* window : {m_cueEditor ? m_cueEditor->Window() : nullptr,
                                  m_waitEditor ? m_waitEditor->Window() : nullptr}) {
        ForgetEditorWindow(window);
    }
    m_cueEditor.reset();
    m_waitEditor.reset();
    m_oscManager.reset();
    SetStopAllShortcutDisabled(false);
}

void AutomationController::ForgetEditorWindow(const QObject* window)
{
    // Its close or its deferred deletion must not switch the key back on
    // while the editor that replaces it is open.
    if (window) {
        disconnect(window, nullptr, this, nullptr);
    }
}

QQuickItem* AutomationController::EditorParent() const
{
    if (QQuickItem* item = ParentItem()) {
        return item;
    }
    auto* window = qobject_cast<QQuickWindow*>(parent());
    return window ? window->contentItem() : nullptr;
}

void AutomationController::TrackEditorWindow(QObject* window)
{
    auto* quickWindow = qobject_cast<QWindow*>(window);
    if (!quickWindow) {
        SetStopAllShortcutDisabled(false);
        return;
    }
    SetStopAllShortcutDisabled(true);
    // Whichever comes first, the close or the window's end, gives the key back.
    connect(quickWindow, SIGNAL(closing(QQuickCloseEvent*)), this, SLOT(onEditorClosing_()));
    connect(quickWindow, &QObject::destroyed, this, [this] { SetStopAllShortcutDisabled(false); });
}

void AutomationController::onEditorClosing_()
{
    SetStopAllShortcutDisabled(false);
}

void AutomationController::SetStopAllShortcutDisabled(bool disabled)
{
    setProperty("disableStopAllAudioShortcut", disabled);
}

QQuickItem* AutomationController::ParentItem() const
{
    QObject* owner = parent();
    return owner && owner->isQuickItemType() ? static_cast<QQuickItem*>(owner) : nullptr;
}

QWindow* AutomationController::ParentWindow() const
{
    QObject* owner = parent();
    if (auto* window = qobject_cast<QWindow*>(owner)) {
        return window;
    }
    if (QQuickItem* item = ParentItem()) {
        return item->window();
    }
    return nullptr;
}

// ---- GO and audio ----------------------------------------------------------

void AutomationController::Go()
{
    try {
        m_document->Go();
    } catch (const std::exception& e) {
        ReportError(QStringLiteral("Error"), What(e), kErrorType);
    }
}

void AutomationController::onStopAllClicked(bool isPanicMode)
{
    try {
        SfxPlayerController player;
        player.stop(isPanicMode);
        m_document->Cancel();
    } catch (const std::exception& e) {
        ReportError(QStringLiteral("Error"), What(e), kErrorType);
    }
}

void AutomationController::onStopAudioClicked()
{
    try {
        SfxPlayerController player;
        player.stop();
    } catch (const std::exception& e) {
        ReportError(QStringLiteral("Error"), What(e), kErrorType);
    }
}

void AutomationController::onPlayCustomAudio(const CustomAudioParameters* parameters)
{
    if (!parameters) {
        return;
    }
    try {
        m_player->play(*parameters);
    } catch (const std::exception& e) {
        ReportError(QStringLiteral("Error Playing Audio"), What(e), kErrorType);
    }
}

void AutomationController::onStopCustomAudio(const CustomAudioParameters* parameters)
{
    if (!parameters) {
        return;
    }
    try {
        m_player->stop(*parameters);
    } catch (const std::exception& e) {
        ReportError(QStringLiteral("Error Playing Audio"), What(e), kErrorType);
    }
}

// ---- sound-effect repositories ---------------------------------------------

void AutomationController::ConnectRepository(SfxRepository* repository)
{
    auto* inFile = dynamic_cast<TarvCueFileSfxRepository*>(repository);
    if (!inFile || !m_document) {
        return;
    }
    Automation* document = m_document.get();
    using Repository = TarvCueFileSfxRepository;
    connect(inFile, &Repository::saveSoundEffect, document, &Automation::onSaveSoundEffectRequested,
            Qt::UniqueConnection);
    connect(inFile, &Repository::getSoundEffects, document, &Automation::onGetSoundEffectsRequested,
            Qt::UniqueConnection);
    connect(inFile, &Repository::getSoundEffectById, document,
            &Automation::onGetSoundEffectByIdRequested, Qt::UniqueConnection);
    connect(inFile, &Repository::updateSoundEffect, document,
            &Automation::onUpdateSoundEffectRequested, Qt::UniqueConnection);
    connect(inFile, &Repository::deleteSoundEffect, document,
            &Automation::onRemoveSoundEffectRequested, Qt::UniqueConnection);
    connect(inFile, &Repository::nextEventId, document,
            &Automation::onNextSoundEffectEventIdRequested, Qt::UniqueConnection);
    connect(inFile, &Repository::previewEventId, document,
            &Automation::onPreviewSoundEffectEventIdRequested, Qt::UniqueConnection);

    // A changed instance is an edit like any other: through the machine, so
    // that the next save makes the list clean again.
    connect(inFile, &Repository::updateSoundEffect, this,
            &AutomationController::onSoundEffectInstancesChanged_, Qt::UniqueConnection);
    connect(inFile, &Repository::saveSoundEffect, this,
            &AutomationController::onSoundEffectInstancesChanged_, Qt::UniqueConnection);
    connect(inFile, &Repository::deleteSoundEffect, this,
            &AutomationController::onSoundEffectInstancesChanged_, Qt::UniqueConnection);
}

void AutomationController::onSoundEffectInstancesChanged_()
{
    emit tarvCueFileOutOfSync();
}

void AutomationController::onAutomationModelChanged()
{
    try {
        ConnectRepository(m_sharedRepository.get());
        std::promise<SfxRepository*> promise;
        std::future<SfxRepository*> answer = promise.get_future();
        emit activeRepositoryRequested(&promise);
        if (answer.wait_for(kRepositoryAnswerTimeout) == std::future_status::ready) {
            ConnectRepository(answer.get());
        } else {
            std::cerr << "The sound-effect player did not name its repository in time.\n";
        }
    } catch (const std::exception& e) {
        ReportError(QStringLiteral("SFX Error"), What(e), kErrorType);
    }
}

// ---- OSC server ------------------------------------------------------------

void AutomationController::RestartOscServer()
{
    m_oscServer.reset();
    if (!m_oscSettings.oscEnabled) {
        return;
    }
    try {
        // Only instances of the file that is open at the time may be played.
        auto callbacks = std::make_unique<CueOscCallbacks>([this](const std::string& eventId) {
            return m_document->GetSoundEffect(eventId).has_value();
        });
        WireOscCallbacks(callbacks);
        m_oscServer =
            std::make_unique<osc::OscServer>(m_oscSettings.oscListenPort, std::move(callbacks));
    } catch (const std::exception& e) {
        m_oscServer.reset();
        ReportError(QStringLiteral("OSC Server Error"), What(e), kErrorType);
    }
}

void AutomationController::WireOscCallbacks(std::unique_ptr<CueOscCallbacks>& callbacks)
{
    CueOscCallbacks* bridge = callbacks.get();
    connect(bridge, &CueOscCallbacks::Notification, this, &AutomationController::oscNotification);

    std::unique_ptr<SfxRepository> repository = std::make_unique<TarvCueFileSfxRepository>();
    ConnectRepository(repository.get());
    SfxPlayerControllerImpl* player = SfxPlayerControllerImpl::instance(repository);

    connect(
        bridge, &CueOscCallbacks::playSfx, bridge,
        [player](const std::string& eventId) { player->play(eventId); }, Qt::DirectConnection);
    connect(
        bridge, &CueOscCallbacks::stopSfx, bridge,
        [player](const std::string& eventId) { player->stop(eventId); }, Qt::DirectConnection);
    connect(
        bridge, &CueOscCallbacks::stopAllSfx, bridge, [player] { player->stop(); },
        Qt::DirectConnection);
    connect(
        bridge, &CueOscCallbacks::fadeSfx, bridge,
        [player](const std::string& eventId, double volume, float fadeTime) {
            player->FadeTo(eventId, static_cast<float>(volume), fadeTime);
        },
        Qt::DirectConnection);
}

void AutomationController::updateOscSettings(osc::OscSettings settings,
                                             std::vector<networking::NetworkPath> /*newNetworks*/)
{
    try {
        const int port = settings.oscListenPort;
        if (port < 1 || port > std::numeric_limits<quint16>::max()) {
            ReportError(QStringLiteral("OSC Server Error"),
                        QStringLiteral("The OSC listen port must be a number from 1 to 65535; "
                                       "%1 is not. The OSC settings were not changed.")
                            .arg(port),
                        kErrorType);
            return;
        }
        m_oscSettings = settings;
        osc::SaveOscSettings(m_oscSettings, osc::OscSettingsFilePath());
        RestartOscServer();
        emit tarvCueFileOutOfSync();
    } catch (const std::exception& e) {
        ReportError(QStringLiteral("OSC Server Error"), What(e), kErrorType);
    }
}

// ---- windows ---------------------------------------------------------------

void AutomationController::initOscManagerWindow()
{
    try {
        m_oscManager.reset();
        m_oscManager = std::make_unique<OscManagerController>(m_engine, m_oscSettings,
                                                              m_document.get(), EditorParent());
        connect(m_oscManager.get(), &OscManagerController::oscSettingsUpdated, this,
                &AutomationController::updateOscSettings);
        if (QObject* window = m_oscManager->Window()) {
            window->setProperty("visible", true);
        }
    } catch (const std::exception& e) {
        ReportError(QStringLiteral("Error"), What(e), kErrorType);
    }
}

void AutomationController::onSfxManagerClicked()
{
    try {
        if (m_sfxManager) {
            m_sfxManager->SetTransientParent(ParentWindow());
            m_sfxManager->ShowWindow();
        }
    } catch (const std::exception& e) {
        ReportError(QStringLiteral("SFX Error"), What(e), kErrorType);
    }
}

void AutomationController::CreateSfxManager()
{
    m_sfxManager.reset();
    m_sfxManager = std::make_unique<qt::SfxManagerWindowController>(m_engine, m_sharedRepository);
    connect(audio::SfxPlayerConnectionMediator::instance(),
            &audio::SfxPlayerConnectionMediator::onSfxIsReady, m_sfxManager.get(),
            &qt::SfxManagerWindowController::onSfxIsReady, Qt::UniqueConnection);
    // An open manager follows the file that is open, never the one before.
    // Queued: while the change is announced, the document it replaces is
    // still there to answer.
    connect(
        this, &AutomationController::automationModelChanged, m_sfxManager.get(),
        [this] {
            if (m_sfxManager->Window() != nullptr) {
                m_sfxManager->onSfxListUpdate();
            }
        },
        Qt::QueuedConnection);
}

void AutomationController::onAboutClicked()
{
    try {
        const QString version = QStringList{QString::number(TARV_CUE_VERSION_MAJOR),
                                            QString::number(TARV_CUE_VERSION_MINOR),
                                            QString::number(TARV_CUE_VERSION_PATCH)}
                                    .join(u'.');
        // The box held before goes once the new one exists.
        m_aboutWindow = std::make_unique<qt::AboutWindowController>(
            m_engine, ParentItem(), version, QStringLiteral("qrc:/images/cue_logo_long"),
            QStringLiteral(":/text/acknowledgements.txt"));
        QObject* const box = m_aboutWindow->Window();
        box->setProperty("visible", true);
        if (!QMetaObject::invokeMethod(box, "open"))
            throw std::runtime_error("The About box could not be opened.");
    } catch (const std::exception& e) {
        ReportError(QStringLiteral("Error Displaying About Box"), What(e), kErrorType);
    }
}

} // namespace tarv::automation
