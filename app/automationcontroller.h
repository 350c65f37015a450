#pragma once

#include "automation/networkpath.h"
#include "osc/oscsettings.h"

#include <future>
#include <memory>
#include <QAbstractListModel>
#include <QAbstractState>
#include <QObject>
#include <QPointer>
#include <QQmlApplicationEngine>
#include <QString>
#include <vector>

class QQuickItem;
class QStateMachine;
class QWindow;

namespace tarv {
class CueOscCallbacks;
}

namespace tarv::audio {
class CustomAudioParameters;
class SfxPlayerController;
class SfxRepository;
} // namespace tarv::audio

namespace tarv::osc {
class OscServer;
}

namespace tarv::qt {
class SfxManagerWindowController;
class AboutWindowController;
}

namespace tarv::automation {

class Automation;
class AutomationModel;
class CueConfigController;
class EventGroup;
class OscManagerController;
class Wait;
class WaitConfigController;

// The main controller, declared by the main window in QML. It owns the open
// cue list and everything that works on it: the list model, the sound-effect
// player handle, the OSC server and the window controllers it opens. A
// two-state machine (clean, dirty) tracks unsaved changes; nothing the
// operator has not saved is dropped without asking first.
//
// Every slot reachable from QML catches what the layers below throw and
// reports it through error(title, text, type).
class AutomationController : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QAbstractListModel* MainModel READ MainModel NOTIFY automationModelChanged)
    Q_PROPERTY(QQmlApplicationEngine* engine READ engine WRITE setEngine NOTIFY engineChanged)
    Q_PROPERTY(QString currentPath READ CurrentPath WRITE CurrentPath NOTIFY currentPathChanged)
    Q_PROPERTY(bool unsavedChanges READ unsavedChanges WRITE setUnsavedChanges NOTIFY
                   unsavedChangesChanged)
    Q_PROPERTY(bool closingDeferred READ closingDeferred WRITE setClosingDeferred NOTIFY
                   closingDeferredChanged)
    Q_PROPERTY(bool newFileDeferred READ newFileDeferred WRITE setNewFileDeferred NOTIFY
                   newFileDeferredChanged)
    Q_PROPERTY(
        QAbstractState* activeState READ activeState WRITE setActiveState NOTIFY activeStateChanged)

public:
    // The listen port in force until a settings file says otherwise.
    static constexpr int DefaultListenPort = 55036;

    explicit AutomationController(QObject* parent = nullptr);
    ~AutomationController() override;

    QAbstractListModel* MainModel() const;
    QQmlApplicationEngine* engine() const;
    void setEngine(QQmlApplicationEngine* engine);
    bool unsavedChanges() const;
    void setUnsavedChanges(bool value);
    bool closingDeferred() const;
    void setClosingDeferred(bool value);
    bool newFileDeferred() const;
    void setNewFileDeferred(bool value);
    QAbstractState* activeState() const;
    void setActiveState(QAbstractState* state);

    // The open cue list; valid until the next New or Load replaces it.
    Automation& Document() const;
    const osc::OscSettings& OscSettings() const;

signals:
    void error(QString title, QString text, QString type);
    void automationModelChanged();
    void playCustomAudio(std::shared_ptr<tarv::audio::CustomAudioParameters> parameters);
    void engineChanged();
    void activeRepositoryRequested(std::promise<tarv::audio::SfxRepository*>* promise);
    void oscNotification();
    void currentEventIndexChanged(int index);
    void currentPathChanged();
    void tarvCueFileOutOfSync();
    void tarvCueFileSaved();
    void saveOnClose();
    void activeStateChanged();
    void unsavedChangesChanged();
    void closingDeferredChanged();
    void saveOnNew();
    void newFileDeferredChanged();

public slots:
    void Load(QString path);
    // With unsaved changes the operator is asked first, as for New.
    void Load(QString path, bool isLocal);
    void New();
    // Returns whether the file was written; a failed save keeps the list
    // dirty, its path unchanged and the program running.
    bool Save(bool isLocal, QString path);
    bool Save(bool isLocal);
    void Go();
    void initOscManagerWindow();
    void updateOscSettings(tarv::osc::OscSettings settings,
                           std::vector<tarv::networking::NetworkPath> newNetworks);
    void SetCurrentEventIndex(int index);
    void AddWait(double waitTimeMs, int index);
    void DeleteEvent(int index);
    void EditEvent(int index);
    void NewWaitEvent(int index);
    void NewCueEvent(int index);
    void MoveEventUp();
    void MoveEventDown();
    QString CurrentPath() const;
    void CurrentPath(QString val);
    void ShowWaitConfig(int index, std::shared_ptr<tarv::automation::Wait> event, bool edit);
    void ShowCueConfig(int index, std::shared_ptr<tarv::automation::EventGroup> event, bool edit);
    void onPlayCustomAudio(const tarv::audio::CustomAudioParameters* parameters);
    void onStopCustomAudio(const tarv::audio::CustomAudioParameters* parameters);
    void onAutomationModelChanged();
    void onSfxManagerClicked();
    void onAboutClicked();
    void onStopAllClicked(bool isPanicMode);
    void onStopAudioClicked();
    void onMoveSelectUpClicked();
    void onMoveSelectDownClicked();
    void onClosing();
    void onNew();
    void exit(int returnCode);
    void exit();
    void onSaveOnNewComplete();
    void deleteSavePromptDialog();

private slots:
    void onContinueWithoutSaving_();
    void onPromptDismissed_();
    void onSoundEffectInstancesChanged_();
    void onReadyToReport_();
    void onEditorClosing_();

private:
    void RestartOscServer();
    void WireOscCallbacks(std::unique_ptr<tarv::CueOscCallbacks>& callbacks);
    void ConnectRepository(tarv::audio::SfxRepository* repository);
    void CreateSfxManager();

    void BuildStateMachine();
    void BuildDefaultCueList(Automation& document) const;
    void ConnectDocument(Automation& document);
    // Makes `document` the open one: the model moves to it first, then the
    // previous document and model go, model before document.
    void InstallDocument(std::unique_ptr<Automation> document);
    void BuildNewCueList();
    void OpenFile(const QString& filePath);
    void PreloadAudio();

    // Drops the window controllers that point into the open document (the
    // editors and the OSC manager) and switches the stop-all key back on.
    void ReleaseDocumentWindows();
    // Switches the stop-all key off while `window` is open and back on when
    // it closes; a window that does not exist leaves the key on.
    void TrackEditorWindow(QObject* window);
    void SetStopAllShortcutDisabled(bool disabled);
    QQuickItem* ParentItem() const;
    // What the editors are opened over: the parent item, or the content of
    // the parent window, so that they are transient for the main window.
    QQuickItem* EditorParent() const;
    // Stops listening to an editor's window that is about to be replaced.
    void ForgetEditorWindow(const QObject* window);
    QWindow* ParentWindow() const;

    // The unsaved-changes prompt: its answers are wired by the caller; a
    // dismissal withdraws the command that asked. Null when it could not be
    // created.
    QObject* OpenSavePrompt(const QString& acceptText, const QString& cancelText);
    void ReportError(const QString& title, const QString& text, const QString& type);

    std::unique_ptr<Automation> m_document;
    std::shared_ptr<audio::SfxRepository> m_sharedRepository;
    std::unique_ptr<AutomationModel> m_model;
    std::unique_ptr<audio::SfxPlayerController> m_player;
    // Window controllers opened on demand sit here, each in its own
    // std::unique_ptr, replaced when their window is opened again.
    std::unique_ptr<CueConfigController> m_cueEditor;
    std::unique_ptr<WaitConfigController> m_waitEditor;
    std::unique_ptr<OscManagerController> m_oscManager;
    // Made when the engine is set; it owns the sound editors' controller.
    std::unique_ptr<qt::SfxManagerWindowController> m_sfxManager;
    std::unique_ptr<osc::OscServer> m_oscServer;
    std::unique_ptr<qt::AboutWindowController> m_aboutWindow;
    osc::OscSettings m_oscSettings{true, DefaultListenPort};
    QString m_currentPath;
    QQmlApplicationEngine* m_engine = nullptr;
    std::unique_ptr<QStateMachine> m_stateMachine;
    QAbstractState* m_activeState = nullptr;
    bool m_unsavedChanges = false;
    bool m_closingDeferred = false;
    bool m_newFileDeferred = false;

    // The file that an unsaved-changes prompt holds back, opened once the
    // operator has answered; empty when the prompt is for a new list.
    QString m_deferredOpenPath;
    QPointer<QObject> m_prompt;
    // Errors raised before the window can show them (while it is being
    // built) wait here until the event loop runs.
    struct PendingError
    {
        QString title;
        QString text;
        QString type;
    };
    std::vector<PendingError> m_pendingErrors;
    bool m_readyToReport = false;
};

} // namespace tarv::automation
