#pragma once

#include "sfx/sfxrepository.h"

#include <map>
#include <string>

// An in-memory repository of sound-effect instances for the player tests.
class FakeSfxRepository : public tarv::audio::SfxRepository
{
public:
    void Add(const tarv::audio::sfx::SfxDto& dto) { m_instances[dto.eventId()] = dto; }
    // Adds a centred instance of a catalogue effect.
    void Add(const std::string& eventId, const std::string& effectId, float volume, int repeats,
             unsigned short fadeOut);

    void Save(tarv::audio::sfx::SfxDto dto) override { Add(dto); }
    std::vector<tarv::audio::sfx::SfxDto> Get() override;
    std::optional<tarv::audio::sfx::SfxDto> GetById(std::any id) override;
    void Update(std::any id, tarv::audio::sfx::SfxDto dto) override;
    void Delete(std::any id) override;
    std::string GenerateEventId() override { return "sfx." + std::to_string(++m_next); }
    std::string PreviewEventId() override { return "sfx." + std::to_string(m_next + 1); }

private:
    std::map<std::string, tarv::audio::sfx::SfxDto> m_instances;
    int m_next = 100;
};
