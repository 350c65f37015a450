#include "eventgroup.h"
#include "probeevent.h"
#include "waitevent.h"

#include <QSignalSpy>
#include <QTest>

using namespace tarv::automation;

namespace {

// Builds a group from tokens: "A" a cue-like probe, "W" a wait, either with
// ":x" to disable it. The waits are long: these tests never let them expire.
std::unique_ptr<EventGroup> MakeList(const QString& tokens)
{
    auto group = std::make_unique<EventGroup>();
    for (const QString& token : tokens.split(' ', Qt::SkipEmptyParts)) {
        std::shared_ptr<Event> event;
        if (token.startsWith('W')) {
            event = std::make_shared<Wait>(60000);
        } else {
            event = std::make_shared<ProbeEvent>(60000);
        }
        if (token.endsWith(":x")) {
            event->Status(QStringLiteral("x"));
        }
        group->AddEvent(event);
    }
    return group;
}

QString Fired(const std::vector<QSignalSpy*>& spies)
{
    QStringList fired;
    for (std::size_t i = 0; i < spies.size(); ++i) {
        if (!spies[i]->isEmpty()) {
            fired << QString::number(i);
        }
    }
    return fired.join(' ');
}

} // namespace

class TestEventGroup : public QObject
{
    Q_OBJECT

private slots:
    void insertAndRemoveKeepTheCurrentEntry();
    void movesAndTheCurrentIndex();
    void goFiresAndAdvances_data();
    void goFiresAndAdvances();
};

void TestEventGroup::insertAndRemoveKeepTheCurrentEntry()
{
    auto group = MakeList("A A A");
    const auto b = group->GetEvent(1);
    group->CurrentEventIndex(1);
    QSignalSpy changed(group.get(), &EventGroup::currentEventIndexChanged);
    QSignalSpy updated(group.get(), &EventGroup::eventsUpdated);

    // Beyond the end goes to the front, and the same entry stays current.
    const auto front = std::make_shared<ProbeEvent>();
    group->InsertEvent(front, 10);
    QCOMPARE(group->GetEvent(0), front);
    QCOMPARE(group->GetEvent(group->CurrentEventIndex()), b);
    group->InsertEvent(std::make_shared<ProbeEvent>(), group->Events().size()); // appends
    QCOMPARE(group->GetEvent(group->CurrentEventIndex()), b);
    QCOMPARE(updated.count(), 2);
    QCOMPARE(changed.count(), 1);

    group->RemoveEvent(0);
    QCOMPARE(group->GetEvent(group->CurrentEventIndex()), b);
    group->RemoveEvent(99);
    QCOMPARE(group->Events().size(), 4U);

    // A locked entry is disabled, not removed.
    b->DisableDelete(true);
    group->RemoveEvent(1);
    QCOMPARE(group->GetEvent(1), b);
    QCOMPARE(b->Status(), QStringLiteral("x"));

    // Removing the current last entry makes the new last one current.
    group->CurrentEventIndex(3);
    group->RemoveEvent(3);
    QCOMPARE(group->CurrentEventIndex(), 2U);
    QVERIFY(group->GetEvent(3) == nullptr);

    changed.clear();
    group->CurrentEventIndex(2);
    group->CurrentEventIndex(7);
    QCOMPARE(changed.count(), 0);

    // Into an empty list: the index stays on the only entry.
    EventGroup empty;
    empty.InsertEvent(std::make_shared<ProbeEvent>(), 0);
    QCOMPARE(empty.CurrentEventIndex(), 0U);
}

void TestEventGroup::movesAndTheCurrentIndex()
{
    auto group = MakeList("A A A A");
    const auto events = group->Events();

    group->MoveUp(2);
    QCOMPARE(group->GetEvent(1), events[2]);
    QCOMPARE(group->CurrentEventIndex(), 0U);

    group->MoveDown(1); // the moved entry becomes current
    QCOMPARE(group->GetEvent(2), events[2]);
    QCOMPARE(group->CurrentEventIndex(), 2U);
    group->MoveDown(3); // the last position: nothing
    QCOMPARE(group->GetEvent(3), events[3]);

    group->MoveCurrentUp();
    QCOMPARE(group->CurrentEventIndex(), 1U);
    QCOMPARE(group->GetEvent(1), events[2]);
    group->MoveCurrentDown();
    group->MoveCurrentDown();
    QCOMPARE(group->CurrentEventIndex(), 3U);
    QCOMPARE(group->GetEvent(3), events[2]);
    group->MoveCurrentDown();
    QCOMPARE(group->CurrentEventIndex(), 3U);

    EventGroup empty;
    empty.MoveCurrentUp();
    empty.MoveCurrentDown();
    empty.Go();
    QCOMPARE(empty.CurrentEventIndex(), 0U);
}

void TestEventGroup::goFiresAndAdvances_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<QString>("fired");
    QTest::addColumn<int>("current");
    QTest::newRow("disabled last stays") << "A A:x"
                                         << "0" << 0;
    QTest::newRow("skips disabled") << "A A:x A"
                                    << "0" << 2;
    QTest::newRow("wait fires with cue") << "A W A A"
                                         << "0 1" << 2;
    QTest::newRow("consecutive waits") << "A W W A"
                                       << "0 1 2" << 3;
    QTest::newRow("wait at the end") << "A W"
                                     << "0" << 1;
    QTest::newRow("wait before disabled") << "A W A:x"
                                          << "0" << 1;
    QTest::newRow("disabled wait skipped") << "A W:x A"
                                           << "0" << 2;
}

void TestEventGroup::goFiresAndAdvances()
{
    QFETCH(QString, list);
    QFETCH(QString, fired);
    QFETCH(int, current);
    auto group = MakeList(list);
    std::vector<QSignalSpy*> spies;
    std::vector<std::unique_ptr<QSignalSpy>> owned;
    for (const auto& event : group->Events()) {
        owned.push_back(std::make_unique<QSignalSpy>(event.get(), &Event::firing));
        spies.push_back(owned.back().get());
    }
    group->Go();
    QCOMPARE(Fired(spies), fired);
    QCOMPARE(static_cast<int>(group->CurrentEventIndex()), current);

    // At the end of the list the next GO fires the current entry again.
    if (list == "A A:x") {
        group->Go();
        QCOMPARE(spies[0]->count(), 2);
    }
    group->Cancel();
}

QTEST_GUILESS_MAIN(TestEventGroup)
#include "tst_eventgroup.moc"
