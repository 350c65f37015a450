#include "automation/customaudio.h"
#include "automation/eventgroup.h"
#include "automation/waitevent.h"
#include "probeevent.h"

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
    void firingAndCancelling();
    void destroyedWhilePendingStaysSilent();
    void longWaitArmsClampedTimer();
    void concreteEventsDescribeThemselves();
    void audioRequestsFollowCommand();
};

void TestEvent::firingAndCancelling()
{
    ProbeEvent event(0);
    QStringList order;
    connect(&event, &Event::waiting, this, [&](float s) { order << QString::number(s); });
    connect(&event, &Event::firing, this, [&] { order << "firing"; });
    QSignalSpy complete(&event, &Event::complete);

    event.Execute(); // even a zero delay never acts inside Execute
    QCOMPARE(order, (QStringList{"0", "firing"}));
    QCOMPARE(event.runs, 0);
    QVERIFY(complete.wait(10000));
    QCOMPARE(event.runs, 1);

    event.Offset(40);
    event.Execute();
    event.Execute(); // two firings within the delay act twice
    QTRY_COMPARE(event.runs, 3);

    complete.clear();
    event.Execute();
    event.Cancel();
    event.Cancel(); // idle: still reports a cancelled completion
    QTest::qWait(80);
    QCOMPARE(event.runs, 3);
    QCOMPARE(complete.count(), 2);
    QVERIFY(complete.at(0).at(1).toBool() && event.Cancelled());

    event.Execute(); // fires normally after a cancellation
    QTRY_COMPARE(event.runs, 4);
    QCOMPARE(complete.last().at(1).toBool(), false);
}

void TestEvent::destroyedWhilePendingStaysSilent()
{
    auto log = std::make_shared<ProbeEvent::Log>();
    auto event = std::make_unique<ProbeEvent>(20, log);
    QSignalSpy complete(event.get(), &Event::complete);
    event->Execute();
    event.reset();
    QTest::qWait(60);
    QVERIFY(complete.isEmpty() && log->empty());

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
    wait.Execute();
    const auto* timer = wait.findChild<QTimer*>();
    QVERIFY(timer != nullptr && timer->isActive());
    QCOMPARE(timer->interval(), INT_MAX);
    wait.Cancel();
    QVERIFY(!timer->isActive());
}

void TestEvent::concreteEventsDescribeThemselves()
{
    for (const auto& [ms, text] : std::initializer_list<std::pair<unsigned, const char*>>{
             {1000, "1 second"}, {2500, "2.5 seconds"}, {1234567, "1234.57 seconds"}}) {
        QCOMPARE(Wait(ms).Name(), "Wait for " + QString(text) + " then execute next!");
    }

    // New parameters reach the cue list as an update.
    EventGroup cue;
    auto audio = std::make_shared<CustomAudio>(
        CustomAudioParameters::builder().file("C:/show/audio/hit.wav").build(), 0);
    cue.AddEvent(audio);
    QCOMPARE(audio->AutoName(), QStringLiteral("Play hit.wav"));
    QSignalSpy updated(&cue, &EventGroup::eventsUpdated);
    audio->parameters(CustomAudioParameters::builder().file(QString()).build());
    QCOMPARE(updated.count(), 1);
    QCOMPARE(audio->AutoName(), QStringLiteral("Play undefined file"));
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
        QVERIFY(complete.wait(10000));
        QCOMPARE(play.count(), command == 0 ? 1 : 0);
        QCOMPARE(stop.count(), command == 1 ? 1 : 0);
    }
}

QTEST_GUILESS_MAIN(TestEvent)
#include "tst_event.moc"
