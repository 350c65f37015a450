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

QUrl documentUrl(const QString& name)
{
    return QUrl::fromLocalFile(QStringLiteral(TEST_DATA_DIR "/") + name);
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

    void rootIsParentedByItsKind_data()
    {
        QTest::addColumn<QString>("document");
        QTest::addColumn<bool>("withParent");
        QTest::newRow("window") << "WindowRoot.qml" << true;
        QTest::newRow("item") << "ItemRoot.qml" << true;
        QTest::newRow("window without parent") << "WindowRoot.qml" << false;
    }

    // Initial properties are in place before Component.onCompleted; a window
    // gets the parent's window as transient parent, an item the parent item.
    void rootIsParentedByItsKind()
    {
        QFETCH(QString, document);
        QFETCH(bool, withParent);
        QQuickItem* parent = withParent ? m_parent : nullptr;
        QmlController controller(m_engine.get(), documentUrl(document), parent, true,
                                 {{QStringLiteral("label"), QStringLiteral("given")}});
        QObject* root = controller.Window();
        QVERIFY(root);
        QCOMPARE(root->property("labelAtCompletion").toString(), QStringLiteral("given"));
        QCOMPARE(root->parent(), parent);
        if (auto* window = qobject_cast<QQuickWindow*>(root)) {
            QCOMPARE(window->transientParent(), withParent ? m_owner.get() : nullptr);
            QCOMPARE(window->parent(), nullptr);
        } else {
            QCOMPARE(qobject_cast<QQuickItem*>(root)->parentItem(), parent);
        }
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
            m_engine.get(), documentUrl(QStringLiteral("WindowRoot.qml")), m_parent, ownsWindow,
            QVariantMap{});
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
        QmlController controller(m_engine.get(), documentUrl(QStringLiteral("WindowRoot.qml")),
                                 m_parent, true, {});
        QVERIFY(controller.Window());
        delete m_parent;
        QCOMPARE(controller.Window(), nullptr);
        controller.Closing_(nullptr);
    }

    void brokenDocumentLeavesNoWindow_data()
    {
        QTest::addColumn<QUrl>("url");
        QTest::addColumn<QString>("expectedError");
        QTest::newRow("missing") << documentUrl(QStringLiteral("Missing.qml"))
                                 << QStringLiteral("Missing.qml");
        QTest::newRow("type error")
            << documentUrl(QStringLiteral("TypeError.qml")) << QStringLiteral("TypeError.qml:4");
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
