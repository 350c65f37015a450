#include "app/automationmodel.h"
#include "automation/eventgroup.h"
#include "automation/waitevent.h"

#include <limits>
#include <memory>
#include <QSignalSpy>
#include <QTest>

using namespace tarv::automation;

namespace {

// A cue list of `count` waits numbered "0", "1", ...
std::unique_ptr<EventGroup> MakeGroup(int count)
{
    auto group = std::make_unique<EventGroup>();
    for (int i = 0; i < count; ++i) {
        auto wait = std::make_shared<Wait>(1000);
        wait->Number(QString::number(i));
        group->AddEvent(wait);
    }
    return group;
}

QStringList Numbers(const AutomationModel& model)
{
    QStringList numbers;
    for (int row = 0; row < model.rowCount(); ++row) {
        numbers << model.dataStr(row, QStringLiteral("number")).toString();
    }
    return numbers;
}

} // namespace

class TestAutomationModel : public QObject
{
    Q_OBJECT

private slots:
    void offsetIsClampedAndNonNumbersKeepTheOldValue_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<uint>("stored");
        // What the operator can type is driven through the cue editor.
        QTest::newRow("NaN") << QVariant(std::numeric_limits<double>::quiet_NaN()) << 250U;
        QTest::newRow("infinity") << QVariant(std::numeric_limits<double>::infinity()) << 7000U;
        QTest::newRow("huge") << QVariant(1e300) << 7000U;
        // As typed into the cue editor's offset field.
        QTest::newRow("typed Infinity") << QVariant(QStringLiteral("Infinity")) << 7000U;
        QTest::newRow("typed -inf") << QVariant(QStringLiteral("-inf")) << 0U;
        QTest::newRow("typed beyond double") << QVariant(QStringLiteral("1e400")) << 7000U;
        QTest::newRow("typed below double") << QVariant(QStringLiteral(" 1e-400 ")) << 0U;
        QTest::newRow("typed NaN") << QVariant(QStringLiteral("NaN")) << 250U;
        QTest::newRow("typed letters") << QVariant(QStringLiteral("1e4x")) << 250U;
    }
    void offsetIsClampedAndNonNumbersKeepTheOldValue()
    {
        QFETCH(QVariant, value);
        QFETCH(uint, stored);
        auto group = MakeGroup(1);
        group->GetEvent(0)->Offset(250);
        AutomationModel model(group.get(), nullptr);
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);

        QVERIFY(model.setData(model.index(0), value, AutomationModel::OffsetRole));
        QCOMPARE(group->GetEvent(0)->Offset(), stored);
        QCOMPARE(changed.count(), 1);
    }

    void readOnlyRolesAndRowsOutsideAreRefused()
    {
        auto group = MakeGroup(2);
        AutomationModel model(group.get(), nullptr);
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        for (int role : {int(AutomationModel::AutoNameRole), int(AutomationModel::TypeRole),
                         int(AutomationModel::CueObjectRole), 999}) {
            QVERIFY(!model.setData(model.index(0), QStringLiteral("x"), role));
        }
        QVERIFY(!model.setData(model.index(5), QStringLiteral("x"), AutomationModel::NameRole));
        QCOMPARE(changed.count(), 0);
        QVERIFY(!model.data(model.index(-1), AutomationModel::NameRole).isValid());
        QCOMPARE(model.dataStr(1, QStringLiteral("cueObject")).value<Event*>(),
                 group->GetEvent(1).get());
    }

    void removeRowsTakesOnlyWholeRangesFromTheSnapshot_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("count");
        QTest::addColumn<QStringList>("left");
        const QStringList all{"0", "1", "2", "3", "4"};
        QTest::newRow("middle") << 1 << 2 << QStringList{"0", "3", "4"};
        QTest::newRow("to the end") << 3 << 2 << QStringList{"0", "1", "2"};
        QTest::newRow("past the end") << 4 << 2 << all;
        QTest::newRow("negative row") << -1 << 1 << all;
        QTest::newRow("no rows") << 0 << 0 << all;
        QTest::newRow("negative count") << 2 << -1 << all;
        QTest::newRow("overflowing count") << 1 << std::numeric_limits<int>::max() << all;
    }
    void removeRowsTakesOnlyWholeRangesFromTheSnapshot()
    {
        QFETCH(int, row);
        QFETCH(int, count);
        QFETCH(QStringList, left);
        auto group = MakeGroup(5);
        AutomationModel model(group.get(), nullptr);

        QCOMPARE(model.removeRows(row, count), left.size() != 5);
        QCOMPARE(Numbers(model), left);
        QCOMPARE(group->Events().size(), std::size_t(5));

        // The group's next change brings every event back.
        group->AddEvent(std::make_shared<Wait>(1));
        QCOMPARE(model.rowCount(), 6);
        emit group->eventsUpdated(nullptr);
        QCOMPARE(model.rowCount(), 6);
    }
};

QTEST_GUILESS_MAIN(TestAutomationModel)
#include "tst_automationmodel.moc"
