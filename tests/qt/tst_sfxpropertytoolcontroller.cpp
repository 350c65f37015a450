// The sound editors' controller with its real windows, offscreen, in front of
// a cue-list document and the player in its silent mode.

#include "automation/customaudio.h"
#include "qt/sfxpropertytoolcontroller.h"
#include "qt/soundunits.h"
#include "sfx/customaudioparameters.h"
#include "sfx/sfxplayerconnectionmediator.h"
#include "sfxtestbench.h"

#include <QDir>
#include <QQmlExtensionPlugin>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>

Q_IMPORT_QML_PLUGIN(com_quillonworks_tarv_uiPlugin)

using tarv::audio::CustomAudioCommand;
using tarv::audio::CustomAudioParameters;
using tarv::automation::CustomAudio;
using tarv::qt::SfxPropertyToolController;
using Bench = SfxTestBench;

namespace {

QString ClassName(const QObject* window)
{
    return QString::fromLatin1(window->metaObject()->className());
}

const QList<Bench::Effect> kEffects{
    {"tone.a440", "Tone", "sound", "tone-a440.wav"},
    {"beep.short", "Beep", "sound", "beep-short.wav"},
};

} // namespace

class TestSfxPropertyToolController : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { m_bench = std::make_unique<Bench>(kEffects); }

    void init()
    {
        // Every value the controller writes has a property to land in.
        QTest::failOnWarning(QRegularExpression("has no property|Unable to assign|TypeError"));
        m_bench->Open({
            Bench::Instance("sfx.1", "tone.a440", "Door", -1, 1.0F, "Stage Left"),
        });
        m_tool = std::make_unique<SfxPropertyToolController>(&m_bench->engine, m_bench->repository);
    }

    void cleanup()
    {
        m_tool.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void cleanupTestCase() { m_bench.reset(); }

    void aNewInstanceOpensWithTheDefaults()
    {
        m_tool->ShowNewInstanceTool("beep.short");
        QObject* window = m_tool->Window();
        QVERIFY(ClassName(window).contains("StandaloneSfxTool"));
        QCOMPARE(window->property("isEdit"), false);
        QVERIFY(qAbs(window->property("volume").toDouble() - 0.7866278611) < 1e-6);
        QCOMPARE(window->property("eventId").toString(), "sfx.2");
        QCOMPARE(window->property("effectIdIndex").toInt(), 0); // "Beep" sorts first
        QCOMPARE(window->property("name").toString(), "Beep");
        QCOMPARE(window->property("visible"), true);
    }

    // Opened on a stored instance, OK without a change keeps it, its output
    // path included (1500 ms survives the trip through seconds).
    void anExistingInstanceComesBackUnchanged()
    {
        auto stored = *m_bench->Stored("sfx.1");
        stored.setPan(0.25F);
        stored.setFadeIn(1500);
        m_bench->document.UpdateSoundEffect("sfx.1", stored);
        m_tool->onEditInstanceRequest("sfx.1");
        QObject* window = m_tool->Window();
        QCOMPARE(window->property("isEdit"), true);
        QCOMPARE(window->property("volume").toDouble(), 1.0);
        QCOMPARE(window->property("pan").toDouble(), 25.0);
        QCOMPARE(window->property("fadeIn").toString(), "1.5");
        QCOMPARE(window->property("effectIdIndex").toInt(), 1);
        QCOMPARE(window->property("loop"), true);
        QSignalSpy closing(m_tool.get(), &SfxPropertyToolController::toolClosing);
        QMetaObject::invokeMethod(window, "accept");
        QCOMPARE(closing.count(), 1);
        QCOMPARE(*m_bench->Stored("sfx.1"), stored);
        QCOMPARE(m_tool->Window(), nullptr);
    }

    void fadesAreClampedWhenStored_data()
    {
        QTest::addColumn<int>("sent");
        QTest::addColumn<int>("stored");
        QTest::newRow("negative") << -1000 << 0;
        QTest::newRow("within") << 65535 << 65535;
        QTest::newRow("above 16 bits") << 70000 << 65535;
    }

    void fadesAreClampedWhenStored()
    {
        QFETCH(int, sent);
        QFETCH(int, stored);
        m_tool->onCreationRequest("Clamp", "", -1, "beep.short", 0, 0.5, 75, 40, sent, sent, 0);
        const auto created = m_bench->Stored("sfx.2");
        QVERIFY(created.has_value());
        QCOMPARE(int{created->fadeIn()}, stored);
        QCOMPARE(created->pan(), 0.75F);
        QCOMPARE(created->reverb(), 0.4F);
        m_bench->document.RemoveSoundEffect("sfx.2");
    }

    // Effects installed while the program runs shift the rows: each editor
    // must offer, and store, what the catalogue holds when it opens.
    void sourcesFollowTheCatalogueOfEachOpening()
    {
        m_bench->Install(QList<Bench::Effect>{{"anvil.hit", "Anvil", "sound", "beep-short.wav"}} +
                         kEffects);
        const auto restore = qScopeGuard([this] {
            m_bench->Install(kEffects);
            m_bench->document.RemoveSoundEffect("sfx.2");
        });
        m_tool->ShowNewInstanceTool("anvil.hit");
        QCOMPARE(m_tool->Window()->property("effectText").toString(), "Anvil");
        QMetaObject::invokeMethod(m_tool->Window(), "accept");
        QCOMPARE(m_bench->Stored("sfx.2")->effectId(), "anvil.hit");

        m_tool->onEditInstanceRequest("sfx.1");
        m_tool->Window()->setProperty("name", "Renamed");
        QMetaObject::invokeMethod(m_tool->Window(), "accept");
        QCOMPARE(m_bench->Stored("sfx.1")->name(), "Renamed");
        QCOMPARE(m_bench->Stored("sfx.1")->effectId(), "tone.a440");
        QCOMPARE(m_tool->SoundEffects().first().toString(), "anvil.hit");
    }

    // Add while an instance is open, or an edit of an id that is gone, must
    // never lead OK back to the instance edited before.
    void onlyAnEmptyRecordFollowsAnotherEdit()
    {
        m_tool->onEditInstanceRequest("sfx.1");
        m_tool->ShowNewInstanceTool("beep.short");
        QCOMPARE(m_tool->Window()->property("isEdit"), false);
        m_tool->onEditInstanceRequest("sfx.1");
        m_tool->onEditInstanceRequest("sfx.404");
        QCOMPARE(m_tool->Window()->property("isEdit"), false);
        m_tool->Window()->setProperty("isNameDirty", true);
        m_tool->Window()->setProperty("name", "Fresh");
        QMetaObject::invokeMethod(m_tool->Window(), "accept");
        QCOMPARE(m_bench->Stored("sfx.1")->name(), "Door");
        QCOMPARE(m_bench->Stored("sfx.2")->name(), "Fresh");
        m_bench->document.RemoveSoundEffect("sfx.2");
    }

    // A held window of the other kind is replaced, not reused.
    void eachRequestGetsItsOwnKindOfWindow()
    {
        auto audio = std::make_shared<CustomAudio>(CustomAudioParameters(), 0);
        m_tool->onEditCustomAudioRequest(audio);
        QVERIFY(ClassName(m_tool->Window()).contains("SfxPropertyTool"));
        m_tool->onEditInstanceRequest("sfx.1");
        QVERIFY(ClassName(m_tool->Window()).contains("StandaloneSfxTool"));
        QCOMPARE(m_tool->Window()->property("isEdit"), true);
        m_tool->onEditCustomAudioRequest(audio);
        QVERIFY(ClassName(m_tool->Window()).contains("SfxPropertyTool"));
    }

    void customAudioIsEditedInItsEvent_data()
    {
        QTest::addColumn<int>("command");
        QTest::addColumn<QString>("fadeOut");
        QTest::addColumn<unsigned>("fadeOutMs");
        QTest::newRow("play") << 0 << "2.5" << 2500U;
        QTest::newRow("stop, negative fade") << 1 << "-3" << 0U;
    }

    void customAudioIsEditedInItsEvent()
    {
        QFETCH(int, command);
        QFETCH(QString, fadeOut);
        QFETCH(unsigned, fadeOutMs);
        const auto before = CustomAudioParameters::builder()
                                .name("Thunder")
                                .file("/show/thunder.wav")
                                .outputPath("Main")
                                .networkPatch("Patch 2")
                                .volume(0.5)
                                .pan(0.25)
                                .reverb(0.3)
                                .fadeIn(1500)
                                .build();
        auto audio = std::make_shared<CustomAudio>(before, 0);
        QSignalSpy updated(audio.get(), &CustomAudio::updated);
        QSignalSpy preloads(m_tool.get(),
                            &SfxPropertyToolController::preloadCustomAudioEntryRequested);
        m_tool->onEditCustomAudioRequest(audio);
        QObject* window = m_tool->Window();
        QCOMPARE(window->property("filename").toString(), "/show/thunder.wav");
        QCOMPARE(window->property("fadeIn").toString(), "1.5");
        QCOMPARE(window->property("commandIndex").toInt(), 0);
        QVERIFY(qAbs(window->property("volume").toDouble() -
                     tarv::qt::soundunits::SliderPositionOfGain(0.5)) < 1e-12);

        window->setProperty("fileUrl", QUrl::fromLocalFile("/show/rain.wav"));
        window->setProperty("commandIndex", command);
        window->setProperty("volume", 1.0);
        window->setProperty("fadeOut", fadeOut);
        window->setProperty("loop", true);
        QMetaObject::invokeMethod(window, "accept");

        const CustomAudioParameters after = *audio->parameters();
        QCOMPARE(after.file(), "/show/rain.wav");
        QCOMPARE(after.command(), static_cast<CustomAudioCommand>(command));
        QCOMPARE(after.volume(), 1.0);
        QCOMPARE(after.fadeIn(), 1500U);
        QCOMPARE(after.fadeOut(), fadeOutMs);
        QCOMPARE(after.repeats(), -1);
        QCOMPARE(after.pan(), 0.25);
        QCOMPARE(QStringList({after.name(), after.outputPath(), after.networkPatch()}),
                 QStringList({"Thunder", "Main", "Patch 2"}));
        QCOMPARE(after.reverb(), 0.3);
        QCOMPARE(updated.count(), 1);
        QCOMPARE(preloads.count(), 1);
        QCOMPARE(m_tool->Window(), nullptr);
    }

    // An event without a file opens as a new item; OK without a file leaves
    // the event without one, and nothing is preloaded.
    void anEventWithoutAFileIsNotPreloaded()
    {
        auto audio = std::make_shared<CustomAudio>(CustomAudioParameters(), 0);
        QSignalSpy preloads(m_tool.get(),
                            &SfxPropertyToolController::preloadCustomAudioEntryRequested);
        m_tool->onEditCustomAudioRequest(audio);
        QMetaObject::invokeMethod(m_tool->Window(), "accept");
        QCOMPARE(audio->parameters()->file(), QString());
        QCOMPARE(preloads.count(), 0);
    }

    void cancellingChangesNothing()
    {
        auto audio = std::make_shared<CustomAudio>(
            CustomAudioParameters::builder().file("/show/a.wav").build(), 0);
        const CustomAudioParameters before = *audio->parameters();
        m_tool->onEditCustomAudioRequest(audio);
        QSignalSpy closing(m_tool.get(), &SfxPropertyToolController::toolClosing);
        qobject_cast<QWindow*>(m_tool->Window())->close();
        QCOMPARE(closing.count(), 1);
        QCOMPARE(*audio->parameters(), before);

        m_tool->onEditInstanceRequest("sfx.1");
        auto* editor = qobject_cast<QWindow*>(m_tool->Window());
        editor->requestActivate();
        QVERIFY(QTest::qWaitForWindowActive(editor));
        QTest::keyClick(editor, Qt::Key_Escape);
        QCOMPARE(closing.count(), 2);
        QCOMPARE(m_bench->document.SoundEffects().size(), 1U);
    }

    // The audio chooser starts in the show's folder (home for a show never
    // saved); once a file was chosen there, where the operator chose it,
    // whichever show is open. A folder gone since gives way to the next: the
    // chooser is handed them all, and finds out away from the window.
    void theAudioChooserStartsInTheShowsFolderThenWhereAFileWasChosen()
    {
        const auto chooserFolders = [this] {
            QList<QUrl> folders{m_tool->Window()->property("audioFolder").toUrl()};
            const auto fallbacks = m_tool->Window()->property("audioFallbackFolders").toList();
            for (const QVariant& folder : fallbacks)
                folders.append(folder.toUrl());
            return folders;
        };
        const auto chooserFolder = [&chooserFolders] { return chooserFolders().first(); };
        const QUrl home = QUrl::fromLocalFile(QDir::homePath());
        const auto close = [this] { qobject_cast<QWindow*>(m_tool->Window())->close(); };
        QTemporaryDir root;
        const auto folder = [&root](const char* name) {
            QDir(root.path()).mkpath(QLatin1String(name));
            return root.filePath(QLatin1String(name));
        };
        auto audio = std::make_shared<CustomAudio>(CustomAudioParameters(), 0);
        m_tool->onEditCustomAudioRequest(audio);
        QCOMPARE(chooserFolder(), QUrl::fromLocalFile(QDir::homePath()));
        close();

        m_tool->SetShowFolder(folder("shows/opening"));
        m_tool->onEditCustomAudioRequest(audio);
        QCOMPARE(chooserFolder(), QUrl::fromLocalFile(root.filePath("shows/opening")));
        // What the chooser does when a file is chosen in another folder.
        m_tool->Window()->setProperty("audioFolder", QUrl::fromLocalFile(folder("library/storms")));
        close();

        m_tool->SetShowFolder(folder("shows/closing"));
        m_tool->onEditCustomAudioRequest(audio);
        QCOMPARE(chooserFolders(),
                 (QList<QUrl>{QUrl::fromLocalFile(root.filePath("library/storms")),
                              QUrl::fromLocalFile(root.filePath("shows/closing")), home}));
        close();
    }

private:
    std::unique_ptr<Bench> m_bench;
    std::unique_ptr<SfxPropertyToolController> m_tool;
};

QTEST_MAIN(TestSfxPropertyToolController)
#include "tst_sfxpropertytoolcontroller.moc"
