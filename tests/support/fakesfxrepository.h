#pragma once

#include "sfx/sfxdtobuilder.h"
#include "sfx/sfxrepository.h"

#include <map>
#include <string>

// An in-memory repository of sound-effect instances for the player tests and
// benchmarks.
class FakeSfxRepository : public tarv::audio::SfxRepository
{
public:
    using SfxDto = tarv::audio::sfx::SfxDto;

    void Add(const SfxDto& dto) { m_instances[dto.eventId()] = dto; }
    // Adds a centred instance of a catalogue effect.
    void Add(const std::string& eventId, const std::string& effectId, float volume, int repeats,
             unsigned short fadeOut)
    {
        Add(SfxDto::builder()
                .name(eventId)
                .eventId(eventId)
                .effectId(effectId)
                .volume(volume)
                .pan(0.5F)
                .repeats(repeats)
                .fadeOut(fadeOut)
                .type(tarv::audio::SfxType::SoundEffect)
                .build());
    }

    void Save(SfxDto dto) override { Add(dto); }
    std::vector<SfxDto> Get() override
    {
        std::vector<SfxDto> all;
        for (const auto& [id, dto] : m_instances)
            all.push_back(dto);
        return all;
    }
    std::optional<SfxDto> GetById(std::any id) override
    {
        const auto found = m_instances.find(std::any_cast<std::string>(id));
        return found == m_instances.end() ? std::nullopt : std::optional(found->second);
    }
    void Update(std::any id, SfxDto dto) override
    {
        m_instances[std::any_cast<std::string>(id)] = std::move(dto);
    }
    void Delete(std::any id) override { m_instances.erase(std::any_cast<std::string>(id)); }
    std::string GenerateEventId() override { return "sfx." + std::to_string(++m_next); }
    std::string PreviewEventId() override { return "sfx." + std::to_string(m_next + 1); }

private:
    std::map<std::string, SfxDto> m_instances;
    int m_next = 100;
};
