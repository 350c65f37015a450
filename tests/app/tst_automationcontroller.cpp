#include "app/automationcontroller.h"
#include "app/automationmodel.h"
#include "automation/automation.h"
#include "automation/oscevent.h"
#include "automation/tarvcuefilesfxrepository.h"
#include "automation/waitevent.h"
#include "controllertesthelpers.h"
#include "osc/oscmessageencoder.h"
#include "sfx/sfxdtobuilder.h"
#include "sfx/sfxplayercontrollerimpl.h"
#include "sfx/sfxrepository.h"
#include "tests/qt/stderrcapture.h"
#include "tests/support/filesizelimit.h"

#include <QHash>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUdpSocket>

using namespace tarv::automation;
using tarv::testing::StartedController;

namespace {

QStringList Names(const AutomationController& controller)
{
    QStringList names;
    const QAbstractListModel* model = controller.MainModel();
    for (int row = 0; row < model->rowCount(); ++row) {
        names << model->data(model->index(row), AutomationModel::NameRole).toString();
    }
    return names;
}

QString LastErrorTitle(const QSignalSpy& errors)
{
    return errors.isEmpty() ? QString() : errors.last().at(0).toString();
}

// A cue file holding one wait and `duplicates` + 1 sound-effect instances
// that all carry the id sfx.1: opening it repairs every duplicate with a note.
QByteArray CueFileWithDuplicateIds(int duplicates)
{
    QByteArray effects;
    for (int i = 0; i <= duplicates; ++i) {
        effects += QByteArray(i ? "," : "") +
                   R"({"name": "", "pan": 0.5, "volume": 1.0, "reverb": 0.0, "repeats": 0,
                       "fade_in": 0, "fade_out": 0, "output_path": "", "event_id": "sfx.1",
                       "effect_path": "", "effect_id": "tone.1k", "type": 0})";
    }
    return R"({"version": "1.0", "min_read_version": "1.0",
               "main": {"type": "GROUP", "events": [{"type": "WAIT", "wait_time": 1000}]},
               "sound_effects": [)" +
           effects + R"(], "network_paths": []})";
}

} // namespace

class TestAutomationController : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QVERIFY(m_folder.isValid());
        tarv::testing::UseListenPort(tarv::testing::FreeUdpPort());
    }

    void withoutASettingsFileTheNewListAddressesTheDefaultPort()
    {
        tarv::testing::UseListenPort(0);
        StartedController controller;
        const auto& networks = controller->Document().GetNetworks();
        QCOMPARE(networks.size(), std::size_t(1));
        QCOMPARE(networks[0].name, std::string("TARV|Cue"));
        QCOMPARE(networks[0].port, AutomationController::DefaultListenPort);
    }

    void editsMakeTheListDirtyAndASaveMakesItClean_data()
    {
        QTest::addColumn<int>("edit");
        for (int edit = 0; edit < 6; ++edit) {
            QTest::addRow("edit %d", edit) << edit;
        }
    }
    void editsMakeTheListDirtyAndASaveMakesItClean()
    {
        QFETCH(int, edit);
        StartedController controller;
        switch (edit) {
        case 0:
            controller->AddWait(2.5, 0);
            break;
        case 1:
            controller->DeleteEvent(2);
            break;
        case 2:
            controller->MoveEventDown();
            break;
        case 3:
            controller->NewCueEvent(1);
            break;
        case 4:
            // A sound-effect instance added through the player's repository.
            tarv::audio::SfxPlayerControllerImpl::instance()->ActiveRepository()->Save(
                tarv::audio::sfx::SfxDto::builder().name("Rain").effectId("tone.1k").build());
            QCOMPARE(controller->Document().SoundEffects().size(), std::size_t(1));
            break;
        case 5:
            controller->updateOscSettings(
                tarv::osc::OscSettings(true, tarv::testing::FreeUdpPort()), {});
            break;
        }
        QVERIFY(controller->unsavedChanges());
        const QString path = m_folder.filePath(QStringLiteral("edited.tarvcue"));
        QVERIFY(controller->Save(true, path));
        QVERIFY(!controller->unsavedChanges());
        QCOMPARE(controller->CurrentPath(), path);
    }

    // A dialog may hand back a "file:" URL or a plain path; both name the
    // file, "#" and "%" in its name included.
    void dialogsMayGiveAUrlOrAPlainPath_data()
    {
        QTest::addColumn<bool>("asUrl");
        QTest::newRow("url") << true;
        QTest::newRow("plain path") << false;
    }
    void dialogsMayGiveAUrlOrAPlainPath()
    {
        QFETCH(bool, asUrl);
        const QString path = m_folder.filePath(QStringLiteral("Act #1 at 100%.tarvcue"));
        QFile::remove(path);
        const QString given = asUrl ? QUrl::fromLocalFile(path).toString() : path;
        StartedController controller;
        controller->AddWait(1.0, 0);

        QVERIFY(controller->Save(false, given));
        QVERIFY(QFileInfo::exists(path));
        QCOMPARE(controller->CurrentPath(), path);
        QVERIFY(!controller->unsavedChanges());

        controller->New();
        controller->Load(given, false);
        QCOMPARE(controller->CurrentPath(), path);
        QCOMPARE(Names(*controller).size(), 4);
        QVERIFY(controller.errors.isEmpty());
    }

    void outOfRangeRowsAreIgnored()
    {
        StartedController controller;
        QSignalSpy dirty(controller.controller.get(), &AutomationController::tarvCueFileOutOfSync);
        for (int row : {-1, 3, 1000}) {
            controller->DeleteEvent(row);
            controller->EditEvent(row);
        }
        QCOMPARE(dirty.count(), 0);
        QCOMPARE(Names(*controller).size(), 3);

        // A locked entry is disabled instead of removed, with a notice.
        controller->Document().GetEvent(0)->DisableDelete(true);
        controller->DeleteEvent(0);
        QCOMPARE(LastErrorTitle(controller.errors), QStringLiteral("Locked Event"));
        QCOMPARE(controller->Document().GetEvent(0)->Status(), QStringLiteral("x"));
        QCOMPARE(dirty.count(), 1);
    }

    void failedSaveKeepsTheOldFileThePathAndTheDirtyState()
    {
        StartedController controller;
        const QString path = m_folder.filePath(QStringLiteral("show.tarvcue"));
        QVERIFY(controller->Save(true, path));
        const QByteArray saved = tarv::testing::ReadAll(path);
        controller->AddWait(1.0, 0);
        controller->setClosingDeferred(true);
        QSignalSpy saves(controller.controller.get(), &AutomationController::tarvCueFileSaved);

        {
            const tarv::testing::FileSizeLimit limit(16);
            QVERIFY(!controller->Save(true, m_folder.filePath(QStringLiteral("other.tarvcue"))));
            QVERIFY(!controller->Save(true, path));
        }
        QCOMPARE(tarv::testing::ReadAll(path), saved);
        QVERIFY(!QFileInfo::exists(m_folder.filePath(QStringLiteral("other.tarvcue"))));
        QVERIFY(controller->unsavedChanges());
        QVERIFY(!controller->closingDeferred());
        QCOMPARE(controller->CurrentPath(), path);
        QCOMPARE(controller->Document().Path(), path);
        QCOMPARE(saves.count(), 0);
        QCOMPARE(LastErrorTitle(controller.errors), QStringLiteral("Error"));
        QVERIFY(controller.errors.last().at(1).toString().startsWith(
            QStringLiteral("An error occurred saving the file: ")));

        QVERIFY(!controller->Save(true));
        QCOMPARE(controller.errors.last().at(1).toString(),
                 QStringLiteral("An error occurred saving the file: Failed to open file."));
    }

    void loadReplacesTheListOnlyWhenTheFileReads_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("errorTitle");
        QTest::addColumn<QString>("errorText");
        QTest::newRow("good") << QByteArray() << QString() << QString();
        QTest::newRow("four notes")
            << CueFileWithDuplicateIds(4) << QStringLiteral("Issues Opening File") << QString();
        QTest::newRow("six notes")
            << CueFileWithDuplicateIds(6) << QStringLiteral("Issues Opening File")
            << QStringLiteral("... and more.");
        QTest::newRow("broken") << QByteArray("{\"version\": \"1.0\", \"main\": [")
                                << QStringLiteral("Error")
                                << QStringLiteral(" You may have an incorrect file type. Please "
                                                  "load the TARV|Cue file type (.tarvcue) to "
                                                  "open previously saved work.");
        // A file that cannot be read says why, with no word of a wrong file
        // type; one larger than any show is refused before it is read.
        const QString opening =
            QStringLiteral("An error occurred opening the file: The file \"%1\" ");
        QTest::newRow("missing") << QByteArray("missing") << QStringLiteral("Error")
                                 << opening + QStringLiteral("cannot be read: it does not exist.");
        QTest::newRow("folder") << QByteArray("folder") << QStringLiteral("Error")
                                << opening +
                                       QStringLiteral("cannot be read: it is not a regular file.");
        QTest::newRow("no permission")
            << QByteArray("no permission") << QStringLiteral("Error")
            << opening + QStringLiteral("cannot be read: you have no permission to read it.");
        QTest::newRow("larger than any show")
            << QByteArray("huge") << QStringLiteral("Error")
            << opening + QStringLiteral("is larger than 64 MiB, more than any cue file holds; it "
                                        "was not opened.");
    }
    void loadReplacesTheListOnlyWhenTheFileReads()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, errorTitle);
        QFETCH(QString, errorText);
        const QString path = m_folder.filePath(QStringLiteral("open.tarvcue"));
        QFile::remove(path);
        QDir(path).removeRecursively();
        if (content.isEmpty()) {
            Automation show;
            auto wait = std::make_shared<Wait>(500);
            show.AddEvent(wait);
            show.Save(path);
        } else if (content == "folder") {
            QVERIFY(QDir().mkpath(path));
        } else if (content == "huge") {
            // Sparse: no disk space, yet its size is past the limit.
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            QVERIFY(file.resize(qint64{64} * 1024 * 1024 + 1));
        } else if (content == "no permission") {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(CueFileWithDuplicateIds(0));
            file.close();
            QVERIFY(file.setPermissions(QFileDevice::WriteOwner));
            if (file.open(QIODevice::ReadOnly)) {
                QSKIP("this user (root) reads every file whatever its permissions");
            }
        } else if (content != "missing") {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(content);
        }

        StartedController controller;
        const QString before = m_folder.filePath(QStringLiteral("before.tarvcue"));
        QVERIFY(controller->Save(true, before));
        QAbstractListModel* oldModel = controller->MainModel();
        controller->Load(QUrl::fromLocalFile(path).toString());

        QCOMPARE(LastErrorTitle(controller.errors), errorTitle);
        QVERIFY(!controller->unsavedChanges());
        if (errorTitle == QStringLiteral("Error")) {
            QCOMPARE(controller->MainModel(), oldModel);
            QCOMPARE(Names(*controller).size(), 3);
            QCOMPARE(controller->CurrentPath(), before);
            QVERIFY(controller.errors.last().at(1).toString().startsWith(
                QStringLiteral("An error occurred opening the file: ")));
        } else {
            QCOMPARE(controller->CurrentPath(), path);
            QCOMPARE(controller->MainModel()->rowCount(), 1);
        }
        if (errorText.contains(QStringLiteral("%1"))) {
            QCOMPARE(controller.errors.last().at(1).toString(), errorText.arg(path));
        } else if (!errorText.isEmpty()) {
            QVERIFY(controller.errors.last().at(1).toString().contains(errorText));
        }
        if (errorTitle == QStringLiteral("Issues Opening File")) {
            const QString text = controller.errors.last().at(1).toString();
            QCOMPARE(text.count(QStringLiteral("A duplicate sfx event id")), 4);
        }
    }

    void saveSyncsTheFileBeforeReplacingTheOldOneAndTheFolderAfter()
    {
        const QString path = m_folder.filePath(QStringLiteral("durable.tarvcue"));
        const QString log = m_folder.filePath(QStringLiteral("strace.log"));
        QProcess strace;
        strace.start(QStringLiteral("strace"),
                     {QStringLiteral("-f"), QStringLiteral("-o"), log, QStringLiteral("-e"),
                      QStringLiteral("trace=openat,fsync,rename,renameat,renameat2"),
                      QCoreApplication::applicationFilePath(), QStringLiteral("--save-to"), path});
        if (!strace.waitForFinished(60000) || strace.exitCode() != 0) {
            QSKIP("strace cannot trace here; durability of saves is not checked.");
        }
        QVERIFY(QFileInfo::exists(path));

        // The new file's descriptor is synced before the file takes the
        // target's name (linked or renamed there), the folder's after that.
        QFile trace(log);
        QVERIFY(trace.open(QIODevice::ReadOnly | QIODevice::Text));
        const QString folder = QFileInfo(path).absolutePath();
        // strace pads a result to its column, so a resumed call's "= N"
        // follows many spaces.
        const QRegularExpression opened(
            QStringLiteral("openat\\(.*\"([^\"]+)\", ([^,)]+).*\\)\\s+= (\\d+)"));
        const QRegularExpression synced(QStringLiteral("fsync\\((\\d+)\\)\\s+= 0"));
        const QString replaced = QLatin1Char('"') + path + QStringLiteral("\", ");
        QString newFileFd;
        QString folderFd;
        bool fileSynced = false;
        bool renamed = false;
        bool folderSynced = false;
        // With other threads making calls meanwhile, strace splits a call
        // into "<unfinished ...>" and "<... resumed>" lines: joined again by
        // the thread's id, each call is one line.
        QHash<QString, QString> unfinished;
        const QRegularExpression resumed(
            QStringLiteral("^(\\d+)\\s+<\\.\\.\\. \\w+ resumed>(.*)$"));
        while (!trace.atEnd()) {
            QString line = QString::fromUtf8(trace.readLine()).trimmed();
            const QString thread = line.section(QLatin1Char(' '), 0, 0);
            if (line.endsWith(QStringLiteral("<unfinished ...>"))) {
                unfinished[thread] = line.chopped(16).trimmed();
                continue;
            }
            if (const auto match = resumed.match(line); match.hasMatch())
                line = unfinished.take(match.captured(1)) + match.captured(2);
            if (const auto match = opened.match(line); match.hasMatch()) {
                const QString name = match.captured(1);
                const QString flags = match.captured(2);
                // The new file: made beside the target under a name of its own.
                if ((QFileInfo(name).path() == folder && name != path &&
                     flags.contains(QStringLiteral("O_CREAT"))) ||
                    (name == folder && flags.contains(QStringLiteral("O_TMPFILE")))) {
                    newFileFd = match.captured(3);
                } else if (name == folder && flags.contains(QStringLiteral("O_DIRECTORY"))) {
                    folderFd = match.captured(3);
                }
            } else if (const auto match = synced.match(line); match.hasMatch()) {
                fileSynced |= !renamed && match.captured(1) == newFileFd;
                folderSynced |= renamed && match.captured(1) == folderFd;
            } else if ((line.contains(replaced) || line.contains(path + QStringLiteral("\")"))) &&
                       line.endsWith(QStringLiteral("= 0"))) {
                renamed = fileSynced;
            }
        }
        QVERIFY(fileSynced);
        QVERIFY(renamed);
        QVERIFY(folderSynced);
    }

    // Neither a peer nor the new list's own first cue raises a message for a
    // sound effect that the open file lacks: the refusal goes to standard
    // error and nothing takes the keyboard from GO.
    void unknownSoundEffectsAreRefusedWithoutAMessage()
    {
        const int port = tarv::testing::FreeUdpPort();
        tarv::testing::UseListenPort(port);
        const StderrCapture capture;
        StartedController controller;
        QSignalSpy notices(controller.controller.get(), &AutomationController::oscNotification);
        controller->Go(); // "First Cue" plays and stops sfx.1 through this very port
        QUdpSocket peer;
        for (const char* command :
             {"/tarv/sfx/sfx.99/play", "/tarv/sfx/sfx.99/stop", "/tarv/sfx/sfx.99/fadeto -6 1"}) {
            peer.writeDatagram(tarv::osc::EncodeOscMessage(QString::fromLatin1(command)),
                               QHostAddress::LocalHost, static_cast<quint16>(port));
        }
        QTRY_COMPARE_WITH_TIMEOUT(notices.count(), 5, 30000);
        QTest::qWait(300); // what the player reports follows its play
        QVERIFY2(controller.errors.isEmpty(), qPrintable(LastErrorTitle(controller.errors)));
        QTRY_VERIFY_WITH_TIMEOUT(
            capture.Text().find("There is no sound effect sfx.99.") != std::string::npos, 30000);
        QVERIFY(capture.Text().find("There is no sound effect sfx.1.") != std::string::npos);
    }

    void listenPortsOutsideTheRangeAreRefused()
    {
        const int port = tarv::testing::FreeUdpPort();
        tarv::testing::UseListenPort(port);
        StartedController controller;
        for (int bad : {0, -1, 65536}) {
            controller->updateOscSettings(tarv::osc::OscSettings(true, bad), {});
            QCOMPARE(LastErrorTitle(controller.errors), QStringLiteral("OSC Server Error"));
            QCOMPARE(controller->OscSettings().oscListenPort, port);
        }
        QVERIFY(!controller->unsavedChanges());
        QUdpSocket other;
        QVERIFY(!other.bind(QHostAddress::Any, static_cast<quint16>(port)));
    }

private:
    QTemporaryDir m_folder;
};

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    // Run under strace by the durability test: one save, nothing else.
    if (argc == 3 && QByteArray(argv[1]) == "--save-to") {
        tarv::testing::UseListenPort(tarv::testing::FreeUdpPort());
        AutomationController controller;
        // Twice: the second save replaces a file that exists.
        const QString path = QString::fromLocal8Bit(argv[2]);
        return controller.Save(true, path) && controller.Save(true, path) ? 0 : 1;
    }
    TestAutomationController test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_automationcontroller.moc"
