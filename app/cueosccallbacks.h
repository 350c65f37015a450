#pragma once

#include "osc/oscprocinterface.h"

#include <functional>
#include <QObject>
#include <string>

namespace tarv {

// Turns the sound-effect commands that arrive over OSC, and the arrival of
// every message, into signals. The main controller connects them directly to
// the shared sound-effect player, so each receiver runs inside the handling
// of the datagram. The show argument of every command is ignored.
//
// A play, stop or fade of an instance that the open cue file lacks is refused
// like any other command in error (reported on standard error by the
// dispatcher): whoever sent it, it must not raise a message in the window
// and take the keyboard from GO.
class CueOscCallbacks : public QObject, public osc::OscProcInterface
{
    Q_OBJECT

public:
    // Whether the open cue file holds the sound-effect instance `eventId`.
    using InstanceLookup = std::function<bool(const std::string& eventId)>;

    // Passes every id on.
    CueOscCallbacks();
    explicit CueOscCallbacks(InstanceLookup holdsInstance);
    ~CueOscCallbacks() override;

    void OnPlaySfx(const std::string& show, const std::string& sfxId) override;
    void OnStopSfx(const std::string& show, const std::string& sfxId) override;
    void OnStopAllSfx(const std::string& show) override;
    void OnNotify() override;
    void OnFadeSfx(const std::string& show, const std::string& sfxId, double volume,
                   float fadeTime) override;

signals:
    void FadeRequested(float fadeTime);
    void Notification();
    void playSfx(std::string eventId);
    void stopSfx(std::string eventId);
    void stopAllSfx();
    // volume is a linear gain (1.0 leaves the level as it is); fadeTime is in
    // milliseconds.
    void fadeSfx(std::string eventId, double volume, float fadeTime);

private:
    // Throws std::runtime_error for an id the open file lacks.
    void RequireInstance(const std::string& sfxId) const;

    InstanceLookup m_holdsInstance;
};

} // namespace tarv
