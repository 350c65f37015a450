#include "fakesfxrepository.h"

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
