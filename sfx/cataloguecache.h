#pragma once

#include "sfx/sfxmanifest.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <QString>

namespace tarv::audio {

// The catalogue of installed effects as last read. A play looks its effect
// up here instead of reading the catalogue file: the file is read again only
// when it changes (its time or size) or the library folder setting does.
// One thread only.
class CatalogueCache
{
public:
    const tarv::sfx::SfxManifest& Current();

private:
    struct Stamp
    {
        QString folder;
        std::filesystem::file_time_type modified{};
        std::uintmax_t size = 0;
        bool operator==(const Stamp&) const = default;
    };

    Stamp Look();

    QString m_folderSetting; // the environment's choice the folder was found for
    QString m_folder;
    std::optional<tarv::sfx::SfxManifest> m_manifest;
    Stamp m_stamp;
};

} // namespace tarv::audio
