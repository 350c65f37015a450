#include "app/cueconfigcontroller.h"
#include "app/oscconfigcontroller.h"
#include "automation/automation.h"
#include "automation/customaudio.h"
#include "automation/oscevent.h"
#include "editortesthelpers.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtQml/QQmlExtensionPlugin>

Q_IMPORT_QML_PLUGIN(com_quillonworks_tarv_uiPlugin)
Q_IMPORT_QML_PLUGIN(com_quillonworks_automation_tool_uiPlugin)

using namespace tarv::automation;
using namespace tarv::testing;
using tarv::networking::NetworkPath;

namespace {

std::shared_ptr<Osc> OscTo(Automation& document, const QString& networkId, const QString& name)
{
    auto osc = std::make_shared<Osc>(&document.GetNetworks());
    osc->NetworkId(networkId);
    osc->Name(name);
    return osc;
}

QStringList Names(const EventGroup& cue)
{
    QStringList names;
    for (const auto& event : cue.Events()) {
        names << event->Name();
    }
    return names;
}

void Click(QQuickWindow* window, const char* objectName)
{
    QQuickItem* item = Child(window, objectName);
    QVERIFY2(item, objectName);
    QTest::mouseClick(window, Qt::LeftButton, {},
                      item->mapToScene({item->width() / 2, item->height() / 2}).toPoint());
}

QQuickItem* RowChild(QQuickWindow* window, int row, const char* objectName)
{
    QQuickItem* item = nullptr;
    QMetaObject::invokeMethod(Child(window, "listView"), "itemAtIndex",
                              Q_RETURN_ARG(QQuickItem*, item), Q_ARG(int, row));
    return item ? item->findChild<QQuickItem*>(QString::fromLatin1(objectName)) : nullptr;
}

} // namespace

class TestCueConfigController : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_engine = MakeEngine();
        m_document = std::make_unique<Automation>();
        NetworkPath second;
        second.name = "Desk";
        second.network_id = "NETWORK2";
        m_document->GetNetworks() = {NetworkPath(), second};
        m_cue = std::make_shared<EventGroup>();
        m_cue->Name("Opening");
        m_cue->Status("continue");
        for (const char* name : {"a", "b", "c"}) {
            m_cue->AddEvent(OscTo(*m_document, "NETWORK1", name));
        }
        m_document->AddEvent(std::make_shared<EventGroup>());
        m_document->AddEvent(m_cue);
    }

    void cleanup()
    {
        m_cue.reset();
        m_document.reset();
        m_engine.reset();
    }

    void newCueStartsEmptyAndJoinsTheListOnce()
    {
        CueConfigController controller(m_engine.get(), m_document.get(), nullptr, 1, false,
                                       nullptr);
        QQuickWindow* window = WindowOf(controller);
        QVERIFY(window && window->isVisible());
        QCOMPARE(window->property("name").toString(), "New Cue");
        for (const char* field : {"number", "act", "scene", "cueLine"}) {
            QCOMPARE(window->property(field).toString(), QString());
        }
        QVERIFY(!window->property("disableEvent").toBool());
        QVERIFY(!window->property("disableDelete").toBool());

        QVERIFY(Activate(window));
        Click(window, "newOscButton");
        QCOMPARE(controller.Cue()->Events().size(), 1u);
        QCOMPARE(window->property("currentIndex").toInt(), 0);
        QCOMPARE(controller.Cue()->GetEvent(0)->AutoName(), "Empty OSC Command");

        QTest::keyClick(window, Qt::Key_Return);
        QMetaObject::invokeMethod(window, "accepted");
        QCOMPARE(m_document->Events().size(), 3u);
        QCOMPARE(m_document->GetEvent(1), controller.Cue());
        QCOMPARE(m_document->CurrentEventIndex(), 1u);
    }

    void deleteSelectsTheRowBefore()
    {
        CueConfigController controller(m_engine.get(), m_document.get(), m_cue, 1, true, nullptr);
        QQuickWindow* window = WindowOf(controller);
        QVERIFY(Activate(window));
        window->setProperty("currentIndex", 2);
        Click(window, "deleteButton");
        QCOMPARE(Names(*m_cue), (QStringList{"a", "b"}));
        QCOMPARE(window->property("currentIndex").toInt(), 1);
    }

    void droppedFilesKeepTheirOrder_data()
    {
        QTest::addColumn<bool>("locked");
        QTest::newRow("unlocked") << false;
        QTest::newRow("locked") << true;
    }

    void droppedFilesKeepTheirOrder()
    {
        QFETCH(bool, locked);
        QTemporaryDir dir;
        QVariantList urls;
        for (const char* name : {"a.wav", "b.txt", "c.mp3"}) {
            QFile file(dir.filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
            urls << QUrl::fromLocalFile(file.fileName());
        }
        CueConfigController controller(m_engine.get(), m_document.get(), m_cue, 1, true, nullptr);
        QQuickWindow* window = WindowOf(controller);
        window->setProperty("disableDelete", locked);
        QMetaObject::invokeMethod(window, "dropFiles", Q_ARG(QVariant, urls), Q_ARG(QVariant, 2));

        if (locked) {
            QCOMPARE(Names(*m_cue), (QStringList{"a", "b", "c"}));
            return;
        }
        QCOMPARE(Names(*m_cue),
                 (QStringList{"a", "b", "Play Audio File a.wav", "Play Audio File c.mp3", "c"}));
        QCOMPARE(window->property("currentIndex").toInt(), 2);
        QCOMPARE(MessageWindows("Error", "Unable to insert audio file. Invalid file type."), 1);
        const auto audio = std::dynamic_pointer_cast<CustomAudio>(m_cue->GetEvent(2));
        QCOMPARE(audio->parameters()->pan(), 0.5);
        QCOMPARE(audio->parameters()->volume(), 0.5);
    }

    // What the operator types into a row's offset field, what the event then
    // holds, and what the field shows afterwards.
    void typedOffsetIsClampedAndShown_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<unsigned>("stored");
        QTest::newRow("fraction") << "12.9" << 12u;
        QTest::newRow("too long") << "9000" << 7000u;
        QTest::newRow("text") << "abc" << 250u;
        QTest::newRow("negative") << "-5" << 0u;
    }

    void typedOffsetIsClampedAndShown()
    {
        QFETCH(unsigned, stored);
        QFETCH(QString, typed);
        m_cue->GetEvent(0)->Offset(250);
        CueConfigController controller(m_engine.get(), m_document.get(), m_cue, 1, true, nullptr);
        QQuickWindow* window = WindowOf(controller);
        QVERIFY(Activate(window));
        QQuickItem* field = RowChild(window, 0, "offsetField");
        QVERIFY(field);
        QMetaObject::invokeMethod(field, "forceActiveFocus");
        Type(window, typed);
        QTest::keyClick(window, Qt::Key_Tab);
        QCOMPARE(m_cue->GetEvent(0)->Offset(), stored);
        QCOMPARE(RowChild(window, 0, "offsetField")->property("text").toString(),
                 QString::number(stored));
    }

    // Texts past a text field's usual 32767 characters come back whole from
    // both editors when nobody typed into them.
    void longTextsComeBackWhole()
    {
        const QString longText(40000, QLatin1Char('x'));
        m_cue->Name(longText);
        m_cue->CueLine(longText);
        const auto osc = std::dynamic_pointer_cast<Osc>(m_cue->GetEvent(0));
        osc->Name(longText);
        osc->Message(longText);
        {
            CueConfigController controller(m_engine.get(), m_document.get(), m_cue, 1, true,
                                           nullptr);
            QQuickWindow* window = WindowOf(controller);
            QVERIFY(RowChild(window, 0, "nameField"));
            QMetaObject::invokeMethod(window, "accepted");
        }
        OscConfigController controller(m_engine.get(), m_document.get(), m_cue.get(), osc, 0, true,
                                       nullptr);
        QMetaObject::invokeMethod(WindowOf(controller), "accepted");
        QCOMPARE(m_cue->Name().size(), longText.size());
        QCOMPARE(m_cue->CueLine().size(), longText.size());
        QCOMPARE(osc->Name().size(), longText.size());
        QCOMPARE(osc->Message().size(), longText.size());
    }

    // List changes take effect at once; the header waits for acceptance.
    void headerWaitsForAcceptance_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("status");
        QTest::newRow("Escape") << int(Qt::Key_Escape) << "Opening"
                                << "continue";
        QTest::newRow("Return") << int(Qt::Key_Return) << "Renamed"
                                << "";
    }

    void headerWaitsForAcceptance()
    {
        QFETCH(int, key);
        QFETCH(QString, name);
        QFETCH(QString, status);
        CueConfigController controller(m_engine.get(), m_document.get(), m_cue, 1, true, nullptr);
        QQuickWindow* window = WindowOf(controller);
        QCOMPARE(window->property("name").toString(), "Opening");
        QVERIFY(Activate(window));
        Type(window, "Renamed"); // the name field starts focused and selected
        window->setProperty("currentIndex", 2);
        Click(window, "newOscButton");
        QTest::keyClick(window, Qt::Key(key));
        QVERIFY(!window->isVisible());
        QCOMPARE(m_cue->Name(), name);
        QCOMPARE(m_cue->Status(), status);
        QCOMPARE(m_cue->Events().size(), 4u);
        QCOMPARE(m_document->Events().size(), 2u);
    }

    // The OSC event editor opens over the cue editor from a row's Configure.
    void oscEditorShowsTheEventsDestination_data()
    {
        QTest::addColumn<QString>("networkId");
        QTest::addColumn<int>("shown");
        QTest::addColumn<QString>("stored");
        QTest::newRow("second") << "NETWORK2" << 1 << "NETWORK2";
        QTest::newRow("unknown") << "GONE" << 0 << "NETWORK1";
    }

    void oscEditorShowsTheEventsDestination()
    {
        QFETCH(QString, networkId);
        QFETCH(int, shown);
        QFETCH(QString, stored);
        m_cue->InsertEvent(OscTo(*m_document, networkId, "osc"), 0);
        CueConfigController controller(m_engine.get(), m_document.get(), m_cue, 1, true, nullptr);
        QQuickWindow* cueWindow = WindowOf(controller);
        QVERIFY(Activate(cueWindow));
        QTest::mouseClick(cueWindow, Qt::LeftButton, {},
                          RowChild(cueWindow, 0, "configureButton")->mapToScene({5, 5}).toPoint());
        QVERIFY(controller.OscEditor());
        QQuickWindow* window = WindowOf(*controller.OscEditor());
        QCOMPARE(window->transientParent(), cueWindow);
        QCOMPARE(window->property("networkIndex").toInt(), shown);

        QVERIFY(Activate(window));
        Type(window, "/tarv/sfx/sfx.1/play  2 ");
        // The cue editor takes no input while the OSC editor is open.
        QTest::keyClick(cueWindow, Qt::Key_Escape);
        QVERIFY(cueWindow->isVisible());
        QTest::keyClick(window, Qt::Key_Return);
        QVERIFY(!window->isVisible());

        const auto osc = std::dynamic_pointer_cast<Osc>(m_cue->GetEvent(0));
        QCOMPARE(osc->NetworkId(), stored);
        QCOMPARE(osc->Message(), "/tarv/sfx/sfx.1/play  2 ");
        QCOMPARE(m_cue->Events().size(), 4u);
    }

    void newOscEventWithoutDestinationsJoinsTheCueOnce()
    {
        m_document->GetNetworks().clear();
        OscConfigController controller(m_engine.get(), m_document.get(), m_cue.get(), nullptr, 1,
                                       false, nullptr);
        QQuickWindow* window = WindowOf(controller);
        window->setProperty("oscCommand", "/go");
        QMetaObject::invokeMethod(window, "accepted");
        QMetaObject::invokeMethod(window, "accepted");
        QCOMPARE(m_cue->Events().size(), 4u);
        QCOMPARE(m_cue->GetEvent(1), controller.Event());
        QCOMPARE(controller.Event()->NetworkId(), QString());
        QCOMPARE(m_cue->CurrentEventIndex(), 1u);
    }

private:
    std::unique_ptr<QQmlEngine> m_engine;
    std::unique_ptr<Automation> m_document;
    std::shared_ptr<EventGroup> m_cue;
};

QTEST_MAIN(TestCueConfigController)

#include "tst_cueconfigcontroller.moc"
