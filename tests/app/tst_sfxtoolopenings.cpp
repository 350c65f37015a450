// The main controller opening the sound-effect manager and, from the cue
// editor's Configure on an AUDIO event, the custom-audio editor; what they
// change reaches the open cue file and makes it dirty.
#include "app/automationcontroller.h"
#include "automation/automation.h"
#include "automation/customaudio.h"
#include "automation/eventgroup.h"
#include "controllertesthelpers.h"
#include "sfx/sfxdtobuilder.h"

#include <QGuiApplication>
#include <QQmlApplicationEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace tarv::automation;
using namespace tarv::testing;

namespace {

// The newest visible window of the document type `document`.
QObject* OpenWindow(const char* document)
{
    QObject* found = nullptr;
    for (QWindow* window : QGuiApplication::topLevelWindows()) {
        if (window->isVisible() &&
            QString::fromLatin1(window->metaObject()->className()).startsWith(document))
            found = window;
    }
    return found;
}

std::vector<std::string> EventIds(const Automation& document)
{
    std::vector<std::string> ids;
    for (const auto& instance : document.SoundEffects())
        ids.push_back(instance.eventId());
    return ids;
}

} // namespace

class TestSfxToolOpenings : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        UseListenPort(FreeUdpPort());
        m_engine = std::make_unique<QQmlApplicationEngine>();
        m_engine->addImportPath(QStringLiteral("qrc:/qt/qml"));
        m_mainWindow = std::make_unique<QQuickWindow>();
        m_mainWindow->show();
        m_controller = std::make_unique<StartedController>(m_mainWindow->contentItem());
        (*m_controller)->setEngine(m_engine.get());
    }

    void cleanup()
    {
        m_controller.reset();
        m_mainWindow.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        m_engine.reset();
    }

    void managerChangesMakeTheFileDirty()
    {
        AutomationController& controller = **m_controller;
        const QTemporaryDir folder;
        const auto saveClean = [&] {
            QVERIFY(controller.Save(true, folder.filePath("show.tarvcue")));
            QVERIFY(!controller.unsavedChanges());
        };
        controller.onSfxManagerClicked();
        QObject* manager = OpenWindow("SfxManagerTool");
        QVERIFY(manager);

        QMetaObject::invokeMethod(manager, "addSoundEffectInstanceClicked",
                                  Q_ARG(QString, "tone.1k"));
        QObject* editor = OpenWindow("StandaloneSfxTool");
        QVERIFY(editor);
        QMetaObject::invokeMethod(editor, "accept");
        QCOMPARE(EventIds(controller.Document()), std::vector<std::string>{"sfx.1"});
        QTRY_VERIFY(controller.unsavedChanges());

        saveClean();
        QMetaObject::invokeMethod(manager, "editSoundEffectInstanceClicked",
                                  Q_ARG(QString, "sfx.1"));
        editor = OpenWindow("StandaloneSfxTool");
        QVERIFY(editor);
        editor->setProperty("name", "Renamed");
        QMetaObject::invokeMethod(editor, "accept");
        QCOMPARE(controller.Document().GetSoundEffect("sfx.1")->name(), "Renamed");
        QTRY_VERIFY(controller.unsavedChanges());

        saveClean();
        QMetaObject::invokeMethod(manager, "deleteSoundEffectInstanceClicked",
                                  Q_ARG(QString, "sfx.1"));
        QVERIFY(controller.Document().SoundEffects().empty());
        QTRY_VERIFY(controller.unsavedChanges());

        // A file opened while the manager is open replaces what it lists.
        saveClean();
        controller.Document().AddSoundEffect(
            tarv::audio::sfx::SfxDto::builder().eventId("sfx.7").effectId("tone.1k").build());
        QVERIFY(controller.Save(true, folder.filePath("other.tarvcue")));
        controller.Load(folder.filePath("show.tarvcue"), true);
        const auto* listed =
            qvariant_cast<QAbstractItemModel*>(manager->property("soundEffectInstancesModel"));
        QTRY_COMPARE(listed->rowCount(), 0);
    }

    void configureOnAnAudioEventOpensTheCustomAudioEditor()
    {
        AutomationController& controller = **m_controller;
        const auto cue = std::make_shared<EventGroup>();
        controller.Document().InsertEvent(cue, 0);
        controller.EditEvent(0);
        QObject* cueEditor = OpenWindow("GroupConfigWindow");
        QVERIFY(cueEditor);
        const QString file = qEnvironmentVariable("TARV_SFX_LIBRARY") + "/tone-1k.wav";
        QVERIFY(QMetaObject::invokeMethod(cueEditor, "addNewAudio", Q_ARG(int, 0),
                                          Q_ARG(QUrl, QUrl::fromLocalFile(file))));
        QVERIFY(QMetaObject::invokeMethod(cueEditor, "editEvent", Q_ARG(int, 0)));
        QObject* audioEditor = OpenWindow("SfxPropertyTool");
        QVERIFY(audioEditor);
        QCOMPARE(qobject_cast<QWindow*>(audioEditor)->transientParent(),
                 qobject_cast<QWindow*>(cueEditor));
        QCOMPARE(audioEditor->property("filename").toString(), file);
        audioEditor->setProperty("commandIndex", 1);
        audioEditor->setProperty("fadeOut", "-1");
        QMetaObject::invokeMethod(audioEditor, "accept");

        const auto audio = std::dynamic_pointer_cast<CustomAudio>(cue->GetEvent(0));
        QVERIFY(audio);
        QCOMPARE(audio->parameters()->command(), tarv::audio::CustomAudioCommand::Stop);
        QCOMPARE(audio->parameters()->fadeOut(), 0U);
    }

    // Closing the main window ends the program also while the manager is
    // open: the manager belongs to it.
    void managerDoesNotKeepTheProgramRunning()
    {
        (*m_controller)->onSfxManagerClicked();
        auto* manager = qobject_cast<QWindow*>(OpenWindow("SfxManagerTool"));
        QVERIFY(manager);
        QCOMPARE(manager->transientParent(), m_mainWindow.get());
        QTimer::singleShot(0, m_mainWindow.get(), [this] { m_mainWindow->close(); });
        QTimer stillRunning;
        stillRunning.setSingleShot(true);
        connect(&stillRunning, &QTimer::timeout, [] { QCoreApplication::exit(1); });
        stillRunning.start(5000);
        QCOMPARE(QCoreApplication::exec(), 0);
    }

private:
    std::unique_ptr<QQmlApplicationEngine> m_engine;
    std::unique_ptr<QQuickWindow> m_mainWindow;
    std::unique_ptr<StartedController> m_controller;
};

QTEST_MAIN(TestSfxToolOpenings)
#include "tst_sfxtoolopenings.moc"
