#include "automation/eventgroup.h"
#include "automation/waitevent.h"
#include "probeevent.h"

#include <cstdint>
#include <QSignalSpy>
#include <QTest>

using namespace tarv::automation;

namespace {

// "A" a probe, "W" a wait, either disabled with ":x". Nothing here lets
// their timers expire.
std::unique_ptr<EventGroup> MakeList(const QString& tokens)
{
    auto group = std::make_unique<EventGroup>();
    for (const QString& token : tokens.split(' ')) {
        std::shared_ptr<Event> event;
        if (token.startsWith('W')) {
            event = std::make_shared<Wait>(60000);
        } else {
            event = std::make_shared<ProbeEvent>(60000);
        }
        event->Status(token.endsWith(":x") ? "x" : "");
        group->AddEvent(event);
    }
    return group;
}

} // namespace

class TestEventGroup : public QObject
{
    Q_OBJECT

private slots:
    void editingKeepsTheCurrentEntry();
    void goFiresAndAdvances_data();
    void goFiresAndAdvances();
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

QTEST_GUILESS_MAIN(TestEventGroup)
#include "tst_eventgroup.moc"
