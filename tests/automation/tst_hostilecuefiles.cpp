#include "automation/automation.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <sstream>

using namespace tarv::automation;

const QString kCorpus = QStringLiteral(TARV_HOSTILE_CUE_FILES);

class TestHostileCueFiles : public QObject
{
    Q_OBJECT

private slots:
    void opensOrFailsWithItsMessage_data();
    void opensOrFailsWithItsMessage();
    void deeplyNestedGroupsAreRefused();
};

void TestHostileCueFiles::opensOrFailsWithItsMessage_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("message");
    // expected.tsv: file name, then the message it must fail with (a prefix);
    // no message when the file must open.
    QMap<QString, QString> expected;
    QFile table(kCorpus + "/expected.tsv");
    QVERIFY(table.open(QIODevice::ReadOnly | QIODevice::Text));
    for (const QString& line : QString::fromUtf8(table.readAll()).split('\n')) {
        if (!line.isEmpty() && !line.startsWith('#')) {
            expected.insert(line.section('\t', 0, 0), line.section('\t', 1));
        }
    }
    const auto files = QDir(kCorpus).entryList({QStringLiteral("*.tarvcue")}, QDir::Files);
    QVERIFY(files.size() > 50);
    QCOMPARE(files.size(), expected.size());
    for (const QString& file : files) {
        // A file without an expectation fails: every file must say what it tests.
        QTest::newRow(qPrintable(file))
            << kCorpus + "/" + file << expected.value(file, QStringLiteral("<no expectation>"));
    }
}

void TestHostileCueFiles::opensOrFailsWithItsMessage()
{
    QFETCH(QString, path);
    QFETCH(QString, message);
    Automation show;
    try {
        show.Open(path);
    } catch (const std::runtime_error& error) {
        const QString text = QString::fromUtf8(error.what());
        QVERIFY2(!message.isEmpty(), qPrintable("unexpected failure: " + text));
        QVERIFY2(text.startsWith(message), qPrintable(text));
        return;
    }
    QVERIFY2(message.isEmpty(), qPrintable("opened, expected: " + message));
    // What opened must also save: the writer takes whatever the reader let in.
    const QTemporaryDir dir;
    show.Save(dir.filePath(QStringLiteral("saved.tarvcue")));
}

void TestHostileCueFiles::deeplyNestedGroupsAreRefused()
{
    constexpr int kLevels = 100000;
    std::string opening;
    std::string closing;
    for (int level = 0; level < kLevels; ++level) {
        opening += R"({"type": "GROUP", "events": [)";
        closing += "]}";
    }
    const std::string text =
        R"({"version": "1.0", "main": {"events": [)" + opening + closing + "]}}";
    std::istringstream in(text);
    Automation show;
    try {
        show.Open(in);
        QFAIL("the file opened");
    } catch (const std::runtime_error& error) {
        QCOMPARE(QString::fromUtf8(error.what()),
                 QStringLiteral("Event groups are nested more than 64 levels deep"));
    }
}

QTEST_GUILESS_MAIN(TestHostileCueFiles)
#include "tst_hostilecuefiles.moc"
