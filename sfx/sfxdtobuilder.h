#pragma once

#include "sfx/sfxdto.h"

#include <string>

namespace tarv::audio::sfx {

// Collects the fields of a sound-effect instance; fields never given keep the
// neutral defaults of an empty record, so an untouched builder builds exactly
// the record that stands for "no instance".
class SfxDtoBuilder
{
public:
    SfxDtoBuilder& name(std::string value);
    SfxDtoBuilder& eventId(std::string value);
    SfxDtoBuilder& effectId(std::string value);
    SfxDtoBuilder& effectPath(std::string value);
    SfxDtoBuilder& outputPath(std::string value);
    SfxDtoBuilder& volume(float value);
    SfxDtoBuilder& pan(float value);
    SfxDtoBuilder& reverb(float value);
    SfxDtoBuilder& fadeIn(unsigned short value);
    SfxDtoBuilder& fadeOut(unsigned short value);
    SfxDtoBuilder& repeats(int value);
    SfxDtoBuilder& type(SfxType value);

    [[nodiscard]] SfxDto build() const { return m_dto; }

private:
    SfxDto m_dto;
};

} // namespace tarv::audio::sfx
