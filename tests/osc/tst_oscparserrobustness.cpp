#include "osc/oscmessageencoder.h"
#include "osctesthelpers.h"

#include <QRandomGenerator>
#include <QTest>

using namespace tarv::osc;
using namespace tarv::osc::test;

// Hostile datagrams: each must either parse, within its bounds, or throw
// std::runtime_error. Run under the sanitizer build, an over-read aborts.
class TestOscParserRobustness : public QObject
{
    Q_OBJECT

private slots:
    void everyTruncationOfValidDatagrams();
    void randomAndMutatedDatagrams();

private:
    static bool ParsesOrThrows(const QByteArray& datagram);
    static QList<QByteArray> ValidDatagrams();
};

bool TestOscParserRobustness::ParsesOrThrows(const QByteArray& datagram)
{
    try {
        std::size_t consumed = 0;
        const OscMessage message = Parse(datagram, &consumed);
        return consumed <= static_cast<std::size_t>(datagram.size()) && consumed % 4 == 0;
    } catch (const std::runtime_error&) {
        return true;
    }
}

QList<QByteArray> TestOscParserRobustness::ValidDatagrams()
{
    QList<QByteArray> datagrams;
    for (const char* command :
         {"/tarv/sfx/sfx.1/play", "/tarv/sfx/sfx.1/fadeto -6.5 2.0", "/a 1 2.5 x",
          "/abc \"two words\" \"\" -7 1e3", "/tarv/show/A/song/B/go 1 2 3 4 5 6 7 8 9"}) {
        datagrams << EncodeOscMessage(QString::fromUtf8(command));
    }
    datagrams << Bytes("#bundle\0\0\0\0\0\0\0\0\x01\0\0\0\x08/a\0\0,\0\0\0");
    return datagrams;
}

void TestOscParserRobustness::everyTruncationOfValidDatagrams()
{
    for (const QByteArray& datagram : ValidDatagrams()) {
        for (qsizetype length = 0; length <= datagram.size(); ++length) {
            QVERIFY2(ParsesOrThrows(datagram.left(length)), datagram.left(length).toHex().data());
        }
    }
}

void TestOscParserRobustness::randomAndMutatedDatagrams()
{
    QRandomGenerator random(20261209);
    const QList<QByteArray> seeds = ValidDatagrams();
    // Bytes that steer the parser into its interesting paths.
    static const char kAlphabet[] = {0, 0, 0, ',', '/', 'i', 'f', 's', 'b', 'T', '#', '\xFF'};

    for (int round = 0; round < 200000; ++round) {
        QByteArray datagram;
        if (round % 2 == 0) {
            datagram = seeds[random.bounded(seeds.size())];
            for (int edits = random.bounded(1, 5); edits > 0 && !datagram.isEmpty(); --edits) {
                const auto at = random.bounded(datagram.size());
                switch (random.bounded(3)) {
                case 0:
                    datagram[at] = kAlphabet[random.bounded(int(sizeof kAlphabet))];
                    break;
                case 1:
                    datagram.remove(at, random.bounded(1, 5));
                    break;
                default:
                    datagram.insert(at, char(random.bounded(256)));
                }
            }
        } else {
            const int length = random.bounded(64);
            for (int i = 0; i < length; ++i) {
                datagram += random.bounded(4) == 0
                                ? char(random.bounded(256))
                                : kAlphabet[random.bounded(int(sizeof kAlphabet))];
            }
        }
        QVERIFY2(ParsesOrThrows(datagram), datagram.toHex().data());
    }
}

QTEST_GUILESS_MAIN(TestOscParserRobustness)
#include "tst_oscparserrobustness.moc"
