#pragma once

#include "qt/dialogwindowcontroller.h"
#include "qt/qmlcontroller.h"

#include <memory>
#include <QString>
#include <QUrl>

class QObject;
class QQmlEngine;

namespace tarv::automation {

class Automation;
class AutomationModel;
class CustomAudio;
class EventGroup;
class OscConfigController;

// Runs the cue editor for one cue: a new cue, which joins the cue list only
// when the editor is accepted, or a cue of the list. Changes to the cue's
// event list take effect at once; its header fields wait for acceptance.
class CueConfigController : public qt::QmlController
{
    Q_OBJECT

public:
    CueConfigController(QQmlEngine* engine, Automation* automation,
                        std::shared_ptr<EventGroup> event, int index, bool edit, QObject* parent);
    ~CueConfigController() override;

    // The cue being edited (a new one until it is accepted into the list).
    std::shared_ptr<EventGroup> Cue() const { return m_cue; }
    // The OSC event editor last opened from this cue, or null.
    OscConfigController* OscEditor() const { return m_oscEditor.get(); }

signals:
    void EditCustomAudioRequest(std::shared_ptr<tarv::automation::CustomAudio> event);

private slots:
    void onAccepted_();
    void addNewOsc_(int index);
    void addNewAudio_(int index, QUrl audioFileUrl);
    void deleteEvent_(int index);
    void DisplayMessage_(QString msg, QString title,
                         tarv::qt::DialogWindowController::DialogType type);
    void moveUp_(int index);
    void moveDown_(int index);
    void editEvent_(int index);

private:
    void Accept();
    void AddAudio(int index, const QUrl& audioFileUrl);
    void EditEvent(int index);
    // The window's "Lock Cue" box: a locked cue's list takes no changes.
    bool Locked() const;
    // Rows of the cue, as the window's int indexes compare with them.
    int EventCount() const;

    QQmlEngine* m_engine;
    Automation* m_document;
    std::unique_ptr<qt::DialogWindowController> m_message;
    std::unique_ptr<AutomationModel> m_model;
    std::shared_ptr<EventGroup> m_cue;
    bool m_edit;
    int m_index;
    std::unique_ptr<OscConfigController> m_oscEditor;
    bool m_accepted = false;
};

} // namespace tarv::automation
