// The main controller opening the editors over the main window: the stop-all
// key while they are open, and the OSC manager's settings reaching the file
// and the listening server.
#include "app/automationcontroller.h"
#include "automation/automation.h"
#include "editortesthelpers.h"

#include <QProcess>
#include <QStandardPaths>

using namespace tarv::automation;
using namespace tarv::testing;

namespace {

bool StopAllDisabled(const AutomationController& controller)
{
    return controller.property("disableStopAllAudioShortcut").toBool();
}

} // namespace

class TestEditorOpenings : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_fixture = std::make_unique<ControllerOverMainWindow>(); }
    void cleanup() { m_fixture.reset(); }

    // The stop-all key is off while a cue or wait editor is open and on again
    // after every way out of it.
    void stopAllKeyReturnsAfterEveryWayOut_data()
    {
        QTest::addColumn<bool>("cue");
        QTest::addColumn<QString>("way");
        for (const QString way : {"OK", "Return", "Escape", "frame"}) {
            QTest::newRow(qPrintable("cue, " + way)) << true << way;
            QTest::newRow(qPrintable("wait, " + way)) << false << way;
        }
        QTest::newRow("wait, Cancel") << false << QStringLiteral("Cancel");
    }

    void stopAllKeyReturnsAfterEveryWayOut()
    {
        QFETCH(bool, cue);
        QFETCH(QString, way);
        AutomationController& controller = m_fixture->Controller();
        cue ? controller.NewCueEvent(1) : controller.NewWaitEvent(1);
        QQuickWindow* window = NewestWindow(cue ? "GroupConfigWindow" : "WaitConfigWindow");
        QVERIFY(window);
        QCOMPARE(window->transientParent(), m_fixture->mainWindow.get());
        QVERIFY(StopAllDisabled(controller));
        QVERIFY(Activate(window));
        if (way == "OK" || way == "Cancel") {
            QQuickItem* button = Child(window, way == "OK" ? "okButton" : "cancelButton");
            QTest::mouseClick(window, Qt::LeftButton, {}, button->mapToScene({5, 5}).toPoint());
        } else if (way == "frame") {
            window->close();
        } else {
            QTest::keyClick(window, way == "Return" ? Qt::Key_Return : Qt::Key_Escape);
        }
        QVERIFY(!window->isVisible());
        QVERIFY(!StopAllDisabled(controller));
        const bool stored = way == "OK" || way == "Return";
        QCOMPARE(controller.Document().Events().size(), stored ? 4u : 3u);
    }

    void reopeningKeepsTheKeyOffUntilTheNewEditorCloses()
    {
        AutomationController& controller = m_fixture->Controller();
        controller.EditEvent(0);
        controller.EditEvent(1);
        // The first editor's window is deleted later; that must not count as
        // the second one closing.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(StopAllDisabled(controller));
        NewestWindow("GroupConfigWindow")->close();
        QVERIFY(!StopAllDisabled(controller));
    }

    void failedCreationLeavesTheKeyOn()
    {
        StartedController controller;
        controller->NewCueEvent(0);
        controller->NewWaitEvent(0);
        QVERIFY(!StopAllDisabled(*controller));
    }

    void confirmedPortIsSavedAndListenedOn()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("oscsend")).isEmpty()) {
            QSKIP("liblo-tools (oscsend) are not installed.");
        }
        AutomationController& controller = m_fixture->Controller();
        QVERIFY(!controller.unsavedChanges());
        controller.initOscManagerWindow();
        QQuickWindow* window = NewestWindow("OscManagerWindow");
        QVERIFY(window);
        QCOMPARE(window->transientParent(), m_fixture->mainWindow.get());
        const int port = FreeUdpPort();
        window->setProperty("oscListenPortString", QString::number(port));
        QVERIFY(Activate(window));
        QTest::keyClick(window, Qt::Key_Return);
        QVERIFY(!window->isVisible());

        QVERIFY(controller.unsavedChanges());
        tarv::osc::OscSettings saved(false, 0);
        tarv::osc::LoadOscSettings(saved, tarv::osc::OscSettingsFilePath());
        QCOMPARE(saved.oscListenPort, port);
        QCOMPARE(saved.oscEnabled, true);

        QSignalSpy heard(&controller, &AutomationController::oscNotification);
        QCOMPARE(QProcess::execute(QStringLiteral("oscsend"),
                                   {QStringLiteral("127.0.0.1"), QString::number(port),
                                    QStringLiteral("/tarv/sfx/sfx.1/stop")}),
                 0);
        QVERIFY(heard.wait(15000));
    }

private:
    std::unique_ptr<ControllerOverMainWindow> m_fixture;
};

QTEST_MAIN(TestEditorOpenings)

#include "tst_editoropenings.moc"
