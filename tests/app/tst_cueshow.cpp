// The show running end to end: GO through the main controller to a real OSC
// receiver (liblo's oscdump), audio events to the sound-effect player, and
// OSC commands from liblo's oscsend to the controller's own server, heard on
// a private PulseAudio server when one runs.

#include "app/automationcontroller.h"
#include "automation/automation.h"
#include "automation/customaudio.h"
#include "automation/eventgroup.h"
#include "automation/oscevent.h"
#include "automation/waitevent.h"
#include "controllertesthelpers.h"
#include "sfx/customaudioparameters.h"
#include "sfx/sfxdtobuilder.h"
#include "sfx/sfxmanifest.h"
#include "sfx/sfxplayer.h"
#include "sfx/sfxplayercontroller.h"
#include "tests/sfx/monitorrecorder.h"

#include <algorithm>
#include <cmath>
#include <QElapsedTimer>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QUdpSocket>

using namespace tarv::automation;
using tarv::audio::CustomAudioParameters;
using tarv::testing::StartedController;

namespace {

// liblo's oscdump on a free loopback port; each line it prints is stamped
// with the time it arrived.
class OscDump
{
public:
    OscDump()
        : m_port(tarv::testing::FreeUdpPort())
    {
        m_process.start(QStringLiteral("oscdump"), {QStringLiteral("-L"), QString::number(m_port)});
        m_clock.start();
        QObject::connect(&m_process, &QProcess::readyReadStandardOutput, [this] {
            while (m_process.canReadLine()) {
                m_lines.push_back(
                    {QString::fromUtf8(m_process.readLine()).trimmed(), m_clock.elapsed()});
            }
        });
    }
    ~OscDump()
    {
        m_process.kill();
        m_process.waitForFinished();
    }

    // Whether oscdump holds its port, waiting for it to start.
    bool Listening()
    {
        for (int tries = 0; tries < 100; ++tries) {
            QUdpSocket probe;
            if (!probe.bind(QHostAddress::Any, static_cast<quint16>(m_port))) {
                return true;
            }
            probe.close();
            QTest::qWait(20);
        }
        return false;
    }

    int Port() const { return m_port; }
    bool WaitForLines(std::size_t count)
    {
        return QTest::qWaitFor([&] { return m_lines.size() >= count; }, 30000);
    }
    // Arrival of each line, in milliseconds after the first one.
    QList<qint64> Offsets() const
    {
        QList<qint64> offsets;
        for (const auto& line : m_lines) {
            offsets << line.second - m_lines.front().second;
        }
        return offsets;
    }
    QStringList Lines() const
    {
        QStringList lines;
        for (const auto& line : m_lines) {
            lines << line.first;
        }
        return lines;
    }

private:
    int m_port;
    QProcess m_process;
    QElapsedTimer m_clock;
    std::vector<std::pair<QString, qint64>> m_lines;
};

std::shared_ptr<Osc> OscEvent(Automation& document, const QString& message, unsigned offset)
{
    auto event = std::make_shared<Osc>(&document.GetNetworks());
    event->Message(message);
    event->Offset(offset);
    return event;
}

// Replaces the open list by `entries`, sending to `port` on loopback.
void ShowTo(Automation& document, int port, const std::vector<std::shared_ptr<Event>>& entries)
{
    while (!document.Events().empty()) {
        document.RemoveEvent(0);
    }
    document.GetNetworks().front().port = port;
    for (const auto& entry : entries) {
        document.AddEvent(entry);
    }
}

bool OscSend(int port, const QStringList& message)
{
    return QProcess::execute(QStringLiteral("oscsend"),
                             QStringList{QStringLiteral("127.0.0.1"), QString::number(port)} +
                                 message) == 0;
}

double MedianLevel(std::vector<double> levels, int fromMs, int toMs)
{
    constexpr int window = MonitorRecorder::kWindowMilliseconds;
    const auto from = levels.begin() + std::min<std::ptrdiff_t>(fromMs / window, levels.size());
    const auto to = levels.begin() + std::min<std::ptrdiff_t>(toMs / window, levels.size());
    std::vector<double> part(from, to);
    if (part.empty()) {
        return 0.0;
    }
    std::nth_element(part.begin(), part.begin() + static_cast<std::ptrdiff_t>(part.size() / 2),
                     part.end());
    return part[part.size() / 2];
}

} // namespace

class TestCueShow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("oscdump")).isEmpty() ||
            QStandardPaths::findExecutable(QStringLiteral("oscsend")).isEmpty()) {
            QSKIP("liblo-tools (oscdump, oscsend) are not installed.");
        }
    }

    void init() { tarv::testing::UseListenPort(tarv::testing::FreeUdpPort()); }

    void goSendsACuesOscEventsAtTheirOffsetsAndAWaitFiresTheNextCue()
    {
        OscDump dump;
        QVERIFY(dump.Listening());
        StartedController controller;
        Automation& show = controller->Document();
        auto first = std::make_shared<EventGroup>();
        first->AddEvent(OscEvent(show, QStringLiteral("/cue/one 1"), 0));
        first->AddEvent(OscEvent(show, QStringLiteral("/cue/one 2"), 300));
        first->AddEvent(OscEvent(show, QStringLiteral("/cue/one 3"), 600));
        auto second = std::make_shared<EventGroup>();
        second->AddEvent(OscEvent(show, QStringLiteral("/cue/two 4"), 0));
        ShowTo(show, dump.Port(), {first, std::make_shared<Wait>(1000), second});

        controller->Go();
        QVERIFY2(dump.WaitForLines(4), qPrintable(dump.Lines().join('|')));
        QStringList messages = dump.Lines();
        for (QString& line : messages) {
            line = line.section(QLatin1Char(' '), 1); // oscdump stamps each line
        }
        QCOMPARE(messages,
                 (QStringList{"/cue/one i 1", "/cue/one i 2", "/cue/one i 3", "/cue/two i 4"}));
        const QList<qint64> offsets = dump.Offsets();
        const QList<qint64> expected{0, 300, 600, 1000};
        for (int i = 1; i < offsets.size(); ++i) {
            // Busy machines are late by tens of milliseconds; a message at
            // its neighbour's offset is 300 ms off.
            QVERIFY2(std::abs(offsets[i] - expected[i]) <= 200,
                     qPrintable(QStringLiteral("message %1 after %2 ms").arg(i).arg(offsets[i])));
        }
        // The WAIT fired the show's last cue, which stays current.
        QCOMPARE(controller->Document().CurrentEventIndex(), std::size_t(2));
    }

    void audioEventsReachTheSoundEffectPlayer()
    {
        StartedController controller;
        Automation& show = controller->Document();
        const auto audio = [](const QString& file) {
            return std::make_shared<CustomAudio>(
                CustomAudioParameters::builder().name(QStringLiteral("Bang")).file(file).build(),
                0);
        };
        auto cue = std::make_shared<EventGroup>();
        cue->AddEvent(audio(QString()));
        const QString missing = QDir::temp().filePath(QStringLiteral("no-such-bang.wav"));
        cue->AddEvent(audio(missing));
        ShowTo(show, tarv::testing::FreeUdpPort(), {cue});
        // Saved and opened again, so the document wires its own audio events.
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("audio.tarvcue"));
        QVERIFY(controller->Save(true, path));
        controller->Load(path, true);
        QCOMPARE(controller->CurrentPath(), path);

        controller.errors.clear();
        controller->Go();
        // The file-less one is refused by the player at once; the missing
        // file is reported by the player once it tried to read it (already
        // when the file was opened, which still opened).
        const auto reported = [&](const QString& title) {
            return std::any_of(controller.errors.begin(), controller.errors.end(),
                               [&](const QList<QVariant>& error) {
                                   return error.at(0).toString() == title &&
                                          error.at(2).toString() == QStringLiteral("ERROR");
                               });
        };
        QVERIFY(QTest::qWaitFor([&] { return reported(QStringLiteral("Error Playing Audio")); }));
        QVERIFY(QTest::qWaitFor([&] { return reported(QStringLiteral("SFX Error")); }));
    }

    void oscCommandsPlayFadeAndStopAnInstanceOfTheOpenFile()
    {
        const QString server = qEnvironmentVariable("PULSE_SERVER");
        const bool audible =
            !server.isEmpty() && QFileInfo::exists(server.mid(server.indexOf(':') + 1));

        const int port = tarv::testing::FreeUdpPort();
        tarv::testing::UseListenPort(port);
        StartedController controller;
        QSignalSpy notices(controller.controller.get(), &AutomationController::oscNotification);
        controller->Document().AddSoundEffect(tarv::audio::sfx::SfxDto::builder()
                                                  .name("Loop")
                                                  .eventId("sfx.1")
                                                  .effectId("tone.a440")
                                                  .volume(1.0F)
                                                  .repeats(-1)
                                                  .build());
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("loop.tarvcue"));
        QVERIFY(controller->Save(true, path));
        controller->Load(path, true);

        tarv::audio::SfxPlayerController player;
        QSignalSpy finished(player.GetPlayer("sfx.1"), &tarv::audio::SfxPlayer::sfxFinished);
        std::unique_ptr<MonitorRecorder> recorder;
        if (audible) {
            recorder = std::make_unique<MonitorRecorder>(QStringLiteral("tarv_test"));
            QVERIFY(recorder->Start());
            QTest::qWait(300);
        }
        QElapsedTimer clock;
        clock.start();
        // Each state is held for two seconds and measured in its second
        // half: a busy machine may be late to take a command.
        QVERIFY(OscSend(port, {QStringLiteral("/tarv/sfx/sfx.1/play")}));
        QTest::qWait(2000);
        const int fadeAt = static_cast<int>(clock.elapsed());
        QVERIFY(OscSend(port, {QStringLiteral("/tarv/sfx/sfx.1/fadeto"), QStringLiteral("ff"),
                               QStringLiteral("-20"), QStringLiteral("0.1")}));
        QTest::qWait(2000);
        const int stopAt = static_cast<int>(clock.elapsed());
        QVERIFY(finished.isEmpty()); // a loop plays on until it is stopped
        QVERIFY(OscSend(port, {QStringLiteral("/tarv/sfx/sfx.1/stop")}));
        QVERIFY(finished.wait(10000));
        QCOMPARE(notices.count(), 3);
        if (!recorder) {
            QSKIP("No private PulseAudio server runs: levels were not measured.");
        }
        // The recording comes in steps: it holds the stop once its last
        // 200 ms are quiet, or (a stop that did not silence) after a while.
        const auto tailQuiet = [&] {
            const auto levels = recorder->Levels();
            return levels.size() > 20 &&
                   std::all_of(levels.end() - 20, levels.end(), [](double l) { return l < 0.005; });
        };
        (void)QTest::qWaitFor(tailQuiet, 5000);
        recorder->Stop();

        // Times on the recording: it started 300 ms before the clock.
        const auto levels = recorder->Levels();
        const double full = MedianLevel(levels, 300 + 1000, 300 + fadeAt);
        const double faded = MedianLevel(levels, 300 + fadeAt + 1000, 300 + stopAt);
        const double stopped = MedianLevel(levels, static_cast<int>(levels.size()) * 10 - 200,
                                           static_cast<int>(levels.size()) * 10);
        const QString measured =
            QStringLiteral("full %1, faded %2, stopped %3").arg(full).arg(faded).arg(stopped);
        qInfo("%s", qPrintable(measured));
        QVERIFY2(full > 0.1, qPrintable(measured));
        QVERIFY2(std::abs(faded / full - 0.1) < 0.03, qPrintable(measured)); // -20 dB
        QVERIFY2(stopped < 0.005, qPrintable(measured));
    }
};

QTEST_GUILESS_MAIN(TestCueShow)
#include "tst_cueshow.moc"
