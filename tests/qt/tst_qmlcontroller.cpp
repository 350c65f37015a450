#include "qt/qmlcontroller.h"
#include "stderrcapture.h"

#include <memory>
#include <QPointer>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTest>

using tarv::qt::QmlController;

namespace {

QUrl document(const char* name)
{
    return QUrl::fromLocalFile(QStringLiteral(TEST_DATA_DIR "/") + QLatin1String(name));
}

void processDeferredDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

class TestQmlController : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_engine = std::make_unique<QQmlEngine>();
        m_owner = std::make_unique<QQuickWindow>();
        m_parent = new QQuickItem(m_owner->contentItem());
    }

    void cleanup()
    {
        m_owner.reset();
        m_engine.reset();
    }

    void windowRootIsOwnedButNotPlacedInTheParent()
    {
        QmlController controller(m_engine.get(), document("WindowRoot.qml"), m_parent, true,
                                 {{QStringLiteral("label"), QStringLiteral("given")}});
        auto* window = qobject_cast<QQuickWindow*>(controller.Window());
        QVERIFY(window);
        QCOMPARE(window->property("labelAtCompletion").toString(), QStringLiteral("given"));
        QCOMPARE(window->QObject::parent(), m_parent);
        QCOMPARE(window->transientParent(), m_owner.get());
        QCOMPARE(window->parent(), nullptr);
    }

    void itemRootIsPlacedInTheParent()
    {
        QmlController controller(m_engine.get(), document("ItemRoot.qml"), m_parent, true,
                                 {{QStringLiteral("label"), QStringLiteral("given")}});
        auto* item = qobject_cast<QQuickItem*>(controller.Window());
        QVERIFY(item);
        QCOMPARE(item->property("labelAtCompletion").toString(), QStringLiteral("given"));
        QCOMPARE(item->parent(), m_parent);
        QCOMPARE(item->parentItem(), m_parent);
    }

    void withoutParentTheWindowStandsAlone()
    {
        QmlController controller(m_engine.get(), document("WindowRoot.qml"), nullptr, true, {});
        auto* window = qobject_cast<QQuickWindow*>(controller.Window());
        QVERIFY(window);
        QCOMPARE(window->QObject::parent(), nullptr);
        QCOMPARE(window->transientParent(), nullptr);
        QCOMPARE(window->property("labelAtCompletion").toString(), QStringLiteral("default"));
    }

    void releaseHappensOnce_data()
    {
        QTest::addColumn<bool>("ownsWindow");
        QTest::addColumn<bool>("closeFirst");
        QTest::newRow("owned, destroyed") << true << false;
        QTest::newRow("owned, closed then destroyed") << true << true;
        QTest::newRow("not owned, destroyed") << false << false;
        QTest::newRow("not owned, closed then destroyed") << false << true;
    }

    void releaseHappensOnce()
    {
        QFETCH(bool, ownsWindow);
        QFETCH(bool, closeFirst);
        auto controller = std::make_unique<QmlController>(
            m_engine.get(), document("WindowRoot.qml"), m_parent, ownsWindow, QVariantMap{});
        const QPointer<QObject> window = controller->Window();
        QVERIFY(window);

        if (closeFirst) {
            controller->Closing_(nullptr);
            QCOMPARE(controller->Window() == nullptr, ownsWindow);
            processDeferredDeletes();
            QCOMPARE(window.isNull(), ownsWindow);
        }
        controller.reset();
        processDeferredDeletes();
        QCOMPARE(window.isNull(), ownsWindow);
    }

    void windowDestroyedWithItsParentIsNotReleasedAgain()
    {
        QmlController controller(m_engine.get(), document("WindowRoot.qml"), m_parent, true, {});
        QVERIFY(controller.Window());
        delete m_parent;
        QCOMPARE(controller.Window(), nullptr);
        controller.Closing_(nullptr);
    }

    void brokenDocumentLeavesNoWindow_data()
    {
        QTest::addColumn<QUrl>("url");
        QTest::addColumn<QString>("expectedError");
        QTest::newRow("missing") << document("Missing.qml") << QStringLiteral("Missing.qml");
        QTest::newRow("type error")
            << document("TypeError.qml") << QStringLiteral("TypeError.qml:4");
    }

    void brokenDocumentLeavesNoWindow()
    {
        QFETCH(QUrl, url);
        QFETCH(QString, expectedError);
        const StderrCapture capture;
        auto controller =
            std::make_unique<QmlController>(m_engine.get(), url, m_parent, true, QVariantMap{});
        QCOMPARE(controller->Window(), nullptr);
        QVERIFY2(QString::fromStdString(capture.Text()).contains(expectedError),
                 capture.Text().c_str());
        controller->Closing_(nullptr);
        controller.reset();
        processDeferredDeletes();
    }

private:
    std::unique_ptr<QQmlEngine> m_engine;
    std::unique_ptr<QQuickWindow> m_owner;
    QQuickItem* m_parent = nullptr;
};

QTEST_MAIN(TestQmlController)

#include "tst_qmlcontroller.moc"
