#include "automation/eventgroup.h"
#include "automation/waitevent.h"
#include "probeevent.h"

#include <QSignalSpy>
#include <QTest>

using namespace tarv::automation;

namespace {

// Generous bound on timer lateness: the machine may be busy.
constexpr qint64 kSlackMs = 150;

struct Cue
{
    std::shared_ptr<EventGroup> group = std::make_shared<EventGroup>();
    std::vector<std::shared_ptr<ProbeEvent>> children;
    std::shared_ptr<ProbeEvent::Log> log = std::make_shared<ProbeEvent::Log>();
};

Cue MakeCue(std::initializer_list<unsigned> offsets)
{
    Cue cue;
    for (const unsigned offset : offsets) {
        cue.children.push_back(std::make_shared<ProbeEvent>(offset, cue.log));
        cue.group->AddEvent(cue.children.back());
    }
    return cue;
}

void Fill(EventGroup& list, std::initializer_list<std::shared_ptr<Event>> entries)
{
    for (const auto& entry : entries) {
        list.AddEvent(entry);
    }
}

} // namespace

class TestCueListRun : public QObject
{
    Q_OBJECT

private slots:
    void goRunsCuesAndWaits();
    void cancelStopsEverything();
    void cancelOfFinishedCueKeepsItsCount();
    void receiversMayEditTheRunningCue();
};

void TestCueListRun::goRunsCuesAndWaits()
{
    const Cue a = MakeCue({0, 100, 200});
    const Cue b = MakeCue({0});
    const Cue skipped = MakeCue({0});
    const Cue c = MakeCue({0});
    const Cue d = MakeCue({0});
    const auto lastWait = std::make_shared<Wait>(30);
    skipped.group->Status("x");
    EventGroup list;
    Fill(list, {a.group, std::make_shared<Wait>(300), b.group, skipped.group, c.group, lastWait,
                d.group});
    QSignalSpy index(&list, &EventGroup::currentEventIndexChanged);
    QSignalSpy aDone(a.group.get(), &Event::complete);

    const qint64 go = ProbeEvent::Clock().elapsed();
    list.Go(); // fires cue A and the WAIT after it
    QCOMPARE(list.CurrentEventIndex(), 2U);
    QVERIFY(aDone.wait(2000));
    QCOMPARE(aDone.first().at(1).toBool(), false);
    QCOMPARE(a.log->size(), 3U);
    for (std::size_t i = 0; i < 3; ++i) {
        const qint64 late = a.log->at(i) - go - static_cast<qint64>(i) * 100;
        QVERIFY2(late >= 0 && late < kSlackMs, qPrintable(QString::number(late)));
    }

    // The WAIT's completion fires cue B and moves past the disabled cue.
    QTRY_COMPARE(b.children[0]->runs, 1);
    QVERIFY(b.log->front() - go >= 300);
    QCOMPARE(list.CurrentEventIndex(), 4U);
    QCOMPARE(index.count(), 3);
    QTest::qWait(50);
    QCOMPARE(skipped.children[0]->runs + c.children[0]->runs, 0);

    // A WAIT that leaves the last cue current does not fire it.
    QSignalSpy lastWaitDone(lastWait.get(), &Event::complete);
    list.Go();
    QVERIFY(lastWaitDone.wait(1000));
    QTest::qWait(50);
    QCOMPARE(c.children[0]->runs, 1);
    QCOMPARE(d.children[0]->runs, 0);
    QCOMPARE(list.CurrentEventIndex(), 6U);
}

void TestCueListRun::cancelStopsEverything()
{
    const Cue a = MakeCue({0, 200});
    const Cue b = MakeCue({0});
    EventGroup list;
    Fill(list, {a.group, std::make_shared<Wait>(100), b.group, MakeCue({0}).group});
    QSignalSpy aDone(a.group.get(), &Event::complete);

    list.Go();
    QTRY_COMPARE(a.children[0]->runs, 1);
    list.Cancel();
    QVERIFY(!aDone.isEmpty() && aDone.last().at(1).toBool());
    // Neither the pending child nor the cancelled WAIT goes on.
    QTest::qWait(300);
    QCOMPARE(a.children[1]->runs + b.children[0]->runs, 0);
    QCOMPARE(list.CurrentEventIndex(), 2U);
}

void TestCueListRun::cancelOfFinishedCueKeepsItsCount()
{
    const Cue cue = MakeCue({0, 80});
    QSignalSpy done(cue.group.get(), &Event::complete);
    cue.group->Execute();
    QVERIFY(done.wait(1000));
    cue.group->Cancel();
    QVERIFY(done.last().at(1).toBool());

    // The cue still completes only when its last child has acted.
    done.clear();
    cue.group->Execute();
    QVERIFY(done.wait(1000));
    QCOMPARE(done.count(), 1);
    QCOMPARE(done.first().at(1).toBool(), false);
    QCOMPARE(cue.children[1]->runs, 2);
}

void TestCueListRun::receiversMayEditTheRunningCue()
{
    Cue cue = MakeCue({0, 10, 20});
    // The first child's announcement empties the cue while it is walked.
    connect(cue.children[0].get(), &Event::firing, this, [&cue] {
        while (!cue.group->Events().empty()) {
            cue.group->RemoveEvent(0);
        }
    });
    QSignalSpy done(cue.group.get(), &Event::complete);
    cue.group->Execute();
    QVERIFY(done.wait(1000));
    QCOMPARE(cue.log->size(), 3U);
}

QTEST_GUILESS_MAIN(TestCueListRun)
#include "tst_cuelistrun.moc"
