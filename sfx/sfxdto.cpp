#include "sfx/sfxdto.h"

#include "sfx/sfxdtobuilder.h"

namespace tarv::audio::sfx {

SfxDtoBuilder SfxDto::builder()
{
    return SfxDtoBuilder{};
}

} // namespace tarv::audio::sfx
