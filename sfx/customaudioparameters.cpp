#include "sfx/customaudioparameters.h"

namespace tarv::audio {

CustomAudioParameters::Builder CustomAudioParameters::builder()
{
    return Builder{};
}

using Builder = CustomAudioParameters::Builder;

Builder& Builder::name(const QString& value)
{
    m_parameters.m_name = value;
    return *this;
}

Builder& Builder::file(const QString& value)
{
    m_parameters.m_file = value;
    return *this;
}

Builder& Builder::outputPath(const QString& value)
{
    m_parameters.m_outputPath = value;
    return *this;
}

Builder& Builder::networkPatch(const QString& value)
{
    m_parameters.m_networkPatch = value;
    return *this;
}

Builder& Builder::volume(double value)
{
    m_parameters.m_volume = value;
    return *this;
}

Builder& Builder::pan(double value)
{
    m_parameters.m_pan = value;
    return *this;
}

Builder& Builder::reverb(double value)
{
    m_parameters.m_reverb = value;
    return *this;
}

Builder& Builder::fadeIn(unsigned value)
{
    m_parameters.m_fadeIn = value;
    return *this;
}

Builder& Builder::fadeOut(unsigned value)
{
    m_parameters.m_fadeOut = value;
    return *this;
}

Builder& Builder::repeats(int value)
{
    m_parameters.m_repeats = value;
    return *this;
}

Builder& Builder::command(CustomAudioCommand value)
{
    m_parameters.m_command = value;
    return *this;
}

} // namespace tarv::audio
