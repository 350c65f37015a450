#include "app/oscmanagercontroller.h"

#include "automation/automation.h"
#include "automation/eventgroup.h"
#include "automation/oscevent.h"

#include <exception>
#include <iostream>
#include <QSet>
#include <QUrl>
#include <string>

namespace tarv::automation {

namespace {

const QUrl kDocument(
    QStringLiteral("qrc:/qt/qml/com/quillonworks/automation_tool_ui/qml/OscManagerWindow.qml"));

// Every network id that an OSC event of `group` or of a group inside it
// names. The cue file reader caps how deeply groups nest.
void CollectNamedNetworkIds(const EventGroup& group, QSet<QString>& ids)
{
    for (const auto& event : group.Events()) {
        if (const auto* osc = dynamic_cast<const Osc*>(event.get())) {
            ids.insert(osc->NetworkId());
        } else if (const auto* inner = dynamic_cast<const EventGroup*>(event.get())) {
            CollectNamedNetworkIds(*inner, ids);
        }
    }
}

} // namespace

OscManagerController::OscManagerController(QQmlEngine* engine, osc::OscSettings settings,
                                           Automation* document, QQuickItem* parent)
    : QmlController(engine, kDocument, parent, true, {})
    , m_document(document)
{
    m_networkModel = std::make_unique<qt::NetworkListModel>(
        m_document ? m_document->GetNetworks() : std::vector<networking::NetworkPath>{});

    QObject* window = Window();
    if (!window) {
        return;
    }
    window->setProperty("oscListenPortString",
                        QString::fromStdString(std::to_string(settings.oscListenPort)));
    window->setProperty("oscEnabled",
                        settings.oscEnabled ? QStringLiteral("1") : QStringLiteral("0"));
    window->setProperty("networkModel",
                        QVariant::fromValue(static_cast<QObject*>(m_networkModel.get())));
    connect(window, SIGNAL(okay()), this, SLOT(onOkayClicked_()));
    connect(window, SIGNAL(createNetwork(QString, int, QString, QString)), this,
            SLOT(onCreateNetwork_(QString, int, QString, QString)));
    connect(window, SIGNAL(editNetwork(int, QString, int, QString, QString, QString)), this,
            SLOT(onEditNetwork_(int, QString, int, QString, QString, QString)));
    connect(window, SIGNAL(idFill()), this, SLOT(onIdFillBlank_()));
}

OscManagerController::~OscManagerController() = default;

std::optional<int> OscManagerController::ListenPort(const QString& text)
{
    const QString trimmed = text.trimmed();
    bool digitsOnly = !trimmed.isEmpty();
    for (const QChar c : trimmed) {
        digitsOnly = digitsOnly && c >= QLatin1Char('0') && c <= QLatin1Char('9');
    }
    bool ok = false;
    const long port = digitsOnly ? trimmed.toLong(&ok, 10) : 0;
    if (!ok || port < 1 || port > 65535) {
        return std::nullopt;
    }
    return static_cast<int>(port);
}

void OscManagerController::onCreateNetwork_(QString ip, int port, QString mode, QString name)
{
    auto item = std::make_shared<qt::NetworkItem>();
    item->IpAddress(ip);
    item->Port(port);
    item->Mode(mode);
    item->Name(name);
    // An id that events still name, though its destination was deleted,
    // would silently send their commands to the new destination.
    QSet<QString> named;
    if (m_document) {
        CollectNamedNetworkIds(*m_document, named);
    }
    item->NetworkId(m_networkModel->NextNetworkId(named));
    m_networkModel->AddNetwork(std::move(item));
}

void OscManagerController::onEditNetwork_(int index, QString ip, int port, QString mode,
                                          QString name, QString networkId)
{
    const auto item = m_networkModel->Network(index);
    if (!item) {
        return;
    }
    item->IpAddress(ip);
    item->Port(port);
    item->Mode(mode);
    item->Name(name);
    item->NetworkId(networkId);
    m_networkModel->RefreshRow(index);
}

void OscManagerController::onIdFillBlank_()
{
    emit requestEventIdUpdate(true);
}

void OscManagerController::onOkayClicked_()
{
    try {
        Apply();
    } catch (const std::exception& e) {
        std::cerr << "Unable to apply the OSC settings: " << e.what() << "\n";
    }
}

void OscManagerController::Apply()
{
    QObject* window = Window();
    if (!window || !m_document) {
        return;
    }
    // The window refuses such a port too; a port that cannot be listened on
    // is never saved.
    const auto port = ListenPort(window->property("oscListenPortString").toString());
    if (!port) {
        std::cerr << "OSC listening port refused: not a whole number from 1 to 65535\n";
        return;
    }
    const osc::OscSettings settings(window->property("oscEnabled").toBool(), *port);

    std::vector<networking::NetworkPath> networks;
    for (int row = 0; row < m_networkModel->rowCount(); ++row) {
        networking::NetworkPath path;
        path.name = m_networkModel->dataStr(row, QStringLiteral("name")).toString().toStdString();
        path.network_id =
            m_networkModel->dataStr(row, QStringLiteral("networkId")).toString().toStdString();
        path.ip_address =
            m_networkModel->dataStr(row, QStringLiteral("ipAddress")).toString().toStdString();
        path.port = m_networkModel->dataStr(row, QStringLiteral("port")).toInt();
        path.mode =
            m_networkModel->dataStr(row, QStringLiteral("mode")).toString() == QLatin1String("tcp")
                ? 1
                : 0;
        networks.push_back(std::move(path));
    }
    // OSC events keep a pointer to the document's list: it is refilled in
    // place, never replaced.
    m_document->GetNetworks() = networks;
    emit oscSettingsUpdated(settings, networks);
    window->setProperty("visible", false);
}

} // namespace tarv::automation
