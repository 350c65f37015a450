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
    void splitsLikeGetline();
    void dispatchesCommands_data();
    void dispatchesCommands();
    void ignoresMessagesWithoutHandler();
    void containsHandlerExceptions();
    void defaultHandlerReportsOnStandardError();
};

void TestOscCommandDispatcher::splitsLikeGetline()
{
    using Parts = std::vector<std::string>;
    QCOMPARE(SplitString("/tarv/show/A/stop", '/'), (Parts{"", "tarv", "show", "A", "stop"}));
    QCOMPARE(SplitString("a//b/", '/'), (Parts{"a", "", "b"}));
    QCOMPARE(SplitString("", '/'), Parts{});
}

void TestOscCommandDispatcher::dispatchesCommands_data()
{
    QTest::addColumn<QString>("command"); // a text command, as the client encodes it
    QTest::addColumn<QStringList>("calls");
    const QString error = "Error %1,Unable to process OSC command";
    const auto calls = [](const QStringList& list) { return QStringList{"Notify"} + list; };

    QTest::newRow("go") << "/tarv/go" << calls({"Advance ,"});
    QTest::newRow("advance with show and song")
        << "/tarv/show/A/song/B/advance" << calls({"Advance A,B"});
    QTest::newRow("sfx play") << "/tarv/sfx/sfx.1/play" << calls({"PlaySfx ,sfx.1"});
    QTest::newRow("sfx stop") << "/tarv/sfx/sfx.1/stop" << calls({"StopSfx ,sfx.1"});
    QTest::newRow("sfx stop all") << "/tarv/show/S/sfx/*/stop" << calls({"StopAllSfx S"});
    QTest::newRow("sfx fadeto") << "/tarv/sfx/sfx.1/fadeto -6.5 2.0"
                                << calls({"FadeSfx ,sfx.1,0.501187,2000"});
    QTest::newRow("sfx fadeto bare") << "/tarv/sfx/sfx.1/fadeto" << calls({});
    QTest::newRow("sfx play with argument") << "/tarv/sfx/sfx.1/play 1" << calls({});
    QTest::newRow("sfx pause") << "/tarv/sfx/sfx.1/pause" << calls({});
    QTest::newRow("fadeout default") << "/tarv/fadeout x" << calls({"FadeOut ,,0.25"});
    QTest::newRow("fadeout time") << "/tarv/fadeout 3" << calls({"FadeOut ,,3"});
    QTest::newRow("fadeto default") << "/tarv/fadeto 1" << calls({"FadeTo ,,0.25,0.5,0"});
    QTest::newRow("fadeto") << "/tarv/fadeto -20 3" << calls({"FadeTo ,,3,0.1,0"});
    QTest::newRow("fadeto string")
        << "/tarv/fadeto x 3" << calls({error.arg("Parameter does not convert to float32.")});
    QTest::newRow("volume") << "/tarv/volume -6.0" << calls({"Volume 0.501187"});
    QTest::newRow("volume string") << "/tarv/volume x" << calls({"Volume 1"});
    QTest::newRow("stop") << "/tarv/show/A/stop" << calls({"Stop A,", "StopAllSfx "});
    QTest::newRow("play") << "/tarv/play" << calls({"Play ,"});
    QTest::newRow("pause") << "/tarv/pause" << calls({"Pause ,"});
    QTest::newRow("event go") << "/tarv/event/12/go" << calls({"AdvanceEvent ,,12"});
    QTest::newRow("event play") << "/tarv/event/12/play"
                                << calls({error.arg("Unknown command for OSC event command.")});
    QTest::newRow("event without command")
        << "/tarv/event/go" << calls({error.arg("Unknown command for OSC event command.")});
    QTest::newRow("unknown part") << "/tarv/cue/1/go"
                                  << calls({error.arg("Unknown OSC command part: cue")});
    QTest::newRow("empty part") << "/tarv//go" << calls({error.arg("Unknown OSC command part: ")});
    QTest::newRow("too short") << "/tarv"
                               << calls({error.arg("OSC command is too short for processing.")});
    QTest::newRow("foreign") << "/other/go"
                             << calls({error.arg(
                                    "OSC commands to TARV software must start with /tarv/")});
    QTest::newRow("root only") << "/tarv/" << calls({});
    QTest::newRow("unknown word") << "/tarv/xyz" << calls({});

    // Levels and times that no conversion can carry are refused, not truncated.
    const QString level =
        error.arg("OSC level in dB must be a finite number within integer range.");
    const QString time = error.arg("OSC fade time must be a finite number within integer range.");
    QTest::newRow("sfx fadeto one argument")
        << "/tarv/sfx/sfx.1/fadeto -6"
        << calls({error.arg("OSC sfx fadeto needs a level in dB and a fade time in seconds.")});
    QTest::newRow("sfx level nan") << "/tarv/sfx/sfx.1/fadeto nan 1" << calls({level});
    QTest::newRow("sfx level huge") << "/tarv/sfx/sfx.1/fadeto 1e30 1" << calls({level});
    QTest::newRow("sfx time inf") << "/tarv/sfx/sfx.1/fadeto -6 inf" << calls({time});
    QTest::newRow("sfx time huge") << "/tarv/sfx/sfx.1/fadeto -6 3000000" << calls({time});
    QTest::newRow("level -inf") << "/tarv/fadeto -inf 1" << calls({level});
    QTest::newRow("level limit") << "/tarv/fadeto 2147483648 1" << calls({level});
    QTest::newRow("fadeto time nan") << "/tarv/fadeto -6 nan" << calls({time});
    QTest::newRow("fadeout time inf") << "/tarv/fadeout inf" << calls({time});
    QTest::newRow("volume nan") << "/tarv/volume nan" << calls({level});
}

void TestOscCommandDispatcher::dispatchesCommands()
{
    QFETCH(QString, command);
    QFETCH(QStringList, calls);

    const auto log = std::make_shared<RecordingHandler::Log>();
    OscCommandDispatcher dispatcher(std::make_unique<RecordingHandler>(log));
    dispatcher.DispatchOscMessage(Parse(EncodeOscMessage(command)));

    QStringList actual;
    for (const std::string& call : *log) {
        actual << QString::fromStdString(call);
    }
    QCOMPARE(actual, calls);
}

void TestOscCommandDispatcher::ignoresMessagesWithoutHandler()
{
    OscCommandDispatcher dispatcher(nullptr);
    dispatcher.DispatchOscMessage(Parse(EncodeOscMessage("/bad")));
}

void TestOscCommandDispatcher::containsHandlerExceptions()
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
    OscCommandDispatcher(std::make_unique<Throwing>())
        .DispatchOscMessage(Parse(EncodeOscMessage("/tarv/go")));
    QCOMPARE(capture.Text(), "Unable to process OSC command: notify failed (report failed)\n");
}

void TestOscCommandDispatcher::defaultHandlerReportsOnStandardError()
{
    const CerrCapture capture;
    OscCommandDispatcher dispatcher(std::make_unique<OscProcInterface>());
    dispatcher.DispatchOscMessage(Parse(EncodeOscMessage("/tarv/cue/go")));
    QCOMPARE(capture.Text(), "Unable to process OSC command: Unknown OSC command part: cue\n\n");
}

QTEST_GUILESS_MAIN(TestOscCommandDispatcher)
#include "tst_osccommanddispatcher.moc"
