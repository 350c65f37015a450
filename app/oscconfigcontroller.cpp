#include "app/oscconfigcontroller.h"

#include "automation/automation.h"
#include "automation/eventgroup.h"
#include "automation/oscevent.h"

#include <exception>
#include <iostream>
#include <QQuickItem>
#include <QUrl>

namespace tarv::automation {

namespace {

const QUrl kDocument(
    QStringLiteral("qrc:/qt/qml/com/quillonworks/automation_tool_ui/qml/OscConfigWindow.qml"));

} // namespace

OscConfigController::OscConfigController(QQmlEngine* engine, Automation* document,
                                         EventGroup* group, std::shared_ptr<Osc> event,
                                         unsigned int index, bool isEdit, QQuickItem* parent)
    : QmlController(engine, kDocument, parent, true, {})
    , m_group(group)
    , m_event(std::move(event))
    , m_isEdit(isEdit)
    , m_index(index)
    , m_document(document)
{
    static const std::vector<networking::NetworkPath> noNetworks;
    const auto& networks = m_document ? m_document->GetNetworks() : noNetworks;
    m_networkModel = std::make_unique<qt::NetworkListModel>(networks);
    if (!m_event) {
        m_event = std::make_shared<Osc>(m_document ? &m_document->GetNetworks() : nullptr);
    }

    QObject* window = Window();
    if (!window) {
        return;
    }
    window->setProperty("networkModel",
                        QVariant::fromValue(static_cast<QObject*>(m_networkModel.get())));
    window->setProperty("oscCommand", m_event->Message());
    const QString networkId = m_event->NetworkId();
    for (std::size_t row = 0; row < networks.size(); ++row) {
        if (QString::fromStdString(networks[row].network_id) == networkId) {
            window->setProperty("networkIndex", static_cast<int>(row));
        }
    }
    window->setProperty("visible", true);
    connect(window, SIGNAL(accepted()), this, SLOT(onAccepted_()));
}

OscConfigController::~OscConfigController() = default;

void OscConfigController::onAccepted_()
{
    try {
        Accept();
    } catch (const std::exception& e) {
        std::cerr << "Unable to store the OSC event: " << e.what() << "\n";
    }
}

void OscConfigController::Accept()
{
    // A window accepted twice must not put a new event into the cue twice.
    QObject* window = Window();
    if (m_accepted || !window || !m_group) {
        return;
    }
    m_accepted = true;

    // No destination chosen (an empty list) reads as an invalid value: the
    // empty id, which matches no destination.
    m_event->NetworkId(window->property("oscNetwork").toString());
    m_event->Message(window->property("oscCommand").toString());
    emit m_group->eventsUpdated(m_group);
    if (!m_isEdit) {
        m_group->InsertEvent(m_event, m_index);
        m_group->CurrentEventIndex(m_index);
    }
    window->setProperty("visible", false);
}

} // namespace tarv::automation
