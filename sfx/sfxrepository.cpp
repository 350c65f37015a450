#include "sfx/sfxrepository.h"

namespace tarv::audio {

// Defined out of line so the interface's vtable lives in this library.
SfxRepository::~SfxRepository() = default;

} // namespace tarv::audio
