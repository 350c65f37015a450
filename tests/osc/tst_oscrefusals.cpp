#include "osc/oscrefusals.h"

#include <QTest>
#include <string>

using namespace tarv::osc;
using namespace std::chrono_literals;
using Clock = RefusalThrottle::Clock;

class TestOscRefusals : public QObject
{
    Q_OBJECT

private slots:
    void escapesWhatATerminalWouldActOn_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("shown");
        QTest::newRow("plain") << QByteArray("/tarv/go 1.5") << QByteArray("/tarv/go 1.5");
        QTest::newRow("UTF-8 text") << QByteArray("caf\xc3\xa9 \xe2\x99\xaa \xf0\x9f\x8e\xad")
                                    << QByteArray("caf\xc3\xa9 \xe2\x99\xaa \xf0\x9f\x8e\xad");
        QTest::newRow("C0 and DEL")
            << QByteArray("\x1b]0;x\x07\x7f\x01") << QByteArray("\\x1b]0;x\\x07\\x7f\\x01");
        QTest::newRow("line breaks") << QByteArray("a\nb\rc\td") << QByteArray("a\\nb\\rc\\td");
        QTest::newRow("NUL") << QByteArray("a\0b", 3) << QByteArray("a\\x00b");
        QTest::newRow("backslash") << QByteArray("a\\x1b") << QByteArray("a\\\\x1b");
        QTest::newRow("C1 CSI") << QByteArray("\xc2\x9b"
                                              "2J")
                                << QByteArray("\\u{009b}2J");
        QTest::newRow("direction marks") << QByteArray("\xe2\x80\xae"
                                                       "abc\xe2\x80\x8f\xef\xbb\xbf")
                                         << QByteArray("\\u{202e}abc\\u{200f}\\u{feff}");
        QTest::newRow("line separator") << QByteArray("\xe2\x80\xa8") << QByteArray("\\u{2028}");
        QTest::newRow("not UTF-8")
            << QByteArray("\xff\x9b\xc0\xaf") << QByteArray("\\xff\\x9b\\xc0\\xaf");
        QTest::newRow("surrogate") << QByteArray("\xed\xa0\x80") << QByteArray("\\xed\\xa0\\x80");
        QTest::newRow("beyond U+10FFFF")
            << QByteArray("\xf4\x90\x80\x80") << QByteArray("\\xf4\\x90\\x80\\x80");
        QTest::newRow("cut sequence") << QByteArray("a\xe2\x80") << QByteArray("a\\xe2\\x80");
        QTest::newRow("long") << QByteArray(600, 'a')
                              << QByteArray(512, 'a') + QByteArray("... (600 bytes)");
    }
    void escapesWhatATerminalWouldActOn()
    {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, shown);
        const std::string escaped =
            EscapeForTerminal(std::string_view(text.constData(), std::size_t(text.size())));
        QCOMPARE(QByteArray::fromStdString(escaped), shown);
    }

    void writesAtMostALineASecondAndCountsTheRest()
    {
        RefusalThrottle throttle;
        const Clock::time_point t0{};
        QCOMPARE(throttle.Refuse("a", t0 + 5s), "a");
        QVERIFY(!throttle.Due());
        QVERIFY(!throttle.Refuse("b", t0 + 5010ms));
        QCOMPARE(throttle.Due(), t0 + 6s);
        QVERIFY(!throttle.Flush(t0 + 5999ms));
        // One held report is written as it is, a second after the last line.
        QCOMPARE(throttle.Flush(t0 + 6s), "b");
        QVERIFY(!throttle.Flush(t0 + 8s));

        QVERIFY(!throttle.Refuse("c", t0 + 6500ms));
        QVERIFY(!throttle.Refuse("d", t0 + 6600ms));
        QCOMPARE(throttle.Flush(t0 + 7s), "2 more OSC refusals, the last: d");

        // After a quiet second a report is written at once, and held ones that
        // nobody flushed go with the next.
        QCOMPARE(throttle.Refuse("e", t0 + 8s), "e");
        QVERIFY(!throttle.Refuse("f", t0 + 8100ms));
        QCOMPARE(throttle.Refuse("g", t0 + 9500ms), "2 more OSC refusals, the last: g");
    }

    void aFloodBecomesAFewCounts()
    {
        RefusalThrottle throttle;
        const Clock::time_point t0{};
        int lines = 0;
        long counted = 0;
        const auto take = [&](const std::optional<std::string>& line) {
            if (!line) {
                return;
            }
            ++lines;
            const auto space = line->find(' ');
            counted += *line == "x" ? 1 : std::stol(line->substr(0, space));
        };
        constexpr int kRefusals = 10000;
        for (int i = 0; i < kRefusals; ++i) {
            const auto now = t0 + std::chrono::microseconds(300 * i); // three seconds
            take(throttle.Refuse("x", now));
            take(throttle.Flush(now));
        }
        take(throttle.Flush(t0 + 10s));
        QCOMPARE(counted, kRefusals);
        QVERIFY2(lines <= 4, qPrintable(QString::number(lines)));
    }
};

QTEST_APPLESS_MAIN(TestOscRefusals)
#include "tst_oscrefusals.moc"
