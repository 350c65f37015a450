// The sound-effect manager's controller with its real window, offscreen, in
// front of a cue-list document and the player in its silent mode.

#include "qt/sfxinstancelistmodel.h"
#include "qt/sfxlistmodel.h"
#include "qt/sfxmanagerwindowcontroller.h"
#include "qt/sfxpropertytoolcontroller.h"
#include "sfx/sfxplayer.h"
#include "sfx/sfxplayerconnectionmediator.h"
#include "sfxtestbench.h"

#include <QGuiApplication>
#include <QQmlExtensionPlugin>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSignalSpy>

Q_IMPORT_QML_PLUGIN(com_quillonworks_tarv_uiPlugin)

using tarv::audio::SfxInstanceListModel;
using tarv::audio::SfxPlayer;
using tarv::audio::SfxPlayerConnectionMediator;
using tarv::audio::SfxPlayerController;
using tarv::qt::SfxManagerWindowController;
using Bench = SfxTestBench;

namespace {

QStringList Column(const QAbstractItemModel* model, int role)
{
    QStringList values;
    for (int row = 0; row < model->rowCount(); ++row)
        values << model->index(row, 0).data(role).toString();
    return values;
}

QAbstractItemModel* WindowModel(QObject* window, const char* property)
{
    return qvariant_cast<QAbstractItemModel*>(window->property(property));
}

QStringList ListedInstances(QObject* window)
{
    return Column(WindowModel(window, "soundEffectInstancesModel"),
                  SfxInstanceListModel::EventIdRole);
}

// The critical messages written while it lives; every message still goes on
// to the test's own handler.
class CriticalMessages
{
public:
    CriticalMessages()
        : m_previous(qInstallMessageHandler(&Collect))
    {
        s_previous = m_previous;
        s_collected.clear();
    }
    ~CriticalMessages() { qInstallMessageHandler(m_previous); }

    CriticalMessages(const CriticalMessages&) = delete;
    CriticalMessages& operator=(const CriticalMessages&) = delete;

    QStringList Collected() const { return s_collected; }

private:
    static void Collect(QtMsgType type, const QMessageLogContext& context, const QString& text)
    {
        if (type == QtCriticalMsg)
            s_collected << text;
        s_previous(type, context, text);
    }

    static inline QtMessageHandler s_previous = nullptr;
    static inline QStringList s_collected;
    QtMessageHandler m_previous;
};

} // namespace

class TestSfxManagerWindowController : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        m_bench = std::make_unique<Bench>(QList<Bench::Effect>{
            {"beep.short", "Short Beep", "sound", "beep-short.wav"},
            {"tone.a440", "alpha tone", "sound", "tone-a440.wav"},
            {"tone.1k", "Alpha Hum", "sound", "tone-1k.wav"},
            {"ambient.hum", "Alpha Hum", "ambient", "ambient-hum.wav"},
        });
    }

    void init()
    {
        m_bench->Open({
            Bench::Instance("sfx.1", "beep.short", "Door"),
            Bench::Instance("sfx.2", "tone.a440", ""),
            Bench::Instance("sfx.3", "not.installed", "Lost"),
            Bench::Instance("sfx.4", "tone.1k", "Show Loop", -1),
            Bench::Instance("sfx.5", "ambient.hum", "Preview Loop", -1, 1.0F, "Stage Left"),
        });
        m_manager =
            std::make_unique<SfxManagerWindowController>(&m_bench->engine, m_bench->repository);
        m_manager->ShowWindow();
        QVERIFY(Window() != nullptr);
        QVERIFY(QTest::qWaitForWindowExposed(qobject_cast<QWindow*>(Window())));
        // The rows take clicks once the player has their files.
        QTRY_VERIFY(Column(WindowModel(Window(), "soundEffectInstancesModel"),
                           SfxInstanceListModel::IsReadyRole) == QStringList(4, "true"));
    }

    void cleanup()
    {
        SfxPlayerController().stop(true);
        m_manager.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void cleanupTestCase() { m_bench.reset(); }

    void sourcesAreSortedAfterViewAllAndFilterTheInstances()
    {
        const QAbstractItemModel* sources = WindowModel(Window(), "availableSoundEffectsModel");
        QCOMPARE(Column(sources, SfxListModel::DisplayNameRole),
                 QStringList(
                     {"View All Instances", "Alpha Hum", "Alpha Hum", "Short Beep", "alpha tone"}));
        QCOMPARE(Column(sources, SfxListModel::SfxIdRole),
                 QStringList({"", "ambient.hum", "tone.1k", "beep.short", "tone.a440"}));
        QCOMPARE(ListedInstances(Window()), QStringList({"sfx.1", "sfx.2", "sfx.4", "sfx.5"}));
        QCOMPARE(Column(WindowModel(Window(), "soundEffectInstancesModel"), Qt::DisplayRole),
                 QStringList({"Door", "alpha tone", "Show Loop", "Preview Loop"}));

        for (const auto& [row, listed] : {std::pair{3, QStringList{"sfx.1"}},
                                          {2, QStringList{"sfx.4"}},
                                          {0, QStringList{"sfx.1", "sfx.2", "sfx.4", "sfx.5"}}}) {
            Bench::Click(Bench::Row(Window(), "sourceList", row));
            QCOMPARE(ListedInstances(Window()), listed);
        }
        // Showing the open window again starts it over at all instances.
        Bench::Click(Bench::Row(Window(), "sourceList", 3));
        m_manager->ShowWindow();
        QCOMPARE(ListedInstances(Window()), QStringList({"sfx.1", "sfx.2", "sfx.4", "sfx.5"}));
        QTRY_COMPARE(Bench::Find(Window(), "sourceList")->property("currentIndex").toInt(), 0);
    }

    void createEditAndDeleteReachTheDocument()
    {
        auto* tool = m_manager->PropertyTool();
        Bench::Click(Bench::Row(Window(), "sourceList", 3));
        Bench::Click(Bench::Find(Window(), "createButton"));
        auto* editor = qobject_cast<QWindow*>(tool->Window());
        QVERIFY(editor != nullptr);
        QCOMPARE(editor->transientParent(), qobject_cast<QWindow*>(Window()));
        QTRY_VERIFY(editor->isActive());
        QCOMPARE(tool->Window()->property("name").toString(), "Short Beep");
        QCOMPARE(tool->Window()->property("eventId").toString(), "sfx.6");
        QMetaObject::invokeMethod(tool->Window(), "accept");
        const auto created = m_bench->Stored("sfx.6");
        QVERIFY(created.has_value());
        QCOMPARE(created->effectId(), "beep.short");
        QCOMPARE(ListedInstances(Window()), QStringList({"sfx.1", "sfx.6"}));

        // Edit an instance with an output path; the window offers no output
        // choice, so it must come back unchanged.
        Bench::Click(Bench::Row(Window(), "sourceList", 0));
        Bench::Click(Bench::Row(Window(), "instanceList", 3));
        QCOMPARE(Window()->property("selectedSfxInstanceEventId").toString(), "sfx.5");
        Bench::Click(Bench::Find(Window(), "editButton"));
        QCOMPARE(tool->Window()->property("isEdit").toBool(), true);
        tool->Window()->setProperty("name", "Wind Bed");
        QMetaObject::invokeMethod(tool->Window(), "accept");
        QCOMPARE(m_bench->Stored("sfx.5")->name(), "Wind Bed");
        QCOMPARE(m_bench->Stored("sfx.5")->outputPath(), "Stage Left");
        QCOMPARE(Column(WindowModel(Window(), "soundEffectInstancesModel"), Qt::DisplayRole).at(3),
                 "Wind Bed");

        Bench::Click(Bench::Row(Window(), "instanceList", 0));
        Bench::Click(Bench::Find(Window(), "deleteButton"));
        QVERIFY(!m_bench->Stored("sfx.1").has_value());
        QCOMPARE(ListedInstances(Window()), QStringList({"sfx.2", "sfx.4", "sfx.5", "sfx.6"}));
    }

    // An effect leaves the library while the manager still lists it: its
    // instance keeps it, shown as missing, unless the operator picks another,
    // and no new instance is made of it.
    void anEffectThatLeftTheLibraryIsKeptButNotUsedAgain()
    {
        auto* tool = m_manager->PropertyTool();
        Bench::Click(Bench::Row(Window(), "sourceList", 3));
        QCOMPARE(ListedInstances(Window()), QStringList{"sfx.1"});
        m_bench->Install({{"tone.a440", "alpha tone", "sound", "tone-a440.wav"},
                          {"tone.1k", "Alpha Hum", "sound", "tone-1k.wav"},
                          {"ambient.hum", "Alpha Hum", "ambient", "ambient-hum.wav"}});
        const auto restore = qScopeGuard([this] {
            m_bench->Install({{"beep.short", "Short Beep", "sound", "beep-short.wav"},
                              {"tone.a440", "alpha tone", "sound", "tone-a440.wav"},
                              {"tone.1k", "Alpha Hum", "sound", "tone-1k.wav"},
                              {"ambient.hum", "Alpha Hum", "ambient", "ambient-hum.wav"}});
        });

        Bench::Click(Bench::Row(Window(), "instanceList", 0));
        Bench::Click(Bench::Find(Window(), "editButton"));
        QObject* editor = tool->Window();
        QVERIFY(editor != nullptr);
        QCOMPARE(editor->property("effectId").toString(), "beep.short");
        QVERIFY2(editor->property("effectText").toString().contains("missing"),
                 qPrintable(editor->property("effectText").toString()));
        editor->setProperty("name", "Front Door");
        QMetaObject::invokeMethod(editor, "accept");
        QCOMPARE(m_bench->Stored("sfx.1")->name(), "Front Door");
        QCOMPARE(m_bench->Stored("sfx.1")->effectId(), "beep.short");

        // Picking another effect still moves it.
        m_manager->onEditSoundEffectInstanceClicked("sfx.1");
        QCOMPARE(tool->Window()->property("effectIdIndex").toInt(), 3);
        tool->Window()->setProperty("effectIdIndex", 2);
        QMetaObject::invokeMethod(tool->Window(), "accept");
        QCOMPARE(m_bench->Stored("sfx.1")->effectId(), "tone.a440");

        QSignalSpy reported(SfxPlayerConnectionMediator::instance(),
                            &SfxPlayerConnectionMediator::soundEffectError);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("no longer in the library"));
        m_manager->onAddSoundEffectInstanceClicked("beep.short");
        QCOMPARE(tool->Window(), nullptr);
        QCOMPARE(reported.count(), 1);
        QVERIFY(!m_bench->Stored("sfx.6").has_value());
        QVERIFY(
            !Column(WindowModel(Window(), "availableSoundEffectsModel"), SfxListModel::SfxIdRole)
                 .contains("beep.short"));
        QTRY_COMPARE(ListedInstances(Window()), QStringList({"sfx.1", "sfx.2", "sfx.4", "sfx.5"}));
    }

    // Two previews started from their rows; each row goes back to idle when
    // the player reports its end.
    void previewsEndRowByRow()
    {
        QSignalSpy finished(Window(), SIGNAL(sfxFinished(QString)));
        for (int row : {0, 1})
            Bench::Click(Bench::Find(Bench::Row(Window(), "instanceList", row), "playButton"));
        QCOMPARE(Window()->property("playing").toStringList(), QStringList({"sfx.1", "sfx.2"}));
        QTRY_COMPARE(Window()->property("playing").toStringList(), QStringList({"sfx.2"}));
        QCOMPARE(finished.count(), 1);
        QTRY_COMPARE_WITH_TIMEOUT(Window()->property("playing").toStringList(), QStringList(),
                                  15000);
        for (int row : {0, 1})
            QCOMPARE(Bench::Find(Bench::Row(Window(), "instanceList", row), "playButton")
                         ->property("playing"),
                     false);
        QVERIFY(Bench::Find(Window(), "createButton")->isEnabled());
    }

    // A row previewed again, after its end and while another plays, ends
    // each time, and nothing is reported.
    void previewsAgainEndWithoutReports()
    {
        const CriticalMessages messages;
        QSignalSpy finished(Window(), SIGNAL(sfxFinished(QString)));
        for (int round = 1; round <= 2; ++round) {
            for (int row : {0, 1})
                Bench::Click(Bench::Find(Bench::Row(Window(), "instanceList", row), "playButton"));
            QTRY_COMPARE_WITH_TIMEOUT(Window()->property("playing").toStringList(), QStringList(),
                                      15000);
            QCOMPARE(finished.count(), 2 * round);
        }
        QCOMPARE(messages.Collected(), QStringList());
    }

    void editAndDeleteStopAPlayingPreviewFirst_data()
    {
        QTest::addColumn<QString>("action");
        QTest::newRow("edit") << "editSelectedInstance";
        QTest::newRow("delete") << "deleteSelectedInstance";
    }

    void editAndDeleteStopAPlayingPreviewFirst()
    {
        QFETCH(QString, action);
        QSignalSpy ended(SfxPlayerController().GetPlayer("sfx.5"), &SfxPlayer::sfxFinished);
        Bench::Click(Bench::Find(Bench::Row(Window(), "instanceList", 3), "playButton"));
        QTest::qWait(300);
        QCOMPARE(ended.count(), 0);
        Window()->setProperty("selectedSfxInstanceEventId", "sfx.5");
        QMetaObject::invokeMethod(Window(), action.toLatin1());
        QVERIFY(ended.wait(10000));
    }

    // Closing a browsing window must not silence the show.
    void closingStopsOnlyItsOwnPreviews()
    {
        SfxPlayerController show;
        QSignalSpy showEnded(show.GetPlayer("sfx.4"), &SfxPlayer::sfxFinished);
        QSignalSpy previewEnded(show.GetPlayer("sfx.5"), &SfxPlayer::sfxFinished);
        show.play("sfx.4");
        Bench::Click(Bench::Find(Bench::Row(Window(), "instanceList", 3), "playButton"));
        QTest::qWait(200);
        QVERIFY(qobject_cast<QWindow*>(Window())->close());
        QVERIFY(previewEnded.wait(10000));
        QTest::qWait(500);
        QCOMPARE(showEnded.count(), 0);
    }

    void openingAndClosingLeavesNoWindowBehind()
    {
        qobject_cast<QWindow*>(Window())->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        const auto before = QGuiApplication::allWindows().size();
        for (int i = 0; i < 10; ++i) {
            m_manager->ShowWindow();
            QVERIFY(Window() != nullptr);
            QCOMPARE(Window()->property("selectedSfxEffectId").toString(), QString());
            qobject_cast<QWindow*>(Window())->close();
            QCOMPARE(Window(), nullptr);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        QCOMPARE(QGuiApplication::allWindows().size(), before);
    }

    // A repository that answers nobody fails every call: the manager tells
    // the operator and carries on.
    void repositoryFailuresAreReported()
    {
        QSignalSpy errors(SfxPlayerConnectionMediator::instance(),
                          &SfxPlayerConnectionMediator::soundEffectError);
        auto deaf = std::make_shared<Bench::Repository>(std::chrono::milliseconds(50));
        SfxManagerWindowController manager(&m_bench->engine, deaf);
        manager.ShowWindow();
        QVERIFY(manager.Window() != nullptr);
        manager.onDeleteSoundEffectInstanceClicked("sfx.1");
        manager.onEditSoundEffectInstanceClicked("sfx.1");
        QVERIFY(errors.count() >= 3);
        QCOMPARE(errors.first().first().toString(), "ERROR");
    }

    void instanceRowsAnswerSafely()
    {
        SfxInstanceListModel model;
        auto one = std::make_shared<Bench::SfxDto>(
            Bench::SfxDto::builder().eventId("sfx.1").effectId("fx").effectPath("/a.wav").build());
        auto two = std::make_shared<Bench::SfxDto>(*one);
        model.Add(one, "Effect");
        model.Add(two, "Other");
        QCOMPARE(model.index(0).data(Qt::DisplayRole).toString(), "Effect");

        QTest::ignoreMessage(QtWarningMsg, "Sound effect intervals are not supported yet.");
        QVERIFY(!model.index(0).data(SfxInstanceListModel::ActiveIntervalsRole).isValid());

        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        QVERIFY(model.setData(model.index(1), true, SfxInstanceListModel::IsReadyRole));
        QCOMPARE(changed.count(), 1);
        QCOMPARE(model.index(0).data(SfxInstanceListModel::IsReadyRole), true);

        model.Clear();
        model.Add(one, "Effect");
        QCOMPARE(model.index(0).data(SfxInstanceListModel::IsReadyRole), true);
        one.reset();
        QVERIFY(!model.index(0).data(SfxInstanceListModel::EventIdRole).isValid());
        QVERIFY(!model.setData(model.index(0), true, SfxInstanceListModel::IsReadyRole));
    }

private:
    QObject* Window() const { return m_manager->Window(); }

    std::unique_ptr<Bench> m_bench;
    std::unique_ptr<SfxManagerWindowController> m_manager;
};

QTEST_MAIN(TestSfxManagerWindowController)
#include "tst_sfxmanagerwindowcontroller.moc"
