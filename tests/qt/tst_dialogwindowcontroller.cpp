#include "qt/dialogwindowcontroller.h"

#include <memory>
#include <QGuiApplication>
#include <QPointer>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTest>
#include <QtQml/QQmlExtensionPlugin>

Q_IMPORT_QML_PLUGIN(com_quillonworks_tarv_uiPlugin)
Q_IMPORT_QML_PLUGIN(com_quillonworks_automation_tool_uiPlugin)

using tarv::qt::DialogWindowController;

namespace {

QList<QWindow*> messageWindows()
{
    QList<QWindow*> found;
    for (QWindow* window : QGuiApplication::topLevelWindows()) {
        if (QString::fromLatin1(window->metaObject()->className()).startsWith(u"FlatDialogWindow"))
            found.append(window);
    }
    return found;
}

} // namespace

class TestDialogWindowController : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_engine = std::make_unique<QQmlEngine>();
        m_engine->addImportPath(QStringLiteral("qrc:/qt/qml"));
    }

    void cleanup()
    {
        qDeleteAll(messageWindows());
        m_engine.reset();
    }

    void typeIsRegisteredByName()
    {
        QVERIFY(QMetaType::fromName("tarv::qt::DialogWindowController::DialogType").isValid());
    }

    void showsTheMessageWindow_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("word");
        QTest::newRow("error") << 0 << "error";
        QTest::newRow("warning") << 1 << "warning";
        QTest::newRow("info") << 2 << "info";
        QTest::newRow("beyond the list") << 3 << "info";
    }

    void showsTheMessageWindow()
    {
        QFETCH(int, type);
        QFETCH(QString, word);
        QObject owner;
        auto controller = std::make_unique<DialogWindowController>(
            "Cannot read <b>cue.json</b>", "Failed to Open",
            static_cast<DialogWindowController::DialogType>(type), &owner, m_engine.get());
        QCOMPARE(controller->parent(), &owner);
        controller.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

        const QList<QWindow*> windows = messageWindows();
        QCOMPARE(windows.size(), 1);
        QWindow* window = windows.first();
        QVERIFY(window->isVisible());
        QCOMPARE(window->property("type").toString(), word);
        QCOMPARE(window->property("title").toString(), QStringLiteral("Failed to Open"));
        QCOMPARE(window->property("text").toString(),
                 QStringLiteral("Cannot read <b>cue.json</b>"));
    }

    void messageBelongsToItsOwnersWindow()
    {
        QQuickWindow ownerWindow;
        QQuickItem owner(ownerWindow.contentItem());
        const DialogWindowController controller("text", "title", DialogWindowController::Info,
                                                &owner, m_engine.get());
        const QList<QWindow*> windows = messageWindows();
        QCOMPARE(windows.size(), 1);
        QCOMPARE(windows.first()->transientParent(), &ownerWindow);
    }

    // A closed message is gone with its window and everything that draws it;
    // an open one stays open after its controller has gone.
    void closedMessagesLeaveNoWindowBehind()
    {
        auto controller = std::make_unique<DialogWindowController>(
            "first", "title", DialogWindowController::Error, nullptr, m_engine.get());
        QPointer<QWindow> first = messageWindows().value(0);
        QVERIFY(first && first->isVisible());
        controller = std::make_unique<DialogWindowController>(
            "second", "title", DialogWindowController::Error, nullptr, m_engine.get());
        QPointer<QWindow> second = messageWindows().value(1);
        QVERIFY(first && first->isVisible() && second && second != first);

        first->close();
        QTRY_VERIFY(!first);
        controller.reset();
        QVERIFY(second && second->isVisible());
        second->close();
        QTRY_VERIFY(!second);
        QVERIFY(messageWindows().isEmpty());
    }

private:
    std::unique_ptr<QQmlEngine> m_engine;
};

QTEST_MAIN(TestDialogWindowController)

#include "tst_dialogwindowcontroller.moc"
