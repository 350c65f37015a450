// The main controller opening the sound-effect manager and, from the cue
// editor's Configure on an AUDIO event, the custom-audio editor; what they
// change reaches the open cue file and makes it dirty.
#include "app/automationcontroller.h"
#include "automation/automation.h"
#include "automation/customaudio.h"
#include "automation/eventgroup.h"
#include "editortesthelpers.h"
#include "sfx/sfxdtobuilder.h"
#include "sfx/sfxplayerconnectionmediator.h"

#include <algorithm>
#include <QFile>
#include <QGuiApplication>
#include <QQmlApplicationEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace tarv::automation;
using namespace tarv::testing;

namespace {

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
    void init() { m_fixture = std::make_unique<ControllerOverMainWindow>(); }
    void cleanup() { m_fixture.reset(); }

    void managerChangesMakeTheFileDirty()
    {
        AutomationController& controller = m_fixture->Controller();
        const QTemporaryDir folder;
        const auto saveClean = [&] {
            QVERIFY(controller.Save(true, folder.filePath("show.tarvcue")));
            QVERIFY(!controller.unsavedChanges());
        };
        controller.onSfxManagerClicked();
        QObject* manager = NewestWindow("SfxManagerTool");
        QVERIFY(manager);

        QMetaObject::invokeMethod(manager, "addSoundEffectInstanceClicked",
                                  Q_ARG(QString, "tone.1k"));
        QObject* editor = NewestWindow("StandaloneSfxTool");
        QVERIFY(editor);
        QMetaObject::invokeMethod(editor, "accept");
        QCOMPARE(EventIds(controller.Document()), std::vector<std::string>{"sfx.1"});
        QTRY_VERIFY(controller.unsavedChanges());

        saveClean();
        QMetaObject::invokeMethod(manager, "editSoundEffectInstanceClicked",
                                  Q_ARG(QString, "sfx.1"));
        editor = NewestWindow("StandaloneSfxTool");
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

    // Every click in the source list reloads the instances and preloads
    // their files again; a broken one is told once per opened file, not on
    // every click.
    void aBrokenEffectFileIsReportedOncePerOpenedFile()
    {
        AutomationController& controller = m_fixture->Controller();
        const QTemporaryDir folder;
        const QString broken = folder.filePath("broken.wav");
        QFile file(broken);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("RIFF and nothing of a sound");
        file.close();
        controller.Document().AddSoundEffect(tarv::audio::sfx::SfxDto::builder()
                                                 .eventId("sfx.1")
                                                 .effectId("no.such.effect")
                                                 .effectPath(broken.toStdString())
                                                 .build());
        const QString show = folder.filePath("show.tarvcue");
        QVERIFY(controller.Save(true, show));
        controller.Load(show, true);

        QSignalSpy& errors = m_fixture->controller->errors;
        const auto reports = [&] {
            return std::count_if(errors.begin(), errors.end(), [](const QList<QVariant>& error) {
                return error.at(0).toString() == QStringLiteral("SFX Error");
            });
        };
        errors.clear();
        controller.onSfxManagerClicked();
        QObject* manager = NewestWindow("SfxManagerTool");
        QVERIFY(manager);
        QTRY_COMPARE(reports(), 1);
        for (int row : {1, 0, 2, 0}) {
            QMetaObject::invokeMethod(manager, "soundEffectSelected", Q_ARG(QVariant, row));
            QTest::qWait(100);
        }
        QTest::qWait(300);
        QCOMPARE(reports(), 1);

        // Opened again (it may have been mended meanwhile): told again.
        controller.Load(show, true);
        QTRY_COMPARE(reports(), 2);
    }

    void configureOnAnAudioEventOpensTheCustomAudioEditor()
    {
        AutomationController& controller = m_fixture->Controller();
        const auto cue = std::make_shared<EventGroup>();
        controller.Document().InsertEvent(cue, 0);
        controller.EditEvent(0);
        QObject* cueEditor = NewestWindow("GroupConfigWindow");
        QVERIFY(cueEditor);
        const QString file = qEnvironmentVariable("TARV_SFX_LIBRARY") + "/tone-1k.wav";
        QVERIFY(QMetaObject::invokeMethod(cueEditor, "addNewAudio", Q_ARG(int, 0),
                                          Q_ARG(QUrl, QUrl::fromLocalFile(file))));
        QVERIFY(QMetaObject::invokeMethod(cueEditor, "editEvent", Q_ARG(int, 0)));
        QObject* audioEditor = NewestWindow("SfxPropertyTool");
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

    // The player's notes that sound is back are news, not errors: the
    // message window shows them as information, under a title of their own.
    void thePlayersNoteThatSoundIsBackIsShownAsInformation()
    {
        QSignalSpy& errors = m_fixture->controller->errors;
        errors.clear();
        emit tarv::audio::SfxPlayerConnectionMediator::instance()->soundEffectError(
            QStringLiteral("INFO"), QStringLiteral("The audio device \"x\" plays sound again."),
            QString());
        emit tarv::audio::SfxPlayerConnectionMediator::instance()->soundEffectError(
            QStringLiteral("WARNING"), QStringLiteral("The audio device \"x\" stopped working."),
            QString());
        QTRY_COMPARE(errors.count(), 2);
        QCOMPARE(errors.at(0).at(2).toString(), QStringLiteral("INFO"));
        QVERIFY2(!errors.at(0).at(0).toString().contains(QStringLiteral("Error")),
                 qPrintable(errors.at(0).at(0).toString()));
        QCOMPARE(errors.at(1).at(0).toString(), QStringLiteral("SFX Error"));
        QCOMPARE(errors.at(1).at(2).toString(), QStringLiteral("WARNING"));
    }

    // Closing the main window ends the program also while the manager is
    // open: the manager belongs to it.
    void managerDoesNotKeepTheProgramRunning()
    {
        m_fixture->Controller().onSfxManagerClicked();
        auto* manager = qobject_cast<QWindow*>(NewestWindow("SfxManagerTool"));
        QVERIFY(manager);
        QCOMPARE(manager->transientParent(), m_fixture->mainWindow.get());
        QTimer::singleShot(0, m_fixture->mainWindow.get(),
                           [this] { m_fixture->mainWindow->close(); });
        QTimer stillRunning;
        stillRunning.setSingleShot(true);
        connect(&stillRunning, &QTimer::timeout, [] { QCoreApplication::exit(1); });
        stillRunning.start(5000);
        QCOMPARE(QCoreApplication::exec(), 0);
    }

private:
    std::unique_ptr<ControllerOverMainWindow> m_fixture;
};

QTEST_MAIN(TestSfxToolOpenings)
#include "tst_sfxtoolopenings.moc"
