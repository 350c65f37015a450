#include "app/cueosccallbacks.h"

#include <stdexcept>
#include <utility>

namespace tarv {

CueOscCallbacks::CueOscCallbacks() = default;

CueOscCallbacks::CueOscCallbacks(InstanceLookup holdsInstance)
    : m_holdsInstance(std::move(holdsInstance))
{}

CueOscCallbacks::~CueOscCallbacks() = default;

void CueOscCallbacks::RequireInstance(const std::string& sfxId) const
{
    if (m_holdsInstance && !m_holdsInstance(sfxId)) {
        throw std::runtime_error("There is no sound effect " + sfxId + ".");
    }
}

void CueOscCallbacks::OnPlaySfx(const std::string& /*show*/, const std::string& sfxId)
{
    RequireInstance(sfxId);
    emit playSfx(sfxId);
}

void CueOscCallbacks::OnStopSfx(const std::string& /*show*/, const std::string& sfxId)
{
    RequireInstance(sfxId);
    emit stopSfx(sfxId);
}

void CueOscCallbacks::OnStopAllSfx(const std::string& /*show*/)
{
    emit stopAllSfx();
}

void CueOscCallbacks::OnNotify()
{
    emit Notification();
}

void CueOscCallbacks::OnFadeSfx(const std::string& /*show*/, const std::string& sfxId,
                                double volume, float fadeTime)
{
    RequireInstance(sfxId);
    emit fadeSfx(sfxId, volume, fadeTime);
}

} // namespace tarv
