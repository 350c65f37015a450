#include "osc/osccommanddispatcher.h"
#include "osc/oscmessageencoder.h"
#include "osctesthelpers.h"

#include <QTest>

using namespace tarv::osc;
using namespace tarv::osc::test;

class TestOscCommandDispatcher : public QObject
{
    Q_OBJECT

private slots:
    void dispatchesCommands_data()
    {
        QTest::addColumn<QString>("command"); // a text command, as the client encodes it
        QTest::addColumn<QStringList>("calls");
        const auto row = [](const char* command, const QStringList& calls) {
            QTest::newRow(command) << QString::fromUtf8(command) << QStringList{"Notify"} + calls;
        };
        const auto error = [](const char* text) {
            return QStringList{QStringLiteral("Error %1,Unable to process OSC command").arg(text)};
        };

        row("/tarv/go", {"Advance ,"});
        row("/tarv/show/A/song/B/advance", {"Advance A,B"});
        row("/tarv/sfx/sfx.1/play", {"PlaySfx ,sfx.1"});
        row("/tarv/sfx/sfx.1/stop", {"StopSfx ,sfx.1"});
        row("/tarv/show/S/sfx/*/stop", {"StopAllSfx S"});
        row("/tarv/sfx/sfx.1/fadeto -6.5 2.0", {"FadeSfx ,sfx.1,0.501187,2000"});
        row("/tarv/sfx/sfx.1/fadeto", {});
        row("/tarv/sfx/sfx.1/play 1", {});
        row("/tarv/sfx/sfx.1/pause", {});
        row("/tarv/fadeout x", {"FadeOut ,,0.25"});
        row("/tarv/fadeout 3", {"FadeOut ,,3"});
        row("/tarv/fadeto 1", {"FadeTo ,,0.25,0.5,0"});
        row("/tarv/fadeto -20 3", {"FadeTo ,,3,0.1,0"});
        row("/tarv/fadeto x 3", error("Parameter does not convert to float32."));
        row("/tarv/volume -6.0", {"Volume 0.501187"});
        row("/tarv/volume x", {"Volume 1"});
        row("/tarv/show/A/stop", {"Stop A,", "StopAllSfx "});
        row("/tarv/play", {"Play ,"});
        row("/tarv/pause", {"Pause ,"});
        row("/tarv/event/12/go", {"AdvanceEvent ,,12"});
        row("/tarv/event/12/play", error("Unknown command for OSC event command."));
        row("/tarv/event/go", error("Unknown command for OSC event command."));
        row("/tarv/cue/1/go", error("Unknown OSC command part: cue"));
        row("/tarv//go", error("Unknown OSC command part: "));
        row("/tarv", error("OSC command is too short for processing."));
        row("/other/go", error("OSC commands to TARV software must start with /tarv/"));
        row("/tarv/", {});
        row("/tarv/xyz", {});

        // Levels and times that no conversion can carry are refused, not truncated.
        const QStringList level =
            error("OSC level in dB must be a finite number within integer range.");
        const QStringList time =
            error("OSC fade time must be a finite number within integer range.");
        row("/tarv/sfx/sfx.1/fadeto -6",
            error("OSC sfx fadeto needs a level in dB and a fade time in seconds."));
        row("/tarv/sfx/sfx.1/fadeto nan 1", level);
        row("/tarv/sfx/sfx.1/fadeto 1e30 1", level);
        row("/tarv/sfx/sfx.1/fadeto -6 inf", time);
        row("/tarv/sfx/sfx.1/fadeto -6 3000000", time);
        row("/tarv/fadeto -inf 1", level);
        row("/tarv/fadeto 2147483648 1", level);
        row("/tarv/fadeto -6 nan", time);
        row("/tarv/fadeout inf", time);
        row("/tarv/volume nan", level);
    }

    void dispatchesCommands()
    {
        QFETCH(QString, command);
        QFETCH(QStringList, calls);
        const auto log = std::make_shared<QStringList>();
        OscCommandDispatcher dispatcher(std::make_unique<RecordingHandler>(log));
        dispatcher.DispatchOscMessage(Parse(EncodeOscMessage(command)));
        QCOMPARE(*log, calls);
    }

    void keepsHandlerFailuresInside()
    {
        struct Throwing : OscProcInterface
        {
            void OnNotify() override { throw std::runtime_error("notify failed"); }
            void OnProcessingError(const std::string&, const std::string&) override
            {
                throw std::runtime_error("report failed");
            }
        };
        const CerrCapture capture;
        OscCommandDispatcher(nullptr).DispatchOscMessage(Parse(EncodeOscMessage("/bad")));
        OscCommandDispatcher(std::make_unique<Throwing>())
            .DispatchOscMessage(Parse(EncodeOscMessage("/tarv/go")));
        // The default handler reports on standard error.
        OscCommandDispatcher(std::make_unique<OscProcInterface>())
            .DispatchOscMessage(Parse(EncodeOscMessage("/tarv/cue/go")));
        QTRY_COMPARE(capture.Text(),
                     "Unable to process OSC command: notify failed (report failed)\n"
                     "Unable to process OSC command: Unknown OSC command part: cue\n");
    }

    void defaultReportKeepsThePeersBytesOffTheTerminal()
    {
        const CerrCapture capture;
        OscCommandDispatcher(std::make_unique<OscProcInterface>())
            .DispatchOscMessage(Parse(EncodeOscMessage(QString::fromUtf8(
                "/tarv/\x1b[31mred\x1b[0m\r\nFAKE\\\xc2\x9b\xe2\x80\xae\xc3\xa9/go"))));
        QTRY_VERIFY_WITH_TIMEOUT(!capture.Text().empty(), 3000);
        // C1 controls and bidirectional overrides too; other text as it is.
        QCOMPARE(capture.Text(), "Unable to process OSC command: Unknown OSC command part: "
                                 "\\x1b[31mred\\x1b[0m\\r\\nFAKE\\\\\\u{009b}\\u{202e}\xc3\xa9\n");
    }
};

QTEST_GUILESS_MAIN(TestOscCommandDispatcher)
#include "tst_osccommanddispatcher.moc"
