#include "sfxdto.h"

#include "sfxdtobuilder.h"

namespace tarv::audio::sfx {

SfxDtoBuilder SfxDto::builder()
{
    return SfxDtoBuilder{};
}

} // namespace tarv::audio::sfx
