#pragma once

#include "sfx/sfxtype.h"
#include "sfx/sfxvector.h"

#include <map>
#include <optional>
#include <QString>
#include <string>
#include <string_view>
#include <vector>

namespace tarv::sfx {

// The catalogue of installed sound effects: effect ids with their files,
// types and display names.
//
// It is read from "catalogue.json" in a folder of effects. The folder is the
// one named by the environment variable TARV_SFX_LIBRARY when that is set
// (tests and users with a library of their own); otherwise the program's
// installed data folder (<prefix>/share/tarv_cue/sfx, found next to the
// program or through the standard data locations), and for a program run from
// its build tree, the effects the build generated.
//
// The catalogue file: {"effects": [{"id": "...", "name": "...",
// "type": "sound" | "ambient", "file": "<path relative to the folder>"}]}.
// A broken entry (missing field, unknown type, duplicate id, missing file) is
// left out and reported on the Qt warning log and in Errors(); a missing or
// unreadable catalogue gives an empty one. Nothing here throws.
class SfxManifest
{
public:
    // An effect's kind as the records number it. It converts both ways, so
    // that `type(id).value_or(1)` goes straight into a record's type.
    class EffectType
    {
    public:
        constexpr EffectType(int value) noexcept // NOLINT(google-explicit-constructor)
            : m_value(static_cast<audio::SfxType>(value))
        {}
        constexpr EffectType(audio::SfxType value) noexcept // NOLINT(google-explicit-constructor)
            : m_value(value)
        {}
        constexpr operator audio::SfxType() const noexcept // NOLINT(google-explicit-constructor)
        {
            return m_value;
        }
        constexpr int Value() const noexcept { return static_cast<int>(m_value); }

    private:
        audio::SfxType m_value;
    };

    static constexpr const char* kEnvironmentVariable = "TARV_SFX_LIBRARY";
    static constexpr const char* kCatalogueFile = "catalogue.json";

    // Reads the catalogue of the folder described above.
    SfxManifest();
    // Reads the catalogue of the given folder.
    explicit SfxManifest(const QString& folder);

    static QString DefaultFolder();

    bool HasEffectId(std::string_view effectId) const;
    std::optional<std::string> path(std::string_view effectId) const;
    // SfxType::SoundEffect (1) or SfxType::Ambient (2).
    std::optional<EffectType> type(std::string_view effectId) const;
    std::optional<std::string> displayName(std::string_view effectId) const;

    SfxVector SoundEffects() const;
    SfxVector AmbientEffects() const;

    const QString& Folder() const noexcept { return m_folder; }
    const std::vector<std::string>& Errors() const noexcept { return m_errors; }

private:
    struct Entry
    {
        std::string path;
        audio::SfxType type = audio::SfxType::SoundEffect;
        std::string displayName;
    };

    void Read();
    void Report(std::string message);
    const Entry* Find(std::string_view effectId) const;
    SfxVector IdsOfType(audio::SfxType type) const;

    QString m_folder;
    std::vector<std::string> m_order; // catalogue order
    std::map<std::string, Entry, std::less<>> m_entries;
    std::vector<std::string> m_errors;
};

} // namespace tarv::sfx
