#include "localfoldermodel.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThreadPool>

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
        QThreadPool::globalInstance()->waitForDone();
        QTest::qWait(50);
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
};

QTEST_GUILESS_MAIN(TestLocalFolderModel)

#include "tst_localfoldermodel.moc"
