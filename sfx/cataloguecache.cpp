#include "sfx/cataloguecache.h"

#include <QDir>
#include <system_error>

namespace tarv::audio {

const tarv::sfx::SfxManifest& CatalogueCache::Current()
{
    const Stamp now = Look();
    if (!m_manifest || !(now == m_stamp)) {
        m_manifest.emplace(now.folder);
        m_stamp = now;
    }
    return *m_manifest;
}

CatalogueCache::Stamp CatalogueCache::Look()
{
    // Finding the default folder searches the data folders: done again only
    // when the setting that chooses it changes.
    const QString setting = qEnvironmentVariable(tarv::sfx::SfxManifest::kEnvironmentVariable);
    if (!m_manifest || setting != m_folderSetting) {
        m_folderSetting = setting;
        m_folder = tarv::sfx::SfxManifest::DefaultFolder();
    }
    Stamp stamp{m_folder};
    if (m_folder.isEmpty())
        return stamp;
    const std::filesystem::path file =
        QDir(m_folder).filePath(tarv::sfx::SfxManifest::kCatalogueFile).toStdString();
    std::error_code error;
    const std::filesystem::directory_entry entry(file, error);
    if (!error) {
        stamp.modified = entry.last_write_time(error);
        stamp.size = error ? 0 : entry.file_size(error);
    }
    return stamp;
}

} // namespace tarv::audio
