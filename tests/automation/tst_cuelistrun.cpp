#include "eventgroup.h"
#include "probeevent.h"
#include "waitevent.h"

#include <QSignalSpy>
#include <QTest>

using namespace tarv::automation;

namespace {

// Generous upper bound on timer lateness: the machine may be busy.
constexpr qint64 kSlackMs = 150;

struct Cue
{
    std::shared_ptr<EventGroup> group = std::make_shared<EventGroup>();
    std::vector<std::shared_ptr<ProbeEvent>> children;
};

Cue MakeCue(const std::shared_ptr<ProbeEvent::Record>& record,
            std::initializer_list<unsigned> offsets)
{
    Cue cue;
    for (const unsigned offset : offsets) {
        cue.children.push_back(std::make_shared<ProbeEvent>(offset, record));
        cue.group->AddEvent(cue.children.back());
    }
    return cue;
}

} // namespace

class TestCueListRun : public QObject
{
    Q_OBJECT

private slots:
    void goRunsCuesAndWaits();
    void waitContinuesOnlyWithMoreToFire();
    void cancelStopsEverything();
    void cancelOfFinishedCueKeepsCount();
    void receiversMayEditTheRunningCue();
};

void TestCueListRun::goRunsCuesAndWaits()
{
    auto record = std::make_shared<ProbeEvent::Record>();
    const Cue a = MakeCue(record, {0, 100, 200});
    const Cue b = MakeCue(record, {0});
    const Cue skipped = MakeCue(record, {0});
    const Cue c = MakeCue(record, {0});
    skipped.group->Status(QStringLiteral("x"));

    EventGroup list;
    list.AddEvent(a.group);
    list.AddEvent(std::make_shared<Wait>(300));
    list.AddEvent(b.group);
    list.AddEvent(skipped.group);
    list.AddEvent(c.group);
    QSignalSpy index(&list, &EventGroup::currentEventIndexChanged);
    QSignalSpy aDone(a.group.get(), &Event::complete);

    record->clock.restart();
    list.Go();
    QCOMPARE(list.CurrentEventIndex(), 2U); // the WAIT fired with cue A
    QVERIFY(aDone.wait(2000));
    QCOMPARE(aDone.first().at(1).toBool(), false);
    QCOMPARE(record->actionTimesMs.size(), 3U);
    for (std::size_t i = 0; i < 3; ++i) {
        const qint64 offset = static_cast<qint64>(i) * 100;
        QVERIFY2(record->actionTimesMs[i] >= offset && record->actionTimesMs[i] < offset + kSlackMs,
                 qPrintable(QString::number(record->actionTimesMs[i])));
    }

    // The WAIT's completion fires cue B and moves past the disabled entry.
    QTRY_COMPARE(b.children[0]->Runs(), 1);
    QVERIFY(b.children[0]->Log()->actionTimesMs[3] >= 300);
    QCOMPARE(list.CurrentEventIndex(), 4U);
    QCOMPARE(index.count(), 3);
    QCOMPARE(index.at(2).at(0).toInt(), 4);
    QTest::qWait(50);
    QCOMPARE(skipped.children[0]->Runs(), 0);
    QCOMPARE(c.children[0]->Runs(), 0);
}

void TestCueListRun::waitContinuesOnlyWithMoreToFire()
{
    auto record = std::make_shared<ProbeEvent::Record>();
    // [A, WAIT, B]: B stays current for the next GO.
    {
        const Cue a = MakeCue(record, {0});
        const Cue b = MakeCue(record, {0});
        const auto wait = std::make_shared<Wait>(30);
        EventGroup list;
        list.AddEvent(a.group);
        list.AddEvent(wait);
        list.AddEvent(b.group);
        QSignalSpy waitDone(wait.get(), &Event::complete);
        list.Go();
        QVERIFY(waitDone.wait(1000));
        QTest::qWait(50);
        QCOMPARE(b.children[0]->Runs(), 0);
        QCOMPARE(list.CurrentEventIndex(), 2U);
    }
    // [A, WAIT]: the WAIT fires on the next GO and its completion fires nothing.
    {
        const Cue a = MakeCue(record, {0});
        const auto wait = std::make_shared<Wait>(20);
        EventGroup list;
        list.AddEvent(a.group);
        list.AddEvent(wait);
        QSignalSpy waitDone(wait.get(), &Event::complete);
        list.Go();
        QTest::qWait(60);
        QCOMPARE(waitDone.count(), 0);
        list.Go();
        QVERIFY(waitDone.wait(1000));
        QTest::qWait(30);
        QCOMPARE(a.children[0]->Runs(), 1);
    }
}

void TestCueListRun::cancelStopsEverything()
{
    auto record = std::make_shared<ProbeEvent::Record>();
    const Cue a = MakeCue(record, {0, 200});
    const Cue b = MakeCue(record, {0});
    const Cue c = MakeCue(record, {0});
    EventGroup list;
    list.AddEvent(a.group);
    list.AddEvent(std::make_shared<Wait>(100));
    list.AddEvent(b.group);
    list.AddEvent(c.group);
    QSignalSpy aDone(a.group.get(), &Event::complete);

    list.Go();
    QTRY_COMPARE(a.children[0]->Runs(), 1);
    list.Cancel();
    QVERIFY(!aDone.isEmpty());
    QVERIFY(aDone.last().at(1).toBool());

    // Neither the pending child nor the cancelled WAIT goes on.
    QTest::qWait(300);
    QCOMPARE(a.children[1]->Runs(), 0);
    QCOMPARE(b.children[0]->Runs(), 0);
    QCOMPARE(list.CurrentEventIndex(), 2U);
}

void TestCueListRun::cancelOfFinishedCueKeepsCount()
{
    auto record = std::make_shared<ProbeEvent::Record>();
    const Cue cue = MakeCue(record, {0, 80});
    QSignalSpy done(cue.group.get(), &Event::complete);
    cue.group->Execute();
    QVERIFY(done.wait(1000));
    QCOMPARE(cue.children[1]->Runs(), 1);

    cue.group->Cancel();
    QVERIFY(!done.isEmpty());
    QVERIFY(done.last().at(1).toBool());

    // The cue still completes only when its last child has acted.
    done.clear();
    cue.group->Execute();
    QVERIFY(done.wait(1000));
    QCOMPARE(done.count(), 1);
    QCOMPARE(cue.children[1]->Runs(), 2);
    QCOMPARE(done.first().at(1).toBool(), false);
}

void TestCueListRun::receiversMayEditTheRunningCue()
{
    auto record = std::make_shared<ProbeEvent::Record>();
    Cue cue = MakeCue(record, {0, 10, 20});
    // The first child's announcement empties the cue while it is being walked.
    connect(cue.children[0].get(), &Event::firing, this, [&cue] {
        while (!cue.group->Events().empty()) {
            cue.group->RemoveEvent(0);
        }
    });
    QSignalSpy done(cue.group.get(), &Event::complete);
    cue.group->Execute();
    QVERIFY(done.wait(1000));
    for (const auto& child : cue.children) {
        QCOMPARE(child->Runs(), 1);
    }
}

QTEST_GUILESS_MAIN(TestCueListRun)
#include "tst_cuelistrun.moc"
