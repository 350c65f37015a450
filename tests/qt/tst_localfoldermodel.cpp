#include "localfoldermodel.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QElapsedTimer>
#include <memory>

using tarv::ui::LocalFolderModel;

namespace {

void Touch(const QString& path, const QByteArray& content = {})
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

QUrl UrlOf(const QTemporaryDir& dir)
{
    return QUrl::fromLocalFile(dir.path());
}

} // namespace

class TestLocalFolderModel : public QObject
{
    Q_OBJECT

private slots:
    // setFolder only asks: the entries, with each file's size and date,
    // arrive once the folder was read away from the caller's thread.
    void listsAfterTheCallReturns()
    {
        QTemporaryDir dir;
        QDir(dir.path()).mkdir(QStringLiteral("b folder"));
        Touch(dir.filePath(QStringLiteral("A.wav")), "12345");
        Touch(dir.filePath(QStringLiteral("c.wav")));
        LocalFolderModel model;
        model.setFolder(UrlOf(dir));
        QCOMPARE(model.count(), 0);
        QVERIFY(model.loading());
        QTRY_COMPARE(model.count(), 3);
        QVERIFY(!model.loading());
        QCOMPARE(model.fileName(0), QStringLiteral("b folder"));
        QCOMPARE(model.fileName(1), QStringLiteral("A.wav"));
        const QModelIndex wav = model.index(1);
        QCOMPARE(model.data(wav, LocalFolderModel::FileSizeRole).toLongLong(), 5);
        const QDateTime modified = model.data(wav, LocalFolderModel::FileModifiedRole).toDateTime();
        QVERIFY(qAbs(modified.secsTo(QDateTime::currentDateTime())) < 3600);
    }

    // A folder left while it is still being read never shows its entries,
    // not even once its reading ends after the next folder's.
    void showsOnlyTheFolderAskedForLast()
    {
        QTemporaryDir large;
        for (int i = 0; i < 20000; ++i) {
            Touch(large.filePath(QStringLiteral("cue %1.wav").arg(i)));
        }
        QTemporaryDir small;
        Touch(small.filePath(QStringLiteral("rain.wav")));
        LocalFolderModel model;
        QList<int> counts;
        connect(&model, &LocalFolderModel::countChanged, this,
                [&] { counts.append(model.count()); });
        model.setFolder(UrlOf(large));
        model.setFolder(UrlOf(small));
        QTRY_COMPARE(model.count(), 1);
        // Long enough for the large folder's reading to end.
        QTest::qWait(2000);
        QCOMPARE(model.fileName(0), QStringLiteral("rain.wav"));
        QCOMPARE(counts, QList<int>{1});
    }

    // A change in the folder listed moves rows in and out in place, so a
    // view keeps its current entry and its scroll position.
    void followsChangesWithoutReset()
    {
        QTemporaryDir dir;
        Touch(dir.filePath(QStringLiteral("b.wav")));
        Touch(dir.filePath(QStringLiteral("d.wav")));
        LocalFolderModel model;
        model.setFolder(UrlOf(dir));
        QTRY_COMPARE(model.count(), 2);
        QSignalSpy resets(&model, &LocalFolderModel::modelReset);
        QSignalSpy inserted(&model, &LocalFolderModel::rowsInserted);
        QSignalSpy removed(&model, &LocalFolderModel::rowsRemoved);
        Touch(dir.filePath(QStringLiteral("a.wav")));
        Touch(dir.filePath(QStringLiteral("c.wav")));
        QVERIFY(QFile::remove(dir.filePath(QStringLiteral("d.wav"))));
        QTRY_COMPARE(model.count(), 3);
        QTRY_COMPARE(model.fileName(1), QStringLiteral("b.wav"));
        QCOMPARE(model.fileName(2), QStringLiteral("c.wav"));
        QCOMPARE(resets.count(), 0);
        QVERIFY(!inserted.isEmpty());
        QVERIFY(!removed.isEmpty());
    }

    // A folder that does not exist is read as missing, not as empty.
    void saysWhenTheFolderIsMissing()
    {
        QTemporaryDir dir;
        LocalFolderModel model;
        model.setFolder(QUrl::fromLocalFile(dir.filePath(QStringLiteral("gone"))));
        QTRY_VERIFY(model.missing());
        QVERIFY(!model.loading());
        QCOMPARE(model.count(), 0);
        model.setFolder(UrlOf(dir));
        QVERIFY(!model.missing());
        QTRY_VERIFY(!model.loading());
        QVERIFY(!model.missing());
    }

    // Inactive, the model reads nothing, follows nothing and lists nothing;
    // active again, it reads the folder afresh.
    void inactiveItReadsNothing()
    {
        QTemporaryDir dir;
        Touch(dir.filePath(QStringLiteral("a.wav")));
        LocalFolderModel model;
        model.setFolder(UrlOf(dir));
        QTRY_COMPARE(model.count(), 1);
        model.setActive(false);
        QCOMPARE(model.count(), 0);
        QVERIFY(!model.loading());
        QSignalSpy counts(&model, &LocalFolderModel::countChanged);
        Touch(dir.filePath(QStringLiteral("b.wav")));
        QTest::qWait(600);
        QCOMPARE(counts.count(), 0);
        model.setActive(true);
        QVERIFY(model.loading());
        QTRY_COMPARE(model.count(), 2);
    }

    // The names the save dialog matches a typed one against, in any case.
    void findsNamesInAnyLetterCase()
    {
        QTemporaryDir dir;
        Touch(dir.filePath(QStringLiteral("Winter Tale.TARVCUE")));
        Touch(dir.filePath(QStringLiteral("winter tale.tarvcue")));
        Touch(dir.filePath(QStringLiteral("Spring.tarvcue")));
        QDir(dir.path()).mkdir(QStringLiteral("WINTER TALE.tarvcue"));
        LocalFolderModel model;
        model.setFolder(UrlOf(dir));
        QVERIFY(model.listedPath().isEmpty());
        QTRY_COMPARE(model.count(), 4);
        QCOMPARE(model.listedPath(), dir.path());
        QStringList names = model.namesLike(QStringLiteral("Winter tale.tarvcue"));
        names.sort();
        QCOMPARE(names, (QStringList{QStringLiteral("WINTER TALE.tarvcue"),
                                     QStringLiteral("Winter Tale.TARVCUE"),
                                     QStringLiteral("winter tale.tarvcue")}));
        QVERIFY(model.namesLike(QStringLiteral("Autumn.tarvcue")).isEmpty());
    }

    // A model that goes while its folder is still being read does not wait
    // for the reading, and the reading's end reaches nothing.
    void goesWithoutWaitingForItsReading()
    {
        QTemporaryDir large;
        for (int i = 0; i < 20000; ++i) {
            Touch(large.filePath(QStringLiteral("cue %1.wav").arg(i)));
        }
        QElapsedTimer gone;
        {
            auto model = std::make_unique<LocalFolderModel>();
            model->setFolder(UrlOf(large));
            QVERIFY(model->loading());
            gone.start();
        }
        QVERIFY2(gone.elapsed() < 50, qPrintable(QString::number(gone.elapsed())));
        QTest::qWait(2000);
    }
};

QTEST_GUILESS_MAIN(TestLocalFolderModel)

#include "tst_localfoldermodel.moc"
