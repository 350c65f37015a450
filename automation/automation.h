#pragma once

#include "automation/eventgroup.h"
#include "automation/networkpath.h"
#include "automation/result.h"
#include "automation/tarv_automation_export.h"
#include "sfx/customaudioparameters.h"
#include "sfx/sfxdto.h"

#include <future>
#include <istream>
#include <memory>
#include <optional>
#include <QString>
#include <stdexcept>
#include <string>
#include <vector>

namespace tarv::automation {

// Opening a cue file that could not be read at all, as opposed to one whose
// content is no cue file.
class TARV_AUTOMATION_EXPORT CueFileUnreadable : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// The cue-list document: the show's cues and waits (it is their group),
// together with the cue file's sound-effect instances, its network
// destinations, its path and the number of the next generated sound-effect
// event id. It lives on the GUI thread; the in-file sound-effect repository
// reaches it only through its request slots.
class TARV_AUTOMATION_EXPORT Automation : public EventGroup
{
    Q_OBJECT

public:
    Automation();
    ~Automation() override;

    // No show comes near this size; a larger file is refused unread.
    static constexpr qint64 kMaxCueFileSize = qint64{64} * 1024 * 1024;

    // Reads the cue file at `path` (the path is kept even when reading fails).
    // Throws CueFileUnreadable for a file that is missing, unreadable or
    // larger than kMaxCueFileSize, std::runtime_error for one that is no
    // cue file.
    Result Open(const QString& path);
    Result Open(std::istream& in);
    // Writes the cue file atomically: the document is written to memory, then
    // the file is replaced as a whole. Throws std::runtime_error on any
    // failure and then leaves the previous file exactly as it was.
    void Save(const QString& path);

    QString Path() const;
    void Path(const QString& value);
    bool ReadOnly() const;
    void ReadOnly(bool value);

    // The list itself: OSC events keep a pointer to it.
    std::vector<networking::NetworkPath>& GetNetworks();
    const std::vector<networking::NetworkPath>& GetNetworks() const;

    std::vector<audio::sfx::SfxDto> SoundEffects() const;
    void SoundEffects(const std::vector<audio::sfx::SfxDto>& value);
    void AddSoundEffect(const audio::sfx::SfxDto& dto);
    std::optional<audio::sfx::SfxDto> GetSoundEffect(const std::string& eventId) const;
    void RemoveSoundEffect(const std::string& eventId);
    void UpdateSoundEffect(const std::string& eventId, const audio::sfx::SfxDto& dto);

    // One more than the highest number that ends a sound-effect event id.
    // Throws std::runtime_error for an id that does not end in a number or
    // whose number leaves no room for a next one.
    int GetNextEventIdSuffix() const;

signals:
    void playCustomAudio(tarv::audio::CustomAudioParameters* parameters);
    void stopCustomAudio(tarv::audio::CustomAudioParameters* parameters);

public slots:
    void onRequestPlay(tarv::audio::CustomAudioParameters* parameters);
    void onRequestStop(tarv::audio::CustomAudioParameters* parameters);
    void onGetSoundEffectsRequested(
        std::shared_ptr<std::promise<std::vector<tarv::audio::sfx::SfxDto>>> promise);
    void onGetSoundEffectByIdRequested(
        const std::string& id,
        std::shared_ptr<std::promise<std::optional<tarv::audio::sfx::SfxDto>>> promise);
    void onSaveSoundEffectRequested(const tarv::audio::sfx::SfxDto& dto);
    void onUpdateSoundEffectRequested(const std::string& id, const tarv::audio::sfx::SfxDto& dto);
    void onRemoveSoundEffectRequested(std::string id);
    void onNextSoundEffectEventIdRequested(std::shared_ptr<std::promise<int>> promise);
    void onPreviewSoundEffectEventIdRequested(std::shared_ptr<std::promise<int>> promise) const;

private:
    void ConnectAudioRequests();
    void RepairDuplicateEventIds(Result& result);

    int m_nextSfxSuffix = 1;
    std::vector<audio::sfx::SfxDto> m_soundEffects;
    bool m_readOnly = false;
    std::vector<networking::NetworkPath> m_networks;
    QString m_path;
};

} // namespace tarv::automation
