#pragma once

#include "automation/tarv_automation_export.h"
#include "sfx/sfxdto.h"
#include "sfx/sfxrepository.h"

#include <any>
#include <chrono>
#include <future>
#include <memory>
#include <optional>
#include <QObject>
#include <string>
#include <vector>

namespace tarv::automation {

// The sound-effect repository of the player, kept inside the open cue file.
// It holds no data: every call becomes a signal that the main controller
// connects to the current document's request slots. Calls that return a value
// send a promise along and wait for the document's answer, so the player may
// call from a thread of its own while the document stays on the GUI thread.
//
// A call that is never answered (no document connected, the document
// destroyed before it answered, a GUI thread that does not get to it within
// the answer timeout) throws std::runtime_error instead of blocking forever.
class TARV_AUTOMATION_EXPORT TarvCueFileSfxRepository : public QObject, public audio::SfxRepository
{
    Q_OBJECT

public:
    static constexpr std::chrono::milliseconds DefaultAnswerTimeout{10000};

    TarvCueFileSfxRepository();
    explicit TarvCueFileSfxRepository(std::chrono::milliseconds answerTimeout);
    ~TarvCueFileSfxRepository() override;

    void Save(audio::sfx::SfxDto dto) override;
    std::vector<audio::sfx::SfxDto> Get() override;
    std::optional<audio::sfx::SfxDto> GetById(std::any id) override;
    void Update(std::any id, audio::sfx::SfxDto dto) override;
    void Delete(std::any id) override;
    std::string GenerateEventId() override;
    std::string PreviewEventId() override;

signals:
    void saveSoundEffect(tarv::audio::sfx::SfxDto dto);
    void
    getSoundEffects(std::shared_ptr<std::promise<std::vector<tarv::audio::sfx::SfxDto>>> promise);
    void getSoundEffectById(
        std::string id,
        std::shared_ptr<std::promise<std::optional<tarv::audio::sfx::SfxDto>>> promise);
    void updateSoundEffect(std::string id, tarv::audio::sfx::SfxDto dto);
    void deleteSoundEffect(std::string id);
    void nextEventId(std::shared_ptr<std::promise<int>> promise);
    void previewEventId(std::shared_ptr<std::promise<int>> promise);

private:
    template <typename T>
    T Await(std::future<T> future) const;

    std::chrono::milliseconds m_answerTimeout;
};

} // namespace tarv::automation
