#pragma once

#include <QString>

namespace tarv::audio {

// What an audio event asks the player to do. Cue files store the number; the
// fixed underlying type keeps a number other than 0 or 1 representable, and
// such a command asks for nothing.
enum class CustomAudioCommand : int
{
    Play = 0,
    Stop = 1,
};

// The parameters of one custom audio file played or stopped by an audio event.
class CustomAudioParameters
{
public:
    class Builder;

    CustomAudioParameters() = default;

    [[nodiscard]] static Builder builder();

    QString name() const { return m_name; }
    QString file() const { return m_file; }
    QString outputPath() const { return m_outputPath; }
    QString networkPatch() const { return m_networkPatch; }
    double volume() const { return m_volume; }
    double pan() const { return m_pan; }
    double reverb() const { return m_reverb; }
    unsigned fadeIn() const { return m_fadeIn; }
    unsigned fadeOut() const { return m_fadeOut; }
    int repeats() const { return m_repeats; }
    CustomAudioCommand command() const { return m_command; }

    bool operator==(const CustomAudioParameters&) const = default;

private:
    QString m_name;
    QString m_file;
    QString m_outputPath;
    QString m_networkPatch;
    double m_volume = 1.0;
    double m_pan = 0.5;
    double m_reverb = 0.0;
    unsigned m_fadeIn = 0;
    unsigned m_fadeOut = 0;
    int m_repeats = 0;
    CustomAudioCommand m_command = CustomAudioCommand::Play;
};

class CustomAudioParameters::Builder
{
public:
    Builder& name(const QString& value);
    Builder& file(const QString& value);
    Builder& outputPath(const QString& value);
    Builder& networkPatch(const QString& value);
    Builder& volume(double value);
    Builder& pan(double value);
    Builder& reverb(double value);
    Builder& fadeIn(unsigned value);
    Builder& fadeOut(unsigned value);
    Builder& repeats(int value);
    Builder& command(CustomAudioCommand value);

    [[nodiscard]] CustomAudioParameters build() const { return m_parameters; }

private:
    CustomAudioParameters m_parameters;
};

} // namespace tarv::audio
