#include "customaudio.h"
#include "eventgroup.h"
#include "oscevent.h"
#include "probeevent.h"
#include "waitevent.h"

#include <climits>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using namespace tarv::automation;
using tarv::audio::CustomAudioCommand;
using tarv::audio::CustomAudioParameters;

class TestEvent : public QObject
{
    Q_OBJECT

private slots:
    void firingProtocol();
    void cancelAndRefire();
    void destroyedWhilePendingStaysSilent();
    void longWaitArmsClampedTimer();
    void waitNames_data();
    void waitNames();
    void oscAndAudioDescribeThemselves();
    void audioRequestsFollowCommand();
};

void TestEvent::firingProtocol()
{
    ProbeEvent event(0);
    QStringList order;
    connect(&event, &Event::waiting, this,
            [&](float s) { order << QStringLiteral("waiting %1").arg(s); });
    connect(&event, &Event::firing, this, [&] { order << QStringLiteral("firing"); });
    QSignalSpy complete(&event, &Event::complete);

    // Even a zero delay never acts inside Execute.
    event.Execute();
    QCOMPARE(order, (QStringList{"waiting 0", "firing"}));
    QCOMPARE(event.Runs(), 0);
    QVERIFY(complete.wait(1000));
    QCOMPARE(event.Runs(), 1);
    QCOMPARE(complete.first().at(1).toBool(), false);

    // Two firings within the delay act twice.
    event.Offset(30);
    event.Execute();
    event.Execute();
    QTRY_COMPARE(event.Runs(), 3);
    QCOMPARE(event.AutoName(), QString());
}

void TestEvent::cancelAndRefire()
{
    ProbeEvent event(40);
    QSignalSpy complete(&event, &Event::complete);

    event.Cancel(); // idle: still reports a cancelled completion
    QCOMPARE(complete.count(), 1);
    QVERIFY(complete.takeFirst().at(1).toBool());

    event.Execute();
    event.Cancel();
    QCOMPARE(complete.count(), 1);
    QVERIFY(event.Cancelled());
    QTest::qWait(100);
    QCOMPARE(event.Runs(), 0);
    QCOMPARE(complete.count(), 1); // once, by Cancel; the timer never expired

    event.Execute(); // fires normally after a cancellation
    QVERIFY(!event.Cancelled());
    QTRY_COMPARE(event.Runs(), 1);
    QCOMPARE(complete.last().at(1).toBool(), false);
}

void TestEvent::destroyedWhilePendingStaysSilent()
{
    auto record = std::make_shared<ProbeEvent::Record>();
    auto event = std::make_unique<ProbeEvent>(20, record);
    QSignalSpy complete(event.get(), &Event::complete);
    event->Execute();
    event.reset();
    QTest::qWait(80);
    QCOMPARE(complete.count(), 0);
    QVERIFY(record->actionTimesMs.empty());

    // A receiver may drop the last reference while the event reports.
    auto shared = std::make_shared<ProbeEvent>(0);
    connect(shared.get(), &Event::complete, this, [&shared] { shared.reset(); });
    shared->Execute();
    QTRY_VERIFY(!shared);
    QTest::qWait(20);
}

void TestEvent::longWaitArmsClampedTimer()
{
    // 2^31 ms wraps to a negative int interval, which Qt refuses.
    Wait wait(2147483648U);
    wait.Offset(UINT_MAX);
    QCOMPARE(wait.Delay(), 2147483648ULL + UINT_MAX);

    QSignalSpy waiting(&wait, &Event::waiting);
    wait.Execute();
    QCOMPARE(waiting.first().at(0).toFloat(),
             static_cast<float>((2147483648.0 + UINT_MAX) / 1000.0));
    const auto* timer = wait.findChild<QTimer*>();
    QVERIFY(timer != nullptr);
    QVERIFY(timer->isActive());
    QCOMPARE(timer->interval(), INT_MAX);
    wait.Cancel();
    QVERIFY(!timer->isActive());
}

void TestEvent::waitNames_data()
{
    QTest::addColumn<unsigned>("ms");
    QTest::addColumn<QString>("name");
    QTest::newRow("one") << 1000U << "Wait for 1 second then execute next!";
    QTest::newRow("fraction") << 2500U << "Wait for 2.5 seconds then execute next!";
    QTest::newRow("zero") << 0U << "Wait for 0 seconds then execute next!";
    QTest::newRow("six digits") << 1234567U << "Wait for 1234.57 seconds then execute next!";
}

void TestEvent::waitNames()
{
    QFETCH(unsigned, ms);
    QFETCH(QString, name);
    Wait wait(ms);
    QCOMPARE(wait.Name(), name);
    QCOMPARE(wait.Status(), QStringLiteral("continue"));
    QCOMPARE(wait.Type(), QStringLiteral("WAIT"));
    wait.Offset(5);
    QCOMPARE(wait.Delay(), std::uint64_t{ms} + 5);
}

void TestEvent::oscAndAudioDescribeThemselves()
{
    const std::vector<tarv::networking::NetworkPath> none;
    Osc empty(&none);
    QCOMPARE(empty.NetworkId(), QString());
    QCOMPARE(empty.AutoName(), QStringLiteral("Empty OSC Command"));

    std::vector<tarv::networking::NetworkPath> two(2);
    two[0].network_id = "FIRST";
    two[1].network_id = "SECOND";
    Osc osc(&two);
    QCOMPARE(osc.NetworkId(), QStringLiteral("FIRST"));
    osc.Message(QStringLiteral("/tarv/sfx/sfx.1/play"));
    QCOMPARE(osc.AutoName(), QStringLiteral("/tarv/sfx/sfx.1/play"));

    CustomAudio audio(CustomAudioParameters::builder().file("C:/show/audio/hit.wav").build(), 0);
    QCOMPARE(audio.AutoName(), QStringLiteral("Play hit.wav"));

    // New parameters reach the cue list as an update.
    EventGroup cue;
    auto shared = std::make_shared<CustomAudio>(CustomAudioParameters{}, 0);
    cue.AddEvent(shared);
    QSignalSpy updated(&cue, &EventGroup::eventsUpdated);
    shared->parameters(CustomAudioParameters::builder().file(QString()).build());
    QCOMPARE(updated.count(), 1);
    QCOMPARE(shared->AutoName(), QStringLiteral("Play undefined file"));
}

void TestEvent::audioRequestsFollowCommand()
{
    // A command read from a file may be any number: only 0 and 1 ask.
    for (const int command : {0, 1, 7}) {
        CustomAudio audio(CustomAudioParameters::builder()
                              .command(static_cast<CustomAudioCommand>(command))
                              .build(),
                          0);
        QSignalSpy play(&audio, &CustomAudio::requestPlay);
        QSignalSpy stop(&audio, &CustomAudio::requestStop);
        QSignalSpy complete(&audio, &Event::complete);
        audio.Execute();
        QVERIFY(complete.wait(1000));
        QCOMPARE(play.count(), command == 0 ? 1 : 0);
        QCOMPARE(stop.count(), command == 1 ? 1 : 0);
        const QSignalSpy& request = command == 0 ? play : stop;
        if (command != 7) {
            QCOMPARE(request.first().at(0).value<CustomAudioParameters*>(), audio.parameters());
        }
    }
}

QTEST_GUILESS_MAIN(TestEvent)
#include "tst_event.moc"
