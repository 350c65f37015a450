#include "sfx/sfxmanifest.h"

#include <mutex>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>
#include <QtDebug>
#include <set>

namespace tarv::sfx {

namespace {

constexpr auto kDataSubfolder = "tarv_cue/sfx";

bool HasCatalogue(const QString& folder)
{
    return !folder.isEmpty() &&
           QFileInfo::exists(QDir(folder).filePath(SfxManifest::kCatalogueFile));
}

} // namespace

SfxManifest::SfxManifest()
    : SfxManifest(DefaultFolder())
{}

SfxManifest::SfxManifest(const QString& folder)
    : m_folder(folder)
{
    Read();
}

QString SfxManifest::DefaultFolder()
{
    const QString fromEnvironment = qEnvironmentVariable(kEnvironmentVariable);
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;

    QStringList candidates;
    if (QCoreApplication::instance() != nullptr)
        candidates << QDir(QCoreApplication::applicationDirPath())
                          .filePath(QStringLiteral("../share/") + kDataSubfolder);
    candidates << QStandardPaths::locateAll(QStandardPaths::GenericDataLocation, kDataSubfolder,
                                            QStandardPaths::LocateDirectory);
#ifdef TARV_SFX_BUILD_LIBRARY
    candidates << QStringLiteral(TARV_SFX_BUILD_LIBRARY);
#endif
    for (const QString& candidate : candidates) {
        if (HasCatalogue(candidate))
            return QDir::cleanPath(candidate);
    }
    return {};
}

void SfxManifest::Report(std::string message)
{
    // The catalogue is read often (each play, each list refresh): the log
    // hears about each problem once.
    static std::mutex mutex;
    static std::set<std::string> logged;
    {
        const std::lock_guard lock(mutex);
        if (logged.insert(message).second)
            qWarning().noquote() << "Sound-effect catalogue:" << QString::fromStdString(message);
    }
    m_errors.push_back(std::move(message));
}

void SfxManifest::Read()
{
    if (m_folder.isEmpty()) {
        Report("no folder of sound effects was found");
        return;
    }
    const QDir folder(m_folder);
    QFile file(folder.filePath(kCatalogueFile));
    if (!file.open(QIODevice::ReadOnly)) {
        Report("cannot read " + file.fileName().toStdString() + ": " +
               file.errorString().toStdString());
        return;
    }
    QJsonParseError parseError{};
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &parseError);
    if (parseError.error != QJsonParseError::NoError || !document.isObject() ||
        !document.object().value("effects").isArray()) {
        Report(file.fileName().toStdString() + " is not a catalogue: " +
               (parseError.error != QJsonParseError::NoError
                    ? parseError.errorString().toStdString()
                    : std::string("no \"effects\" list")));
        return;
    }

    const QJsonArray effects = document.object().value("effects").toArray();
    for (qsizetype i = 0; i < effects.size(); ++i) {
        const QJsonObject effect = effects.at(i).toObject();
        const std::string where =
            "entry " + std::to_string(i + 1) + " of " + file.fileName().toStdString();
        const QString id = effect.value("id").toString();
        const QString name = effect.value("name").toString();
        const QString kind = effect.value("type").toString();
        const QString relative = effect.value("file").toString();
        if (id.isEmpty() || name.isEmpty() || relative.isEmpty()) {
            Report(where + " needs a text \"id\", \"name\" and \"file\"");
            continue;
        }
        audio::SfxType type = audio::SfxType::SoundEffect;
        if (kind == QLatin1String("sound"))
            type = audio::SfxType::SoundEffect;
        else if (kind == QLatin1String("ambient"))
            type = audio::SfxType::Ambient;
        else {
            Report(where + " has the unknown type \"" + kind.toStdString() + "\"");
            continue;
        }
        if (m_entries.contains(id.toStdString())) {
            Report(where + " repeats the id \"" + id.toStdString() + "\"");
            continue;
        }
        const QString path = QDir::cleanPath(folder.absoluteFilePath(relative));
        if (!QFileInfo(path).isFile()) {
            Report(where + " names the missing file " + path.toStdString());
            continue;
        }
        m_order.push_back(id.toStdString());
        m_entries.emplace(id.toStdString(), Entry{path.toStdString(), type, name.toStdString()});
    }
}

const SfxManifest::Entry* SfxManifest::Find(std::string_view effectId) const
{
    const auto found = m_entries.find(effectId);
    return found == m_entries.end() ? nullptr : &found->second;
}

bool SfxManifest::HasEffectId(std::string_view effectId) const
{
    return Find(effectId) != nullptr;
}

std::optional<std::string> SfxManifest::path(std::string_view effectId) const
{
    const Entry* entry = Find(effectId);
    return entry ? std::optional(entry->path) : std::nullopt;
}

std::optional<SfxManifest::EffectType> SfxManifest::type(std::string_view effectId) const
{
    const Entry* entry = Find(effectId);
    return entry ? std::optional<EffectType>(entry->type) : std::nullopt;
}

std::optional<std::string> SfxManifest::displayName(std::string_view effectId) const
{
    const Entry* entry = Find(effectId);
    return entry ? std::optional(entry->displayName) : std::nullopt;
}

SfxVector SfxManifest::IdsOfType(audio::SfxType type) const
{
    std::vector<std::string> ids;
    for (const std::string& id : m_order) {
        if (Find(id)->type == type)
            ids.push_back(id);
    }
    return SfxVector(std::move(ids));
}

SfxVector SfxManifest::SoundEffects() const
{
    return IdsOfType(audio::SfxType::SoundEffect);
}

SfxVector SfxManifest::AmbientEffects() const
{
    return IdsOfType(audio::SfxType::Ambient);
}

} // namespace tarv::sfx
