#include "fakesfxrepository.h"

#include "sfx/sfxdtobuilder.h"

using tarv::audio::sfx::SfxDto;

std::vector<SfxDto> FakeSfxRepository::Get()
{
    std::vector<SfxDto> all;
    for (const auto& [id, dto] : m_instances)
        all.push_back(dto);
    return all;
}

std::optional<SfxDto> FakeSfxRepository::GetById(std::any id)
{
    const auto found = m_instances.find(std::any_cast<std::string>(id));
    return found == m_instances.end() ? std::nullopt : std::optional(found->second);
}

void FakeSfxRepository::Update(std::any id, SfxDto dto)
{
    m_instances[std::any_cast<std::string>(id)] = std::move(dto);
}

void FakeSfxRepository::Delete(std::any id)
{
    m_instances.erase(std::any_cast<std::string>(id));
}

void FakeSfxRepository::Add(const std::string& eventId, const std::string& effectId, float volume,
                            int repeats, unsigned short fadeOut)
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
