#include "sfx/sfxdtobuilder.h"

#include <utility>

namespace tarv::audio::sfx {

SfxDtoBuilder& SfxDtoBuilder::name(std::string value)
{
    m_dto.m_name = std::move(value);
    return *this;
}

SfxDtoBuilder& SfxDtoBuilder::eventId(std::string value)
{
    m_dto.m_eventId = std::move(value);
    return *this;
}

SfxDtoBuilder& SfxDtoBuilder::effectId(std::string value)
{
    m_dto.m_effectId = std::move(value);
    return *this;
}

SfxDtoBuilder& SfxDtoBuilder::effectPath(std::string value)
{
    m_dto.m_effectPath = std::move(value);
    return *this;
}

SfxDtoBuilder& SfxDtoBuilder::outputPath(std::string value)
{
    m_dto.m_outputPath = std::move(value);
    return *this;
}

SfxDtoBuilder& SfxDtoBuilder::volume(float value)
{
    m_dto.m_volume = value;
    return *this;
}

SfxDtoBuilder& SfxDtoBuilder::pan(float value)
{
    m_dto.m_pan = value;
    return *this;
}

SfxDtoBuilder& SfxDtoBuilder::reverb(float value)
{
    m_dto.m_reverb = value;
    return *this;
}

SfxDtoBuilder& SfxDtoBuilder::fadeIn(unsigned short value)
{
    m_dto.m_fadeIn = value;
    return *this;
}

SfxDtoBuilder& SfxDtoBuilder::fadeOut(unsigned short value)
{
    m_dto.m_fadeOut = value;
    return *this;
}

SfxDtoBuilder& SfxDtoBuilder::repeats(int value)
{
    m_dto.m_repeats = value;
    return *this;
}

SfxDtoBuilder& SfxDtoBuilder::type(SfxType value)
{
    m_dto.m_type = value;
    return *this;
}

} // namespace tarv::audio::sfx
