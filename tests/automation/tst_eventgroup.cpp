#include "automation/eventgroup.h"
#include "automation/waitevent.h"
#include "probeevent.h"

#include <cstdint>
#include <QSignalSpy>
#include <QTest>

using namespace tarv::automation;

namespace {

// "A" a probe, "W" a wait, either disabled with ":x". The tests that use
// these never let their timers expire.
std::unique_ptr<EventGroup> MakeList(const QString& tokens)
{
    auto group = std::make_unique<EventGroup>();
    for (const QString& token : tokens.split(' ')) {
        const std::shared_ptr<Event> event =
            token.startsWith('W') ? std::shared_ptr<Event>(std::make_shared<Wait>(60000))
                                  : std::make_shared<ProbeEvent>(60000);
        event->Status(token.endsWith(":x") ? "x" : "");
        group->AddEvent(event);
    }
    return group;
}

// Generous bound on timer lateness: the machine may be busy. Offsets are
// spaced wider than it, so a child fired at a neighbour's offset still shows.
constexpr qint64 kSlackMs = 350;
constexpr unsigned kSpacingMs = 400;

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

class TestEventGroup : public QObject
{
    Q_OBJECT

private slots:
    void editingKeepsTheCurrentEntry();
    void goFiresAndAdvances_data();
    void goFiresAndAdvances();
    void goRunsCuesAndWaits();
    void cancelStopsEverything();
    void cancelOfFinishedCueKeepsItsCount();
    void receiversMayEditTheRunningCue();
};

void TestEventGroup::editingKeepsTheCurrentEntry()
{
    auto group = MakeList("A A A");
    const auto b = group->GetEvent(1);
    const auto current = [&] { return group->GetEvent(group->CurrentEventIndex()); };
    group->CurrentEventIndex(1);
    QSignalSpy changed(group.get(), &EventGroup::currentEventIndexChanged);

    const auto front = std::make_shared<ProbeEvent>();
    group->InsertEvent(front, 10); // beyond the end goes to the front
    QCOMPARE(group->GetEvent(0), front);
    group->InsertEvent(std::make_shared<ProbeEvent>(), 4); // the size appends
    group->RemoveEvent(0);
    group->RemoveEvent(99);
    QCOMPARE(current(), b);
    QCOMPARE(group->Events().size(), 4U);

    b->DisableDelete(true); // locked: disabled, not removed
    group->RemoveEvent(1);
    QCOMPARE(group->GetEvent(1), b);
    QCOMPARE(b->Status(), QStringLiteral("x"));

    group->CurrentEventIndex(3); // removing the current last entry
    group->RemoveEvent(3);
    QCOMPARE(group->CurrentEventIndex(), 2U);
    changed.clear();
    group->CurrentEventIndex(2);
    group->CurrentEventIndex(7);
    QVERIFY(changed.isEmpty());

    // MoveUp leaves the index alone; MoveDown makes the moved entry current.
    group->CurrentEventIndex(0);
    const auto before = group->Events();
    group->MoveUp(2);
    QCOMPARE(group->GetEvent(1), before[2]);
    QCOMPARE(group->CurrentEventIndex(), 0U);
    group->MoveDown(1);
    QCOMPARE(group->GetEvent(2), before[2]);
    QCOMPARE(current(), before[2]);
    group->MoveCurrentUp();
    QCOMPARE(current(), before[2]);
    QCOMPARE(group->CurrentEventIndex(), 1U);
    group->MoveDown(2);        // the last position: nothing
    group->MoveDown(SIZE_MAX); // a row of -1 from a view must not wrap to 0
    QCOMPARE(group->CurrentEventIndex(), 1U);
    QCOMPARE(group->GetEvent(0), before[0]);
    QVERIFY(group->AllSkippedAfter(SIZE_MAX));
}

void TestEventGroup::goFiresAndAdvances_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<QString>("fired");
    QTest::addColumn<int>("current");
    const auto row = [](const char* name, const char* list, const char* fired, int current) {
        QTest::newRow(name) << QString(list) << QString(fired) << current;
    };
    row("disabled last", "A A:x", "0", 0);
    row("skips disabled", "A A:x A", "0", 2);
    row("wait fires with cue", "A W A A", "0 1", 2);
    row("consecutive waits", "A W W A", "0 1 2", 3);
    row("wait at the end", "A W", "0", 1);
    row("wait before disabled", "A W A:x", "0", 1);
    row("disabled wait", "A W:x A", "0", 2);
}

void TestEventGroup::goFiresAndAdvances()
{
    QFETCH(QString, list);
    QFETCH(QString, fired);
    QFETCH(int, current);
    auto group = MakeList(list);
    QStringList firedNow;
    const auto events = group->Events();
    for (std::size_t i = 0; i < events.size(); ++i) {
        connect(events[i].get(), &Event::firing, this,
                [&firedNow, i] { firedNow << QString::number(i); });
    }
    group->Go();
    QCOMPARE(firedNow.join(' '), fired);
    QCOMPARE(static_cast<int>(group->CurrentEventIndex()), current);
    group->Go(); // the next GO fires the entry now current
    QCOMPARE(firedNow.at(fired.count(' ') + 1), QString::number(current));
    group->Cancel();
}

void TestEventGroup::goRunsCuesAndWaits()
{
    const Cue a = MakeCue({0, kSpacingMs, 2 * kSpacingMs});
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
    QVERIFY(aDone.wait(10000));
    QCOMPARE(aDone.first().at(1).toBool(), false);
    QCOMPARE(a.log->size(), 3U);
    for (std::size_t i = 0; i < 3; ++i) {
        const qint64 late = a.log->at(i) - go - static_cast<qint64>(i * kSpacingMs);
        QVERIFY2(late >= 0 && late < kSlackMs, qPrintable(QString::number(late)));
    }

    // The WAIT's completion fires cue B and moves past the disabled cue.
    QTRY_COMPARE(b.children[0]->runs, 1);
    QVERIFY(b.log->front() - go >= 300);
    QCOMPARE(list.CurrentEventIndex(), 4U);
    QCOMPARE(index.count(), 3);
    QTest::qWait(50);
    QCOMPARE(skipped.children[0]->runs + c.children[0]->runs, 0);

    // A WAIT fires the cue after it even when that is the show's last.
    QSignalSpy lastWaitDone(lastWait.get(), &Event::complete);
    list.Go();
    QVERIFY(lastWaitDone.wait(10000));
    QTRY_COMPARE(d.children[0]->runs, 1);
    QCOMPARE(c.children[0]->runs, 1);
    QCOMPARE(list.CurrentEventIndex(), 6U);
}

void TestEventGroup::cancelStopsEverything()
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

void TestEventGroup::cancelOfFinishedCueKeepsItsCount()
{
    const Cue cue = MakeCue({0, 80});
    QSignalSpy done(cue.group.get(), &Event::complete);
    cue.group->Execute();
    QVERIFY(done.wait(10000));
    cue.group->Cancel();
    QVERIFY(done.last().at(1).toBool());

    // The cue still completes only when its last child has acted.
    done.clear();
    cue.group->Execute();
    QVERIFY(done.wait(10000));
    QCOMPARE(done.count(), 1);
    QCOMPARE(done.first().at(1).toBool(), false);
    QCOMPARE(cue.children[1]->runs, 2);
}

void TestEventGroup::receiversMayEditTheRunningCue()
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
    QVERIFY(done.wait(10000));
    QCOMPARE(cue.log->size(), 3U);
}

QTEST_GUILESS_MAIN(TestEventGroup)
#include "tst_eventgroup.moc"
