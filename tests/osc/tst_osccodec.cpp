#include "osc/oscmessageencoder.h"
#include "osctesthelpers.h"

#include <QRandomGenerator>
#include <QTest>

using namespace tarv::osc;
using namespace tarv::osc::test;

namespace {

// The message, or the error it was refused with; bytes left unread are shown.
QString ParseResult(const QByteArray& datagram)
{
    try {
        std::size_t used = 0;
        QString text = Describe(Parse(datagram, &used));
        if (used != std::size_t(datagram.size())) {
            text += QStringLiteral(" +%1 unread").arg(datagram.size() - qsizetype(used));
        }
        return text;
    } catch (const std::runtime_error& e) {
        return QString::fromStdString(e.what());
    }
}

// Hostile input must either parse within its bounds or throw std::runtime_error;
// in the sanitizer build an over-read aborts.
bool ParsesOrThrows(const QByteArray& datagram)
{
    try {
        std::size_t used = 0;
        Parse(datagram, &used);
        return used <= std::size_t(datagram.size()) && used % 4 == 0;
    } catch (const std::runtime_error&) {
        return true;
    }
}

QList<QByteArray> ValidDatagrams()
{
    QList<QByteArray> datagrams{Bytes("#bundle\0\0\0\0\0\0\0\0\x01\0\0\0\x08/a\0\0,\0\0\0")};
    for (const char* command :
         {"/tarv/sfx/sfx.1/play", "/tarv/sfx/sfx.1/fadeto -6.5 2.0", "/a 1 2.5 x",
          "/abc \"two words\" \"\" -7 1e3", "/tarv/show/A/song/B/go 1 2 3 4 5 6 7 8 9"}) {
        datagrams << EncodeOscMessage(QString::fromUtf8(command));
    }
    return datagrams;
}

} // namespace

class TestOscCodec : public QObject
{
    Q_OBJECT

private slots:
    void parses_data()
    {
        QTest::addColumn<QByteArray>("datagram");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char* name, const QByteArray& datagram, const char* expected) {
            QTest::newRow(name) << datagram << QString::fromUtf8(expected);
        };
        const char* const unterminated =
            "OSC string is larger than buffer during read of null terminator.";
        row("bare", Bytes("/a\0\0"), "/a");
        row("arguments and junk",
            Bytes("/a\0\0,ifs\0\0\0\0\xFF\xFF\xFF\xFE\x3F\x80\0\0abcd\0\0\0\0junk"),
            "/a i:-2 f:1.000000 s:abcd +4 unread");
        row("no tags", Bytes("/a\0\0,\0\0\0"), "/a");
        row("no comma", Bytes("/a\0\0xyz\0"), "/a +4 unread");
        row("not a bundle", Bytes("#bundles\0\0\0\0"), "#bundles");
        row("empty", EncodeOscMessage(""), unterminated);
        row("unterminated", Bytes("/abc"), unterminated);
        row("missing string", Bytes("/a\0\0,s\0\0"), unterminated);
        row("short pad", Bytes("/abc\0\0\0"),
            "The OSC string /abc is larger than buffer while zero padding.");
        row("bad pad", Bytes("/a\0\0,s\0\0xy\0z"),
            "The OSC string xy does not contain proper pad to extend the string to a multiple "
            "of 4.");
        row("bundle", Bytes("#bundle\0\0\0\0\0\0\0\0\x01"),
            "OSC Bundle detected. OSC Bundles unsupported at this time.");
        row("blob", Bytes("/a\0\0,ib\0\0\0\0\x01"), "Unsupported or unknown OSC Type.");
        row("unknown tag", Bytes("/a\0\0,T\0\0"), "Unsupported or unknown OSC Type.");
        row("short int", Bytes("/a\0\0,i\0\0\0\x01"),
            "Cannot read OSC Param of type int32 in less than four bytes.");
        row("short float", Bytes("/a\0\0,f\0\0\x3F\x80\0"),
            "Cannot read OSC Param of type float32 in less than four bytes.");

        // Text commands: how the encoder types and quotes each argument.
        const auto command = [&row](const char* text, const char* expected) {
            row(text, EncodeOscMessage(QString::fromUtf8(text)), expected);
        };
        command("/a \"1\"", "/a s:1");
        command("/a \"two words\" \"\"", "/a s:two words s:");
        command("/a   -7  ", "/a i:-7");
        command("/a 3000000000 1e3", "/a f:3000000000.000000 f:1000.000000");
        command("/a \"open", "/a s:open");
        command("/a 1 \"", "/a i:1");
        command("/a x\"y z\"", "/a s:xy z");
        command("/a \tq", "/a s:\tq");
        command(" 5", " i:5");
        // The widest "%f" text of a float, beyond any small fixed buffer.
        command("/a -3.4028234e38", "/a f:-340282346638528859811704183484516925440.000000");
    }

    void parses()
    {
        QFETCH(QByteArray, datagram);
        QFETCH(QString, expected);
        QCOMPARE(ParseResult(datagram), expected);
    }

    void survivesEveryTruncation()
    {
        for (const QByteArray& datagram : ValidDatagrams()) {
            for (qsizetype length = 0; length <= datagram.size(); ++length) {
                QVERIFY2(ParsesOrThrows(datagram.left(length)),
                         datagram.left(length).toHex().data());
            }
        }
    }

    void survivesRandomAndMutatedBytes()
    {
        QRandomGenerator random(20261209);
        const QList<QByteArray> seeds = ValidDatagrams();
        // Bytes that steer the parser into its interesting paths.
        static const char kAlphabet[] = {0, 0, 0, ',', '/', 'i', 'f', 's', 'b', 'T', '#', '\xFF'};
        const auto steered = [&random] { return kAlphabet[random.bounded(int(sizeof kAlphabet))]; };

        for (int round = 0; round < 200000; ++round) {
            QByteArray datagram;
            if (round % 2 == 0) {
                datagram = seeds[random.bounded(seeds.size())];
                for (int edits = random.bounded(1, 5); edits > 0 && !datagram.isEmpty(); --edits) {
                    const auto at = random.bounded(datagram.size());
                    switch (random.bounded(3)) {
                    case 0:
                        datagram[at] = steered();
                        break;
                    case 1:
                        datagram.remove(at, random.bounded(1, 5));
                        break;
                    default:
                        datagram.insert(at, char(random.bounded(256)));
                    }
                }
            } else {
                for (int length = random.bounded(64); length > 0; --length) {
                    datagram += random.bounded(4) == 0 ? char(random.bounded(256)) : steered();
                }
            }
            QVERIFY2(ParsesOrThrows(datagram), datagram.toHex().data());
        }
    }
};

QTEST_GUILESS_MAIN(TestOscCodec)
#include "tst_osccodec.moc"
