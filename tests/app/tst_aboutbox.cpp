// The About box as the operator opens it from the real main window, offscreen:
// one box however often it is asked for, keys that stay with the box while it
// is open, and a box that cannot be built reported instead of shown.

#include "app/automationcontroller.h"
#include "app/cueapplication.h"
#include "app/startup.h"
#include "automation/automation.h"
#include "automation/event.h"
#include "controllertesthelpers.h"
#include "qt/qmlcontroller.h"

#include <memory>
#include <QQmlApplicationEngine>
#include <QQmlContext>
#include <QQuickItem>
#include <QQuickWindow>
#include <QSignalSpy>
#include <QTest>

using namespace tarv::automation;

namespace {

QList<QQuickItem*> AboutBoxes(QQuickWindow* window)
{
    QList<QQuickItem*> boxes;
    for (QQuickItem* item : window->contentItem()->childItems()) {
        if (QString::fromLatin1(item->metaObject()->className()).startsWith(u"AboutWindow"))
            boxes.append(item);
    }
    return boxes;
}

QObject* AboutMenuItem(QQuickWindow* window)
{
    for (QObject* object : window->findChildren<QObject*>()) {
        if (object->property("text").toString() == u"About TARV|Cue")
            return object;
    }
    return nullptr;
}

void FlushDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

} // namespace

class TestAboutBox : public QObject
{
    Q_OBJECT

public:
    explicit TestAboutBox(CueApplication& app)
        : m_app(app)
    {}

private slots:
    void init()
    {
        tarv::testing::UseListenPort(tarv::testing::FreeUdpPort());
        m_engine = std::make_unique<QQmlApplicationEngine>();
        m_engine->addImportPath(QStringLiteral("qrc:/qt/qml"));
        m_engine->rootContext()->setContextProperty(QStringLiteral("qmlEngine"), m_engine.get());
    }

    void cleanup()
    {
        CloseMainView(m_app);
        m_engine.reset();
    }

    void theHelpMenuOpensOneBoxThatKeepsEscapeToItself()
    {
        OpenMainView(m_engine.get(), m_app);
        auto* const window = qobject_cast<QQuickWindow*>(m_app.MainView()->Window());
        QVERIFY(window && QTest::qWaitForWindowExposed(window));
        // A message about the missing sound server may be up and take the
        // keys; the operator would close it first.
        QTest::qWait(200);
        QVERIFY(QTest::qWaitFor([window] {
            for (QWindow* other : QGuiApplication::topLevelWindows()) {
                if (other != window && other->isVisible())
                    other->close();
            }
            window->requestActivate();
            return QGuiApplication::focusWindow() == window;
        }));
        auto* const controller = qobject_cast<AutomationController*>(
            window->property("mainController").value<QObject*>());
        QVERIFY(controller);
        QSignalSpy errors(controller, &AutomationController::error);

        QObject* const aboutItem = AboutMenuItem(window);
        QVERIFY(aboutItem);
        QVERIFY(QMetaObject::invokeMethod(aboutItem, "triggered"));
        QVERIFY(QMetaObject::invokeMethod(aboutItem, "triggered"));
        FlushDeletes();
        QVERIFY2(errors.isEmpty(), qPrintable(errors.value(0).value(1).toString()));
        const QList<QQuickItem*> boxes = AboutBoxes(window);
        QCOMPARE(boxes.size(), 1);
        QObject* const popup = boxes.first()->findChild<QObject*>(QStringLiteral("aboutPopup"));
        QTRY_VERIFY(popup->property("opened").toBool());
        QCOMPARE(
            boxes.first()->findChild<QObject*>(QStringLiteral("versionText"))->property("text"),
            QStringLiteral("Version 1.6.0"));
        QTRY_COMPARE(
            boxes.first()->findChild<QObject*>(QStringLiteral("logo"))->property("status").toInt(),
            1);

        // A running cue's wait is what the main window's Escape would cancel.
        controller->Go();
        const auto firstCue = controller->Document().GetEvent(0);
        QSignalSpy complete(firstCue.get(), &Event::complete);
        QTest::keyClick(window, Qt::Key_Escape);
        QTRY_VERIFY(!popup->property("opened").toBool());
        QVERIFY(complete.isEmpty());
        QTest::keyClick(window, Qt::Key_Escape);
        QTRY_VERIFY(!complete.isEmpty());
        QCOMPARE(complete.first().at(1).toBool(), true);
    }

    // The main window's controller always has an engine; one without stands
    // for any box that cannot be built.
    void aBoxThatCannotBeBuiltIsReported()
    {
        tarv::testing::StartedController controller;
        controller.errors.clear();
        controller->onAboutClicked();
        QCOMPARE(controller.errors.size(), 1);
        QCOMPARE(controller.errors.first().at(0).toString(),
                 QStringLiteral("Error Displaying About Box"));
        QVERIFY(!controller.errors.first().at(1).toString().isEmpty());
        QCOMPARE(controller.errors.first().at(2).toString(), QStringLiteral("ERROR"));
    }

private:
    CueApplication& m_app;
    std::unique_ptr<QQmlApplicationEngine> m_engine;
};

int main(int argc, char** argv)
{
    qputenv("QT_QUICK_CONTROLS_STYLE", "Basic");
    CueApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("QuillonWorks"));
    QCoreApplication::setOrganizationDomain(QStringLiteral("quillonworks.com"));
    RegisterQmlTypes();
    TestAboutBox test(app);
    return QTest::qExec(&test, argc, argv);
}

#include "tst_aboutbox.moc"
