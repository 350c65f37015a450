#pragma once

#include "automation/networkpath.h"
#include "osc/oscsettings.h"
#include "qt/networklistmodel.h"
#include "qt/qmlcontroller.h"

#include <memory>
#include <optional>
#include <QString>
#include <vector>

class QQmlEngine;
class QQuickItem;

namespace tarv::automation {

class Automation;

// Runs the OSC manager: whether OSC commands are received and on which port,
// and the cue list's network destinations, edited as a working copy that
// reaches the document only when the manager is confirmed.
class OscManagerController : public qt::QmlController
{
    Q_OBJECT

public:
    OscManagerController(QQmlEngine* engine, osc::OscSettings settings, Automation* document,
                         QQuickItem* parent);
    ~OscManagerController() override;

    // A whole number from 1 to 65535, blanks around it allowed; nothing for
    // any other text.
    static std::optional<int> ListenPort(const QString& text);

signals:
    void oscSettingsUpdated(tarv::osc::OscSettings settings,
                            std::vector<tarv::networking::NetworkPath>& newNetworks);
    void requestEventIdUpdate(bool onlyFillBlanks);

private slots:
    void onOkayClicked_();
    void onCreateNetwork_(QString ip, int port, QString mode, QString name);
    void onEditNetwork_(int index, QString ip, int port, QString mode, QString name,
                        QString networkId);
    void onIdFillBlank_();

private:
    void Apply();

    std::unique_ptr<qt::NetworkListModel> m_networkModel;
    Automation* m_document;
};

} // namespace tarv::automation
