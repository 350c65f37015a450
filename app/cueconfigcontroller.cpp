#include "app/cueconfigcontroller.h"

#include "app/automationmodel.h"
#include "app/oscconfigcontroller.h"
#include "automation/automation.h"
#include "automation/customaudio.h"
#include "automation/eventgroup.h"
#include "automation/eventtypes.h"
#include "automation/oscevent.h"
#include "sfx/customaudioparameters.h"
#include "sfx/sfxplayerconnectionmediator.h"

#include <algorithm>
#include <exception>
#include <iostream>
#include <QFileInfo>
#include <QQuickItem>
#include <QQuickWindow>
#include <stdexcept>

namespace tarv::automation {

namespace {

const QUrl kDocument(
    QStringLiteral("qrc:/qt/qml/com/quillonworks/automation_tool_ui/qml/GroupConfigWindow.qml"));

bool IsAcceptedAudioFile(const QString& localPath)
{
    const QFileInfo info(localPath);
    const QString suffix = info.suffix().toLower();
    return info.exists() && info.isFile() &&
           (suffix == QLatin1String("wav") || suffix == QLatin1String("mp3"));
}

} // namespace

CueConfigController::CueConfigController(QQmlEngine* engine, Automation* automation,
                                         std::shared_ptr<EventGroup> event, int index, bool edit,
                                         QObject* parent)
    : QmlController(engine, kDocument, qobject_cast<QQuickItem*>(parent), true, {})
    , m_engine(engine)
    , m_document(automation)
    , m_cue(std::move(event))
    , m_edit(edit && m_cue)
    , m_index(index)
{
    if (!m_edit) {
        m_cue = std::make_shared<EventGroup>();
    }
    m_model = std::make_unique<AutomationModel>(m_cue.get(), nullptr);

    QObject* window = Window();
    if (!window) {
        return;
    }
    connect(window, SIGNAL(addNewOsc(int)), this, SLOT(addNewOsc_(int)));
    connect(window, SIGNAL(addNewAudio(int, QUrl)), this, SLOT(addNewAudio_(int, QUrl)));
    connect(window, SIGNAL(deleteEvent(int)), this, SLOT(deleteEvent_(int)));
    connect(window, SIGNAL(moveUp(int)), this, SLOT(moveUp_(int)));
    connect(window, SIGNAL(moveDown(int)), this, SLOT(moveDown_(int)));
    connect(window, SIGNAL(editEvent(int)), this, SLOT(editEvent_(int)));

    if (m_edit) {
        window->setProperty("number", m_cue->Number());
        window->setProperty("name", m_cue->Name());
        window->setProperty("act", m_cue->Act());
        window->setProperty("scene", m_cue->Scene());
        window->setProperty("cueLine", m_cue->CueLine());
        window->setProperty("disableEvent", m_cue->Status() == kDisabledStatus);
        window->setProperty("disableDelete", m_cue->DisableDelete());
    } else {
        window->setProperty("name", QStringLiteral("New Cue"));
        for (const char* field : {"number", "act", "scene", "cueLine"}) {
            window->setProperty(field, QString());
        }
    }
    window->setProperty("mainModel",
                        QVariant::fromValue(static_cast<QAbstractListModel*>(m_model.get())));
    window->setProperty("visible", true);
    connect(window, SIGNAL(accepted()), this, SLOT(onAccepted_()));
}

CueConfigController::~CueConfigController()
{
    m_oscEditor.reset();
    m_cue.reset();
    m_model.reset();
    m_message.reset();
}

bool CueConfigController::Locked() const
{
    const QObject* window = Window();
    return window && window->property("disableDelete").toBool();
}

int CueConfigController::EventCount() const
{
    return static_cast<int>(m_cue->Events().size());
}

void CueConfigController::addNewOsc_(int index)
{
    if (Locked() || !m_document) {
        return;
    }
    try {
        auto osc = std::make_shared<Osc>(&m_document->GetNetworks());
        m_cue->InsertEvent(osc, static_cast<std::size_t>(std::max(index, 0)));
    } catch (const std::exception& e) {
        std::cerr << "Unable to insert an OSC event: " << e.what() << "\n";
    }
}

void CueConfigController::addNewAudio_(int index, QUrl audioFileUrl)
{
    if (Locked() || !m_document) {
        return;
    }
    try {
        AddAudio(index, audioFileUrl);
    } catch (const std::exception& e) {
        DisplayMessage_(QStringLiteral("Unable to insert audio file. ") +
                            QString::fromLocal8Bit(e.what()),
                        QStringLiteral("Error"), qt::DialogWindowController::Error);
    }
}

void CueConfigController::AddAudio(int index, const QUrl& audioFileUrl)
{
    auto builder = audio::CustomAudioParameters::builder();
    QString name;
    const bool hasFile = !audioFileUrl.toString().isEmpty();
    const QString localPath = audioFileUrl.toLocalFile();
    if (hasFile) {
        if (!IsAcceptedAudioFile(localPath)) {
            throw std::runtime_error("Invalid file type.");
        }
        builder.file(localPath).pan(0.5).volume(0.5).command(audio::CustomAudioCommand::Play);
        name = QStringLiteral("Play Audio File ") + QFileInfo(localPath).fileName();
    }

    auto event = std::make_shared<CustomAudio>(builder.build(), 0);
    event->Name(name);
    const int at = std::max(index, 0) > EventCount() ? 0 : std::max(index, 0);
    m_cue->InsertEvent(event, static_cast<std::size_t>(at));
    connect(event.get(), &CustomAudio::requestPlay, m_document, &Automation::onRequestPlay);
    connect(event.get(), &CustomAudio::requestStop, m_document, &Automation::onRequestStop);

    if (hasFile) {
        audio::SfxPlayerConnectionMediator::instance()->preloadCustomAudio(localPath);
    }
}

void CueConfigController::deleteEvent_(int index)
{
    if (Locked() || index < 0 || index >= EventCount()) {
        return;
    }
    m_cue->RemoveEvent(static_cast<std::size_t>(index));
}

void CueConfigController::moveUp_(int index)
{
    if (Locked() || index <= 0 || index >= EventCount()) {
        return;
    }
    m_cue->MoveUp(static_cast<std::size_t>(index));
}

void CueConfigController::moveDown_(int index)
{
    if (Locked() || index < 0 || index >= EventCount() - 1) {
        return;
    }
    m_cue->MoveDown(static_cast<std::size_t>(index));
}

void CueConfigController::editEvent_(int index)
{
    if (Locked() || index < 0 || index >= EventCount()) {
        return;
    }
    try {
        EditEvent(index);
    } catch (const std::exception& e) {
        DisplayMessage_(QString::fromLocal8Bit(e.what()), QStringLiteral("Error"),
                        qt::DialogWindowController::Error);
    }
}

void CueConfigController::EditEvent(int index)
{
    const auto event = m_cue->GetEvent(static_cast<std::size_t>(index));
    if (!event) {
        return;
    }
    const QString type = event->Type();
    if (type == kOscType) {
        // The OSC editor belongs to the cue editor's window: it is transient
        // for it and blocks it while open.
        auto* window = qobject_cast<QQuickWindow*>(Window());
        m_oscEditor = std::make_unique<OscConfigController>(
            m_engine, m_document, m_cue.get(), std::dynamic_pointer_cast<Osc>(event),
            static_cast<unsigned>(index), true, window ? window->contentItem() : nullptr);
    } else if (type == kAudioType) {
        emit EditCustomAudioRequest(std::dynamic_pointer_cast<CustomAudio>(event));
    }
}

void CueConfigController::DisplayMessage_(QString msg, QString title,
                                          qt::DialogWindowController::DialogType type)
{
    m_message = std::make_unique<qt::DialogWindowController>(msg.toStdString(), title.toStdString(),
                                                             type, Window(), m_engine);
}

void CueConfigController::onAccepted_()
{
    try {
        Accept();
    } catch (const std::exception& e) {
        std::cerr << "Unable to store the cue: " << e.what() << "\n";
    }
}

void CueConfigController::Accept()
{
    // A window accepted twice must not put the new cue into the list twice.
    QObject* window = Window();
    if (m_accepted || !window || !m_document) {
        return;
    }
    m_accepted = true;

    m_cue->Number(window->property("number").toString());
    m_cue->Name(window->property("name").toString());
    m_cue->Act(window->property("act").toString());
    m_cue->Scene(window->property("scene").toString());
    m_cue->CueLine(window->property("cueLine").toString());
    m_cue->Status(window->property("disableEvent").toBool() ? QString(kDisabledStatus) : QString());
    m_cue->DisableDelete(window->property("disableDelete").toBool());

    const auto count = m_document->Events().size();
    if (m_edit) {
        emit m_document->eventsUpdated(m_document);
        m_document->CurrentEventIndex(0);
        if (m_index >= 0) {
            m_document->CurrentEventIndex(static_cast<std::size_t>(m_index));
        }
    } else {
        // The list puts an entry asked for past its end at the top; the new
        // cue becomes current wherever it went.
        const std::size_t at =
            m_index < 0 || static_cast<std::size_t>(m_index) > count ? 0 : m_index;
        m_document->InsertEvent(m_cue, at);
        m_document->CurrentEventIndex(at);
    }
    window->setProperty("visible", false);
}

} // namespace tarv::automation
