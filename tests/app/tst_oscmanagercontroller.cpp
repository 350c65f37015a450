#include "app/oscmanagercontroller.h"
#include "automation/automation.h"
#include "automation/eventgroup.h"
#include "automation/oscevent.h"
#include "editortesthelpers.h"

#include <QSignalSpy>
#include <QtQml/QQmlExtensionPlugin>

Q_IMPORT_QML_PLUGIN(com_quillonworks_tarv_uiPlugin)
Q_IMPORT_QML_PLUGIN(com_quillonworks_automation_tool_uiPlugin)

using namespace tarv::automation;
using namespace tarv::testing;
using tarv::networking::NetworkPath;
using tarv::osc::OscSettings;

namespace {

// What the controller handed on when it was confirmed.
struct Confirmation
{
    explicit Confirmation(OscManagerController& controller)
    {
        QObject::connect(&controller, &OscManagerController::oscSettingsUpdated,
                         [this](OscSettings settings, std::vector<NetworkPath>& networks) {
                             ++count;
                             this->settings = settings;
                             this->networks = networks;
                         });
    }

    int count = 0;
    OscSettings settings;
    std::vector<NetworkPath> networks;
};

} // namespace

class TestOscManagerController : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_engine = MakeEngine();
        m_document = std::make_unique<Automation>();
        NetworkPath tcp;
        tcp.name = "Desk";
        tcp.network_id = "NETWORK2";
        tcp.mode = 1;
        m_document->GetNetworks() = {NetworkPath(), tcp};
    }

    void cleanup()
    {
        m_document.reset();
        m_engine.reset();
    }

    void createEditAndOkayReachTheDocument()
    {
        OscManagerController controller(m_engine.get(), OscSettings(true, 55037), m_document.get(),
                                        nullptr);
        Confirmation updated(controller);
        QQuickWindow* window = WindowOf(controller);
        QCOMPARE(window->property("oscListenPortString").toString(), "55037");
        QMetaObject::invokeMethod(window, "createNetwork", Q_ARG(QString, "10.0.0.9"),
                                  Q_ARG(int, 9100), Q_ARG(QString, "udp"),
                                  Q_ARG(QString, "Lights"));
        QMetaObject::invokeMethod(window, "editNetwork", Q_ARG(int, 1), Q_ARG(QString, "10.0.0.2"),
                                  Q_ARG(int, 7000), Q_ARG(QString, "tcp"), Q_ARG(QString, "Desk 2"),
                                  Q_ARG(QString, "NETWORK2"));
        window->setProperty("oscListenPortString", " 9000 ");
        window->setProperty("oscEnabled", false);
        QMetaObject::invokeMethod(window, "okay");

        QCOMPARE(updated.count, 1);
        QCOMPARE(updated.settings.oscEnabled, false);
        QCOMPARE(updated.settings.oscListenPort, 9000);
        QCOMPARE(updated.networks, m_document->GetNetworks());
        const auto& networks = m_document->GetNetworks();
        QCOMPARE(networks.size(), 3u);
        QCOMPARE(networks[1].name, "Desk 2");
        QCOMPARE(networks[1].mode, 1); // the tcp row stays tcp
        QCOMPARE(networks[1].port, 7000);
        QCOMPARE(networks[2].network_id, "NETWORK3");
        QCOMPARE(networks[2].ip_address, "10.0.0.9");
        QCOMPARE(networks[2].mode, 0);
        QVERIFY(!window->isVisible());
    }

    // A deleted destination's id stays with the OSC events that still name
    // it: a new destination must not pick them up.
    void newDestinationSkipsIdsThatEventsName()
    {
        NetworkPath lighting;
        lighting.name = "Lighting desk";
        lighting.network_id = "NETWORK1";
        m_document->GetNetworks() = {lighting};
        auto cue = std::make_shared<EventGroup>();
        for (const char* id : {"NETWORK1", "NETWORK0"}) {
            auto osc = std::make_shared<Osc>(&m_document->GetNetworks());
            osc->NetworkId(QString::fromLatin1(id));
            cue->AddEvent(osc);
        }
        m_document->AddEvent(cue);

        OscManagerController controller(m_engine.get(), OscSettings(true, 55037), m_document.get(),
                                        nullptr);
        QQuickWindow* window = WindowOf(controller);
        window->setVisible(true);
        QVERIFY(Activate(window));
        QTest::mouseClick(window, Qt::LeftButton, {},
                          Child(window, "deleteButton")->mapToScene({5, 5}).toPoint());
        QMetaObject::invokeMethod(window, "createNetwork", Q_ARG(QString, "10.0.0.7"),
                                  Q_ARG(int, 9000), Q_ARG(QString, "udp"),
                                  Q_ARG(QString, "Sound desk"));
        QMetaObject::invokeMethod(window, "okay");
        const auto& networks = m_document->GetNetworks();
        QCOMPARE(networks.size(), 1u);
        QCOMPARE(networks[0].name, "Sound desk");
        QCOMPARE(networks[0].network_id, "NETWORK2");
    }

    void deleteThenCancelChangesNothing()
    {
        const auto before = m_document->GetNetworks();
        OscManagerController controller(m_engine.get(), OscSettings(true, 55037), m_document.get(),
                                        nullptr);
        Confirmation updated(controller);
        QQuickWindow* window = WindowOf(controller);
        window->setVisible(true);
        QVERIFY(Activate(window));
        QTest::mouseClick(window, Qt::LeftButton, {},
                          Child(window, "deleteButton")->mapToScene({5, 5}).toPoint());
        QTest::keyClick(window, Qt::Key_Escape);
        QVERIFY(!window->isVisible());
        QCOMPARE(updated.count, 0);
        QCOMPARE(m_document->GetNetworks(), before);
    }

    void refusedPortAppliesNothing_data()
    {
        QTest::addColumn<QString>("port");
        QTest::newRow("letters") << "abc";
        QTest::newRow("zero") << "0";
        QTest::newRow("too high") << "70000";
        QTest::newRow("fraction") << "80.5";
        QTest::newRow("negative") << "-1";
    }

    void refusedPortAppliesNothing()
    {
        OscManagerController controller(m_engine.get(), OscSettings(true, 55037), m_document.get(),
                                        nullptr);
        Confirmation updated(controller);
        QQuickWindow* window = WindowOf(controller);
        window->setVisible(true);
        QVERIFY(Activate(window));
        QFETCH(QString, port);
        window->setProperty("oscListenPortString", port);
        m_document->GetNetworks().clear();
        QTest::keyClick(window, Qt::Key_Return);
        QVERIFY(window->isVisible());
        // Even when the window lets it through, the controller refuses it.
        QMetaObject::invokeMethod(window, "okay");
        QCOMPARE(updated.count, 0);
        QVERIFY(m_document->GetNetworks().empty());
        QVERIFY(window->isVisible());
    }

    void idFillAsksForEventIds()
    {
        OscManagerController controller(m_engine.get(), OscSettings(), m_document.get(), nullptr);
        QSignalSpy requested(&controller, &OscManagerController::requestEventIdUpdate);
        QMetaObject::invokeMethod(WindowOf(controller), "idFill");
        QCOMPARE(requested.count(), 1);
        QCOMPARE(requested.at(0).at(0).toBool(), true);
    }

private:
    std::unique_ptr<QQmlEngine> m_engine;
    std::unique_ptr<Automation> m_document;
};

QTEST_MAIN(TestOscManagerController)

#include "tst_oscmanagercontroller.moc"
