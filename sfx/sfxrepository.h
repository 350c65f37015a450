#pragma once

#include "sfx/sfxdto.h"

#include <any>
#include <optional>
#include <string>
#include <vector>

namespace tarv::audio {

// Where the player keeps its sound-effect instances; the application supplies
// the implementation. Ids travel as std::any holding the std::string event id.
// The player may call from threads of its own.
class SfxRepository
{
public:
    virtual ~SfxRepository();

    virtual void Save(sfx::SfxDto dto) = 0;
    virtual std::vector<sfx::SfxDto> Get() = 0;
    virtual std::optional<sfx::SfxDto> GetById(std::any id) = 0;
    virtual void Update(std::any id, sfx::SfxDto dto) = 0;
    virtual void Delete(std::any id) = 0;
    virtual std::string GenerateEventId() = 0;
    virtual std::string PreviewEventId() = 0;

protected:
    SfxRepository() = default;
    SfxRepository(const SfxRepository&) = default;
    SfxRepository& operator=(const SfxRepository&) = default;
};

} // namespace tarv::audio
