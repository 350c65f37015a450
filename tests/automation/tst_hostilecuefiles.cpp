#include "automation/automation.h"
#include "automation/automationjsoninputadapter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <sstream>

using namespace tarv::automation;

namespace {

const QString kCorpus = QStringLiteral(TARV_HOSTILE_CUE_FILES);

// file name -> the message the file must fail with (a prefix); empty when
// the file must open.
QMap<QString, QString> Expectations()
{
    QMap<QString, QString> expected;
    QFile table(kCorpus + "/expected.tsv");
    if (!table.open(QIODevice::ReadOnly | QIODevice::Text)) {
        return expected;
    }
    while (!table.atEnd()) {
        const QString line = QString::fromUtf8(table.readLine()).chopped(1);
        if (line.startsWith('#') || line.isEmpty()) {
            continue;
        }
        const auto fields = line.split('\t');
        expected.insert(fields.value(0), fields.value(1));
    }
    return expected;
}

} // namespace

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
    const auto expected = Expectations();
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
    std::string text = R"({"version": "1.0", "main": {"events": [)";
    for (int level = 0; level < kLevels; ++level) {
        text += R"({"type": "GROUP", "events": [)";
    }
    for (int level = 0; level < kLevels; ++level) {
        text += "]}";
    }
    text += "]}}";
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
