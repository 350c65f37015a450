#include "app/waitconfigcontroller.h"
#include "automation/automation.h"
#include "automation/waitevent.h"
#include "editortesthelpers.h"

#include <QtQml/QQmlExtensionPlugin>

Q_IMPORT_QML_PLUGIN(com_quillonworks_tarv_uiPlugin)
Q_IMPORT_QML_PLUGIN(com_quillonworks_automation_tool_uiPlugin)

using namespace tarv::automation;
using namespace tarv::testing;

class TestWaitConfigController : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_engine = MakeEngine();
        m_document = std::make_unique<Automation>();
        m_document->AddEvent(std::make_shared<Wait>(500));
        m_document->AddEvent(std::make_shared<Wait>(600));
    }

    void cleanup()
    {
        m_document.reset();
        m_engine.reset();
    }

    void newWaitJoinsTheListOnceWhenAccepted()
    {
        WaitConfigController controller(m_engine.get(), m_document.get(), nullptr, 1, false,
                                        nullptr);
        QQuickWindow* window = WindowOf(controller);
        QVERIFY(window && window->isVisible());
        QCOMPARE(window->property("waitTime").toString(), "1.0");
        QVERIFY(Activate(window));
        QTest::keyClick(window, Qt::Key_Return);
        QVERIFY(!window->isVisible());
        // The window cannot send it twice by itself; the controller must not
        // insert twice when it does.
        QMetaObject::invokeMethod(window, "accepted");

        QCOMPARE(m_document->Events().size(), 3u);
        const auto wait = std::dynamic_pointer_cast<Wait>(m_document->GetEvent(1));
        QVERIFY(wait);
        QCOMPARE(wait->WaitTime(), 1000u);
        QCOMPARE(wait->Status(), "continue");
        QCOMPARE(wait->Name(), "Wait for 1 second then execute next!");
        QCOMPARE(m_document->CurrentEventIndex(), 1u);
    }

    // The typed seconds, what the wait then holds, and what the editor shows
    // when it opens on it again.
    void typedTimeIsStoredWithinRange_data()
    {
        QTest::addColumn<unsigned>("before");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<unsigned>("stored");
        QTest::addColumn<QString>("shownAfter");
        QTest::newRow("1500 ms") << 1500u << "1.5"
                                 << "2" << 2000u << "2";
        QTest::newRow("below a ms") << 1500u << "1.5"
                                    << "0.0015" << 1u << "0.001";
        QTest::newRow("comma") << 1500u << "1.5"
                               << "1,5" << 0u << "0";
        QTest::newRow("just below") << 1001u << "1.001"
                                    << "" << 1000u << "1";
        QTest::newRow("six digits") << 1234567u << "1234.57"
                                    << "" << 1234570u << "1234.57";
        QTest::newRow("negative") << 1500u << "1.5"
                                  << "-3" << 0u << "0";
        QTest::newRow("beyond range") << 1500u << "1.5"
                                      << "9e9" << 4294967295u << "4.29497e+06";
        QTest::newRow("not a number") << 1500u << "1.5"
                                      << "nan" << 0u << "0";
        QTest::newRow("Infinity") << 1500u << "1.5"
                                  << "Infinity" << 4294967295u << "4.29497e+06";
        QTest::newRow("beyond double") << 1500u << "1.5"
                                       << "1e400" << 4294967295u << "4.29497e+06";
        QTest::newRow("minus beyond double") << 1500u << "1.5"
                                             << "-1e400" << 0u << "0";
    }

    void typedTimeIsStoredWithinRange()
    {
        QFETCH(unsigned, before);
        QFETCH(QString, typed);
        QFETCH(unsigned, stored);
        QFETCH(QString, shown);
        QFETCH(QString, shownAfter);
        const auto wait = std::make_shared<Wait>(before);
        m_document->InsertEvent(wait, 0);
        {
            WaitConfigController controller(m_engine.get(), m_document.get(), wait, 0, true,
                                            nullptr);
            QQuickWindow* window = WindowOf(controller);
            QCOMPARE(window->property("waitTime").toString(), shown);
            QVERIFY(Activate(window));
            if (!typed.isEmpty()) {
                Type(window, typed);
            }
            QTest::keyClick(window, Qt::Key_Return);
            QCOMPARE(wait->WaitTime(), stored);
        }
        WaitConfigController reopened(m_engine.get(), m_document.get(), wait, 0, true, nullptr);
        QCOMPARE(WindowOf(reopened)->property("waitTime").toString(), shownAfter);
        QCOMPARE(m_document->Events().size(), 3u);
    }

    // A new wait left the same way is covered with the main controller.
    void escapeAndCancelLeaveTheEditedWait_data()
    {
        QTest::addColumn<bool>("escape");
        QTest::newRow("Escape") << true;
        QTest::newRow("Cancel") << false;
    }

    void escapeAndCancelLeaveTheEditedWait()
    {
        QFETCH(bool, escape);
        const auto wait = std::dynamic_pointer_cast<Wait>(m_document->GetEvent(0));
        WaitConfigController controller(m_engine.get(), m_document.get(), wait, 0, true, nullptr);
        QQuickWindow* window = WindowOf(controller);
        QVERIFY(Activate(window));
        Type(window, "9");
        if (escape) {
            QTest::keyClick(window, Qt::Key_Escape);
        } else {
            QTest::mouseClick(window, Qt::LeftButton, {},
                              Child(window, "cancelButton")->mapToScene({5, 5}).toPoint());
        }
        QVERIFY(!window->isVisible());
        QCOMPARE(m_document->Events().size(), 2u);
        QCOMPARE(wait->WaitTime(), 500u);
    }

private:
    std::unique_ptr<QQmlEngine> m_engine;
    std::unique_ptr<Automation> m_document;
};

QTEST_MAIN(TestWaitConfigController)

#include "tst_waitconfigcontroller.moc"
