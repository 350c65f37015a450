#pragma once

#include "automation/event.h"
#include "automation/tarv_automation_export.h"
#include "sfx/customaudioparameters.h"

#include <memory>

namespace tarv::automation {

// Asks, by a signal, for a custom audio file to be played or stopped; the
// document relays the request to the player.
class TARV_AUTOMATION_EXPORT CustomAudio : public Event
{
    Q_OBJECT

public:
    CustomAudio(const audio::CustomAudioParameters& parameters, unsigned offsetMs);
    ~CustomAudio() override;

    // Valid until the parameters are replaced or the event is destroyed.
    const audio::CustomAudioParameters* parameters() const;
    // Replaces the parameters and announces the change with updated().
    void parameters(audio::CustomAudioParameters value);

    QString AutoName() const override;

signals:
    void requestPlay(tarv::audio::CustomAudioParameters* parameters);
    void requestStop(tarv::audio::CustomAudioParameters* parameters);

protected:
    void Execute_() override;

private:
    std::unique_ptr<audio::CustomAudioParameters> m_parameters;
};

} // namespace tarv::automation
