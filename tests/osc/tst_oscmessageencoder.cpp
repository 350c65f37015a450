#include "osc/oscmessageencoder.h"
#include "osctesthelpers.h"

#include <QTest>

using namespace tarv::osc;
using namespace tarv::osc::test;

class TestOscMessageEncoder : public QObject
{
    Q_OBJECT

private slots:
    void encodesCommands_data();
    void encodesCommands();
    void guessesArgumentTypes_data();
    void guessesArgumentTypes();
};

void TestOscMessageEncoder::encodesCommands_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("empty") << "" << QByteArray();
    // A bare "," type-tag string even without arguments: liblo, and with it
    // oscdump, refuses a message that has none.
    QTest::newRow("no arguments") << "/tarv/sfx/sfx.1/play"
                                  << Bytes("/tarv/sfx/sfx.1/play\0\0\0\0,\0\0\0");
    QTest::newRow("int float string")
        << "/a 1 2.5 x" << Bytes("/a\0\0,ifs\0\0\0\0\0\0\0\x01\x40\x20\0\0x\0\0\0");
    QTest::newRow("blank address") << " 5" << Bytes("\0\0\0\0,i\0\0\0\0\0\x05");
    QTest::newRow("utf-8 address") << "/\u00e9" << Bytes("/\xC3\xA9\0,\0\0\0");
}

void TestOscMessageEncoder::encodesCommands()
{
    QFETCH(QString, command);
    QFETCH(QByteArray, expected);
    QCOMPARE(EncodeOscMessage(command), expected);
}

void TestOscMessageEncoder::guessesArgumentTypes_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("types");
    QTest::addColumn<QStringList>("values"); // as the parser's ToString gives them
    QTest::newRow("quoted number") << "/a \"1\""
                                   << "s" << QStringList{"1"};
    QTest::newRow("quoted blank") << "/a \"two words\""
                                  << "s" << QStringList{"two words"};
    QTest::newRow("empty quotes") << "/a \"\""
                                  << "s" << QStringList{""};
    QTest::newRow("extra blanks") << "/a   5  "
                                  << "i" << QStringList{"5"};
    QTest::newRow("beyond int32") << "/a 3000000000"
                                  << "f" << QStringList{"3000000000.000000"};
    QTest::newRow("negative") << "/a -7"
                              << "i" << QStringList{"-7"};
    QTest::newRow("exponent") << "/a 1e3"
                              << "f" << QStringList{"1000.000000"};
    QTest::newRow("open quote") << "/a \"open"
                                << "s" << QStringList{"open"};
    QTest::newRow("lone quote") << "/a 1 \""
                                << "i" << QStringList{"1"};
    QTest::newRow("quote inside") << "/a x\"y z\""
                                  << "s" << QStringList{"xy z"};
    QTest::newRow("tab is text") << "/a \tq"
                                 << "s" << QStringList{"\tq"};
}

void TestOscMessageEncoder::guessesArgumentTypes()
{
    QFETCH(QString, command);
    QFETCH(QString, types);
    QFETCH(QStringList, values);

    const OscMessage message = Parse(EncodeOscMessage(command));
    QCOMPARE(message.address, "/a");
    QString actualTypes;
    QStringList actualValues;
    for (const auto& param : message.params) {
        actualTypes += QChar(OscTypeToTag(param->Type()));
        actualValues << QString::fromStdString(param->ToString());
    }
    QCOMPARE(actualTypes, types);
    QCOMPARE(actualValues, values);
}

QTEST_GUILESS_MAIN(TestOscMessageEncoder)
#include "tst_oscmessageencoder.moc"
