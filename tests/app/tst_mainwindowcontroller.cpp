// The main controller inside the real main window, offscreen: start-up, the
// unsaved-changes prompts with every answer, the file handed over by the
// command line or the platform, and the keys that run the show.

#include "app/automationcontroller.h"
#include "app/cueapplication.h"
#include "app/startup.h"
#include "automation/automation.h"
#include "automation/waitevent.h"
#include "controllertesthelpers.h"
#include "qt/qmlcontroller.h"
#include "tests/support/filesizelimit.h"

#include <functional>
#include <optional>
#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QFileOpenEvent>
#include <QQmlApplicationEngine>
#include <QQmlContext>
#include <QQuickItem>
#include <QQuickWindow>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUdpSocket>

using namespace tarv::automation;

namespace {

enum class Command
{
    New,
    Open,
    Close
};
enum class Answer
{
    Accept,
    Cancel,
    Escape,
    Frame
};

// The visible unsaved-changes prompt, if one is open.
QQuickWindow* OpenPrompt(const AutomationController& controller)
{
    for (QQuickWindow* window : controller.findChildren<QQuickWindow*>()) {
        if (window->isVisible()) {
            return window;
        }
    }
    return nullptr;
}

void Click(QQuickWindow* window, const char* button)
{
    auto* item = window->findChild<QQuickItem*>(button);
    QVERIFY(item);
    const QPointF centre = item->mapToScene(QPointF(item->width() / 2, item->height() / 2));
    QTest::mouseClick(window, Qt::LeftButton, Qt::NoModifier, centre.toPoint());
}

// Runs `action` inside the application's event loop, as the program does,
// and returns the code the program exited with, or -1 when it did not ask
// to exit. (Only the application's loop recovers from an exit: any other
// loop would refuse to run for the rest of the test.)
int ExitCodeOf(const std::function<void()>& action)
{
    QTimer fallback;
    fallback.setSingleShot(true);
    QObject::connect(&fallback, &QTimer::timeout, [] { QCoreApplication::exit(-1); });
    QTimer::singleShot(0, [&] {
        action();
        fallback.start(300);
    });
    return QCoreApplication::exec();
}

void WriteShow(const QString& path, int waits)
{
    Automation show;
    for (int i = 0; i < waits; ++i) {
        show.AddEvent(std::make_shared<Wait>(1000));
    }
    show.Save(path);
}

} // namespace

Q_DECLARE_METATYPE(Command)
Q_DECLARE_METATYPE(Answer)

class TestMainWindowController : public QObject
{
    Q_OBJECT

public:
    explicit TestMainWindowController(CueApplication& app)
        : m_app(app)
    {}

private slots:
    void init()
    {
        QVERIFY(m_folder.isValid());
        m_port = tarv::testing::FreeUdpPort();
        tarv::testing::UseListenPort(m_port);
        m_engine = std::make_unique<QQmlApplicationEngine>();
        m_engine->addImportPath(QStringLiteral("qrc:/qt/qml"));
        m_engine->rootContext()->setContextProperty(QStringLiteral("qmlEngine"), m_engine.get());
    }

    void cleanup()
    {
        CloseMainView(m_app);
        m_engine.reset();
    }

    void freshStartShowsThreeCleanCuesAndListens()
    {
        AutomationController* controller = Open();
        QVERIFY(controller);
        QCOMPARE(controller->MainModel()->rowCount(), 3);
        QVERIFY(!controller->unsavedChanges());
        QVERIFY(controller->CurrentPath().isEmpty());
        // The list's own destination is this program's listen port.
        QCOMPARE(controller->Document().GetNetworks().front().port, m_port);
        QUdpSocket other;
        QVERIFY(!other.bind(QHostAddress::Any, static_cast<quint16>(m_port)));

        // No editor is open after a new list: Escape stops all again.
        controller->setProperty("disableStopAllAudioShortcut", true);
        controller->New();
        QCOMPARE(controller->property("disableStopAllAudioShortcut").toBool(), false);
    }

    void aPortInUseIsReportedInTheWindowOnceItIsUp()
    {
        QUdpSocket holder;
        QVERIFY(holder.bind(QHostAddress::Any, static_cast<quint16>(m_port),
                            QAbstractSocket::DontShareAddress));
        AutomationController* controller = Open();
        QVERIFY(controller);
        QQuickWindow* dialog = nullptr;
        QVERIFY(QTest::qWaitFor([&] {
            for (QQuickWindow* window : MainWindow()->findChildren<QQuickWindow*>()) {
                if (window->isVisible() &&
                    window->property("title").toString() == QStringLiteral("OSC Server Error")) {
                    dialog = window;
                }
            }
            return dialog != nullptr;
        }));
        QVERIFY(dialog->property("text").toString().contains(QString::number(m_port)));
    }

    // A message waits while another is up and shows once the operator has
    // closed that one, in order: the taken listen port and the notes of the
    // file opened at start-up, then what came while they were up.
    void everyMessageIsShownInTurn()
    {
        QUdpSocket holder;
        QVERIFY(holder.bind(QHostAddress::Any, static_cast<quint16>(m_port),
                            QAbstractSocket::DontShareAddress));
        const QString path = m_folder.filePath(QStringLiteral("notes.tarvcue"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(R"({"version": "1.0", "min_read_version": "1.0",
            "main": {"type": "GROUP", "events": []}, "network_paths": [],
            "sound_effects": [)") +
                   QByteArray(R"({"name": "", "pan": 0.5, "volume": 1.0, "reverb": 0.0,
                       "repeats": 0, "fade_in": 0, "fade_out": 0, "output_path": "",
                       "event_id": "sfx.1", "effect_path": "", "effect_id": "tone.1k",
                       "type": 0})")
                       .repeated(2)
                       .replace("}{", "},{") +
                   "]}");
        file.close();
        AutomationController* controller = Open(path);
        QVERIFY(controller);
        QQuickWindow* dialog = nullptr;
        const auto shown = [&](const QString& title) {
            dialog = nullptr;
            for (QQuickWindow* window : MainWindow()->findChildren<QQuickWindow*>()) {
                if (window->isVisible() && window->metaObject()->indexOfProperty("type") >= 0) {
                    dialog = window;
                }
            }
            return dialog != nullptr && dialog->property("title").toString() == title;
        };
        QTRY_VERIFY(shown(QStringLiteral("OSC Server Error")));
        QTest::qWait(100);
        QVERIFY(shown(QStringLiteral("OSC Server Error")));

        emit controller->error(QStringLiteral("Locked Event"), QStringLiteral("one"),
                               QStringLiteral("INFO"));
        emit controller->error(QStringLiteral("Error"), QStringLiteral("two"),
                               QStringLiteral("ERROR"));
        // Repeats of what is up or waiting add nothing.
        emit controller->error(QStringLiteral("Locked Event"), QStringLiteral("one"),
                               QStringLiteral("INFO"));
        emit controller->error(QStringLiteral("OSC Server Error"),
                               dialog->property("text").toString(), QStringLiteral("ERROR"));
        QVERIFY(shown(QStringLiteral("OSC Server Error")));
        QVERIFY(dialog->property("text").toString().contains(QString::number(m_port)));

        QMetaObject::invokeMethod(dialog, "accept");
        QTRY_VERIFY(shown(QStringLiteral("Issues Opening File")));
        QVERIFY(dialog->property("text").toString().contains(QStringLiteral("duplicate")));
        QCOMPARE(dialog->property("type").toString(), QStringLiteral("WARNING"));
        dialog->close(); // the title bar's close button
        QTRY_VERIFY(shown(QStringLiteral("Locked Event")));
        QCOMPARE(dialog->property("text").toString(), QStringLiteral("one"));
        QMetaObject::invokeMethod(dialog, "accept");
        QTRY_VERIFY(shown(QStringLiteral("Error")));
        QCOMPARE(dialog->property("text").toString(), QStringLiteral("two"));
        QCOMPARE(dialog->property("type").toString(), QStringLiteral("ERROR"));
        QMetaObject::invokeMethod(dialog, "accept");
        QTRY_VERIFY(!shown(QStringLiteral("Error")) && dialog == nullptr);
        QTest::qWait(100);
        QVERIFY(!shown(QString()) && dialog == nullptr);
    }

    void theFileNamedAtStartOrHandedOverOpens()
    {
        const QString path = m_folder.filePath(QStringLiteral("start.tarvcue"));
        WriteShow(path, 2);
        AutomationController* controller = Open(path);
        QVERIFY(controller);
        QCOMPARE(controller->CurrentPath(), path);
        QCOMPARE(controller->MainModel()->rowCount(), 2);
        QVERIFY(!controller->unsavedChanges());

        const QString other = m_folder.filePath(QStringLiteral("handed over.tarvcue"));
        WriteShow(other, 4);
        QFileOpenEvent remote(QUrl(QStringLiteral("https://example.com/x.tarvcue")));
        QCoreApplication::sendEvent(&m_app, &remote);
        QCOMPARE(controller->CurrentPath(), path);
        QFileOpenEvent local(QUrl::fromLocalFile(other));
        QCoreApplication::sendEvent(&m_app, &local);
        QCOMPARE(controller->CurrentPath(), other);
        QCOMPARE(controller->MainModel()->rowCount(), 4);
    }

    void theCommandLineNamesTheFileAsItsFirstArgument_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("file");
        const QString here = QDir::current().absoluteFilePath(QStringLiteral("show.tarvcue"));
        QTest::newRow("none") << QStringList{} << QString();
        QTest::newRow("console only") << QStringList{"-c"} << QString();
        QTest::newRow("file") << QStringList{"show.tarvcue"} << here;
        QTest::newRow("console, then file") << QStringList{"-c", "show.tarvcue"} << here;
        QTest::newRow("long console option") << QStringList{"show.tarvcue", "--console"} << here;
        QTest::newRow("file URL") << QStringList{"file:///tmp/a%20b.tarvcue"}
                                  << QStringLiteral("/tmp/a b.tarvcue");
    }
    void theCommandLineNamesTheFileAsItsFirstArgument()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, file);
        QCommandLineParser parser;
        const QCommandLineOption console(QStringList{"c", "console"},
                                         QStringLiteral("Enable Windows console"));
        parser.addOption(console);
        QVERIFY(parser.parse(QStringList{"tarv_cue"} + arguments));
        QCOMPARE(StartupCueFile(parser), file);
    }

    void everyAnswerToTheUnsavedChangesPrompts_data()
    {
        QTest::addColumn<Command>("command");
        QTest::addColumn<Answer>("answer");
        QTest::addColumn<bool>("diskFull");
        const char* commands[] = {"new", "open", "close"};
        const char* answers[] = {"save", "discard", "Escape", "frame"};
        for (int c = 0; c < 3; ++c) {
            for (int a = 0; a < 4; ++a) {
                QTest::addRow("%s, %s", commands[c], answers[a])
                    << Command(c) << Answer(a) << false;
            }
            QTest::addRow("%s, save fails", commands[c]) << Command(c) << Answer::Accept << true;
        }
    }
    void everyAnswerToTheUnsavedChangesPrompts()
    {
        QFETCH(Command, command);
        QFETCH(Answer, answer);
        QFETCH(bool, diskFull);
        // Saving and discarding go ahead with the command; a dismissal and a
        // failed save withdraw it, keeping the edited list of "saved" (4
        // entries) dirty. "other" has 2 entries.
        const bool saved = answer == Answer::Accept && !diskFull;
        const bool goesAhead = saved || answer == Answer::Cancel;
        const bool exits = goesAhead && command == Command::Close;
        const bool replaced = goesAhead && command != Command::Close;
        const int rows = !replaced ? 4 : command == Command::New ? 3 : 2;

        const QString savedPath = m_folder.filePath(QStringLiteral("saved.tarvcue"));
        const QString otherPath = m_folder.filePath(QStringLiteral("other.tarvcue"));
        WriteShow(savedPath, 3);
        WriteShow(otherPath, 2);
        const QByteArray before = tarv::testing::ReadAll(savedPath);
        AutomationController* controller = Open(savedPath);
        QVERIFY(controller);
        controller->AddWait(1.0, 0);
        QVERIFY(controller->unsavedChanges());

        switch (command) {
        case Command::New:
            controller->New();
            break;
        case Command::Open:
            controller->Load(QUrl::fromLocalFile(otherPath).toString());
            break;
        case Command::Close:
            QVERIFY(!MainWindow()->close());
            break;
        }
        QQuickWindow* prompt = OpenPrompt(*controller);
        QVERIFY(prompt);
        QCOMPARE(prompt->property("title").toString(), QStringLiteral("Unsaved Changes"));
        QCOMPARE(prompt->property("type").toString(), QStringLiteral("WARNING"));
        QCOMPARE(prompt->property("acceptButtonText").toString(),
                 command == Command::Close ? QStringLiteral("Save And Close")
                                           : QStringLiteral("Save And Continue"));
        QCOMPARE(prompt->property("cancelButtonText").toString(),
                 command == Command::Close ? QStringLiteral("Close Without Saving")
                                           : QStringLiteral("Continue Without Saving"));
        QVERIFY(controller->unsavedChanges()); // nothing is given up before the answer
        QCOMPARE(controller->closingDeferred(), command == Command::Close);
        // The prompt takes the keys from the main window.
        QTRY_COMPARE(QGuiApplication::focusWindow(), prompt);

        std::optional<tarv::testing::FileSizeLimit> full;
        if (diskFull) {
            full.emplace(16);
        }
        const int exitCode = ExitCodeOf([&] {
            switch (answer) {
            case Answer::Accept:
                Click(prompt, "okButton");
                break;
            case Answer::Cancel:
                Click(prompt, "cancelButton");
                break;
            case Answer::Escape:
                QTest::keyClick(prompt, Qt::Key_Escape);
                break;
            case Answer::Frame:
                prompt->close();
                break;
            }
        });
        full.reset();

        QCOMPARE(exitCode, exits ? 0 : -1);
        QCOMPARE(tarv::testing::ReadAll(savedPath) != before, saved);
        QVERIFY(!OpenPrompt(*controller));
        QVERIFY(!controller->newFileDeferred());
        if (!exits) {
            QVERIFY(!controller->closingDeferred());
            QVERIFY(MainWindow()->isVisible());
        }
        const QString expectedPath = !replaced                  ? savedPath
                                     : command == Command::Open ? otherPath
                                                                : QString();
        QCOMPARE(controller->CurrentPath(), expectedPath);
        QCOMPARE(controller->MainModel()->rowCount(), rows);
        // The edited list stays dirty until it is saved or given up.
        QCOMPARE(controller->unsavedChanges(), rows == 4 && !saved);
    }

    void spaceFiresOneCueHeldOrNotAndEscapeCancelsIt()
    {
        AutomationController* controller = Open();
        QVERIFY(controller);
        auto* window = qobject_cast<QQuickWindow*>(MainWindow());

        // Held down: one press, then the keyboard's repeats.
        QTest::keyPress(window, Qt::Key_Space);
        for (int repeat = 0; repeat < 5; ++repeat) {
            QKeyEvent again(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "),
                            true);
            QCoreApplication::sendEvent(window, &again);
        }
        QTest::keyRelease(window, Qt::Key_Space);
        QCOMPARE(controller->Document().CurrentEventIndex(), std::size_t(1));

        // The first cue's second event waits one second; Escape cancels it.
        const auto firstCue = controller->Document().GetEvent(0);
        QSignalSpy complete(firstCue.get(), &Event::complete);
        QTest::keyClick(window, Qt::Key_Escape);
        QTRY_VERIFY(!complete.isEmpty());
        QCOMPARE(complete.first().at(1).toBool(), true);
    }

private:
    // Opens the real main window as the program does; its controller.
    AutomationController* Open(const QString& startupFile = QString())
    {
        OpenMainView(m_engine.get(), m_app, startupFile);
        QObject* window = MainWindow();
        if (!window) {
            return nullptr;
        }
        auto* mainWindow = qobject_cast<QWindow*>(window);
        if (!mainWindow || !QTest::qWaitForWindowExposed(mainWindow)) {
            return nullptr;
        }
        // Keys go to the window that has the focus; a message shown at once
        // may take it.
        mainWindow->requestActivate();
        [[maybe_unused]] const bool focused =
            QTest::qWaitFor([&] { return QGuiApplication::focusWindow() == mainWindow; }, 1000);
        return qobject_cast<AutomationController*>(
            window->property("mainController").value<QObject*>());
    }

    QWindow* MainWindow() const
    {
        return m_app.MainView() ? qobject_cast<QWindow*>(m_app.MainView()->Window()) : nullptr;
    }

    CueApplication& m_app;
    QTemporaryDir m_folder;
    std::unique_ptr<QQmlApplicationEngine> m_engine;
    int m_port = 0;
};

int main(int argc, char** argv)
{
    qputenv("QT_QUICK_CONTROLS_STYLE", "Basic");
    CueApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("QuillonWorks"));
    QCoreApplication::setOrganizationDomain(QStringLiteral("quillonworks.com"));
    RegisterQmlTypes();
    TestMainWindowController test(app);
    return QTest::qExec(&test, argc, argv);
}

#include "tst_mainwindowcontroller.moc"
