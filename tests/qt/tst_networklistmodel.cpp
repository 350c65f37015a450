#include "qt/networklistmodel.h"

#include <limits>
#include <QSignalSpy>
#include <QTest>

using tarv::networking::NetworkPath;
using tarv::qt::NetworkItem;
using tarv::qt::NetworkListModel;

namespace {

NetworkPath Path(const char* name, const char* id, int port = 8000, int mode = 0)
{
    NetworkPath path;
    path.name = name;
    path.network_id = id;
    path.port = port;
    path.mode = mode;
    return path;
}

QStringList Names(const NetworkListModel& model)
{
    QStringList names;
    for (int row = 0; row < model.rowCount(); ++row) {
        names << model.dataStr(row, "name").toString();
    }
    return names;
}

} // namespace

class TestNetworkListModel : public QObject
{
    Q_OBJECT

private slots:
    void showsEachDestinationByRoleName()
    {
        const NetworkListModel model({NetworkPath(), Path("Desk", "NETWORK2", 9001, 1)});
        QCOMPARE(model.rowCount(), 2);
        QCOMPARE(model.dataStr(0, "first").toString(), "This Device");
        QCOMPARE(model.dataStr(0, "second").toString(), "127.0.0.1:8000, UDP");
        QCOMPARE(model.dataStr(1, "second").toString(), "127.0.0.1:9001, TCP");
        QCOMPARE(model.dataStr(1, "mode").toString(), "tcp");
        QCOMPARE(model.dataStr(1, "port"), QVariant(9001));
        QCOMPARE(model.dataStr(1, "networkId").toString(), "NETWORK2");
        QCOMPARE(model.dataStr(1, "value"), QVariant(0));
        // An unknown role name reads the display text, which is the name.
        QCOMPARE(model.dataStr(1, "nonsense").toString(), "Desk");
        QCOMPARE(model.roleNames().value(264), "port");
        for (const int row : {-1, 2}) {
            QVERIFY(!model.dataStr(row, "name").isValid());
        }
    }

    void nextNetworkId_data()
    {
        QTest::addColumn<QStringList>("ids");
        QTest::addColumn<QString>("next");
        QTest::newRow("empty") << QStringList{} << "NETWORK0";
        QTest::newRow("default") << QStringList{"NETWORK1"} << "NETWORK2";
        QTest::newRow("taken") << QStringList{"NETWORK1", "NETWORK2"} << "NETWORK3";
        QTest::newRow("free") << QStringList{"A", "B"} << "NETWORK2";
        QTest::newRow("case") << QStringList{"network2", "NETWORK3"} << "NETWORK2";
    }

    void nextNetworkId()
    {
        QFETCH(QStringList, ids);
        std::vector<NetworkPath> paths;
        for (const auto& id : ids) {
            paths.push_back(Path("n", id.toUtf8().constData()));
        }
        QFETCH(QString, next);
        QCOMPARE(NetworkListModel(paths).NextNetworkId(), next);
    }

    void removeRowsTakesOnlyRowsInsideTheList_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("count");
        QTest::addColumn<QStringList>("left");
        const QStringList all{"a", "b", "c"};
        QTest::newRow("middle") << 1 << 1 << QStringList{"a", "c"};
        QTest::newRow("tail") << 1 << 2 << QStringList{"a"};
        QTest::newRow("nothing selected") << -1 << 1 << all;
        QTest::newRow("past the end") << 3 << 1 << all;
        QTest::newRow("too many") << 2 << 2 << all;
        QTest::newRow("zero") << 0 << 0 << all;
        QTest::newRow("negative count") << 1 << -1 << all;
        QTest::newRow("overflow") << 1 << std::numeric_limits<int>::max() << all;
    }

    void removeRowsTakesOnlyRowsInsideTheList()
    {
        QFETCH(int, row);
        QFETCH(int, count);
        QFETCH(QStringList, left);
        NetworkListModel model({Path("a", "1"), Path("b", "2"), Path("c", "3")});
        QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
        QCOMPARE(model.removeRows(row, count), left.size() < 3);
        QCOMPARE(Names(model), left);
        QCOMPARE(removed.count(), left.size() < 3 ? 1 : 0);
    }
};

QTEST_GUILESS_MAIN(TestNetworkListModel)

#include "tst_networklistmodel.moc"
