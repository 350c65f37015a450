// The catalogue: the generated effects, a folder given through the
// environment replacing them, and broken entries left out with a report.

#include "sfx/sfxdtobuilder.h"
#include "sfx/sfxmanifest.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <string>
#include <vector>

using tarv::audio::SfxType;
using tarv::audio::sfx::SfxDto;
using tarv::sfx::SfxManifest;
using tarv::sfx::SfxVector;

namespace {

std::vector<std::string> Ids(const SfxVector& ids)
{
    return {ids.begin(), ids.end()};
}

void WriteFile(const QString& path, const QByteArray& content)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

} // namespace

class TestSfxManifest : public QObject
{
    Q_OBJECT

private slots:
    void generatedEffectsAreListedWithTypesAndNames()
    {
        qunsetenv(SfxManifest::kEnvironmentVariable);
        SfxVector sounds;
        {
            const SfxManifest manifest;
            QVERIFY(manifest.Errors().empty());
            sounds = manifest.SoundEffects(); // must outlive the catalogue
            const auto ambient = Ids(manifest.AmbientEffects());
            QVERIFY(std::find(ambient.begin(), ambient.end(), "ambient.pink") != ambient.end());
            QCOMPARE(sounds.Count() + ambient.size(), std::size_t{8});
            for (const std::string id : sounds) {
                // The sound-effect lists put the type straight into a record.
                const auto record = SfxDto::builder().type(manifest.type(id).value_or(1)).build();
                QCOMPARE(record.type(), SfxType::SoundEffect);
                QVERIFY(QFile::exists(QString::fromStdString(manifest.path(id).value())));
                QVERIFY(!manifest.displayName(id).value().empty());
            }
            QCOMPARE(SfxType(manifest.type("ambient.pink").value()), SfxType::Ambient);
            QCOMPARE(manifest.displayName("tone.1k"),
                     std::optional<std::string>("Test Tone 1 kHz"));
            QCOMPARE(manifest.type("no.such").value_or(1).Value(), 1);
            QVERIFY(!manifest.HasEffectId("no.such") && !manifest.path("no.such"));
        }
        QCOMPARE(std::string(*sounds.begin()), std::string("tone.1k"));
    }

    void environmentFolderReplacesThemAndBrokenEntriesAreReported()
    {
        QTemporaryDir folder;
        WriteFile(folder.filePath("rain.wav"), "not checked here");
        WriteFile(folder.filePath(SfxManifest::kCatalogueFile), R"({"effects": [
            {"id": "rain", "name": "Rain", "type": "ambient", "file": "rain.wav"},
            {"id": "rain", "name": "Rain again", "type": "ambient", "file": "rain.wav"},
            {"id": "gone", "name": "Gone", "type": "sound", "file": "gone.wav"},
            {"id": "odd", "name": "Odd", "type": "music", "file": "rain.wav"},
            {"id": "", "name": "No id", "type": "sound", "file": "rain.wav"},
            42
        ]})");
        qputenv(SfxManifest::kEnvironmentVariable, folder.path().toUtf8());
        const SfxManifest manifest;
        qunsetenv(SfxManifest::kEnvironmentVariable);

        QCOMPARE(Ids(manifest.AmbientEffects()), std::vector<std::string>{"rain"});
        QCOMPARE(manifest.SoundEffects().Count(), std::size_t{0});
        QCOMPARE(manifest.displayName("rain"), std::optional<std::string>("Rain"));
        QCOMPARE(manifest.path("rain"),
                 std::optional(QDir(folder.path()).filePath("rain.wav").toStdString()));
        QCOMPARE(manifest.Errors().size(), std::size_t{5});
    }

    void unreadableCataloguesGiveAnEmptyOne()
    {
        QTemporaryDir broken;
        WriteFile(broken.filePath(SfxManifest::kCatalogueFile), "{\"effects\": [");
        QTemporaryDir wrongShape;
        WriteFile(wrongShape.filePath(SfxManifest::kCatalogueFile), "{\"effects\": {}}");
        QTemporaryDir none;
        for (const QString& folder : {broken.path(), wrongShape.path(), none.path()}) {
            const SfxManifest manifest(folder);
            QCOMPARE(manifest.SoundEffects().Count() + manifest.AmbientEffects().Count(),
                     std::size_t{0});
            QCOMPARE(manifest.Errors().size(), std::size_t{1});
        }
    }
};

QTEST_GUILESS_MAIN(TestSfxManifest)
#include "tst_sfxmanifest.moc"
