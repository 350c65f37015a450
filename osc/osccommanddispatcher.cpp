#include "osc/osccommanddispatcher.h"

#include "osc/oscrefusals.h"

#include <cmath>
#include <stdexcept>

namespace tarv::osc {

namespace {

const std::string kErrorContext = "Unable to process OSC command";
constexpr float kDefaultFadeTime = 0.25f;
constexpr float kDefaultFadeToVolume = 0.5f;
constexpr float kDefaultVolume = 1.0f;

bool IsNumber(const OscParam& param)
{
    return param.Type() == OscType::Int32 || param.Type() == OscType::Float32;
}

// Levels are truncated to int and times scaled for the player: a value that is
// not finite or lies outside int's range has no meaning there, and truncating
// it would be undefined.
float RequireIntRange(float value, const char* what)
{
    constexpr float kLimit = 2147483648.0f; // 2^31, exact in float
    if (!std::isfinite(value) || value < -kLimit || value >= kLimit) {
        throw std::runtime_error(std::string(what) +
                                 " must be a finite number within integer range.");
    }
    return value;
}

float Level(const OscParam& param)
{
    return RequireIntRange(param.ToFloat32(), "OSC level in dB");
}

float FadeTime(float seconds)
{
    return RequireIntRange(seconds, "OSC fade time");
}

} // namespace

OscCommandDispatcher::OscCommandDispatcher(std::unique_ptr<OscProcInterface> handler)
    : m_handler(std::move(handler))
{}

OscCommandDispatcher::~OscCommandDispatcher() = default;

void OscCommandDispatcher::DispatchOscMessage(const OscMessage& message)
{
    if (!m_handler) {
        return;
    }
    try {
        m_handler->OnNotify();
        Dispatch(message);
    } catch (const std::exception& e) {
        ReportError(e.what());
    }
}

void OscCommandDispatcher::ReportError(const std::string& error)
{
    try {
        m_handler->OnProcessingError(error, kErrorContext);
    } catch (const std::exception& e) {
        // The dispatcher runs inside a socket signal: nothing may escape it.
        ReportRefusal(kErrorContext + ": " + EscapeForTerminal(error) + " (" +
                      EscapeForTerminal(e.what()) + ")\n");
    }
}

void OscCommandDispatcher::Dispatch(const OscMessage& message)
{
    const OscCommand command = ParseOscCommand(message.address);
    const Params& params = message.params;

    if (command.isSfx) {
        if (params.empty()) {
            DispatchSfxCommand(command);
        } else {
            DispatchSfxFadeCommand(command, params);
        }
        return;
    }
    if (command.isEvent) {
        DispatchEventCommand(command);
        return;
    }

    const std::string& word = command.command;
    if (word == "advance" || word == "go") {
        m_handler->OnAdvance(command.show, command.song);
    } else if (word == "fadeout") {
        float time = kDefaultFadeTime;
        if (!params.empty() && IsNumber(*params[0])) {
            time = FadeTime(params[0]->ToFloat32());
        }
        m_handler->OnFadeOut(command.show, command.song, time);
    } else if (word == "fadeto") {
        float time = kDefaultFadeTime;
        float volume = kDefaultFadeToVolume;
        if (params.size() == 2) {
            volume = static_cast<float>(DbToGain(static_cast<int>(Level(*params[0]))));
            time = FadeTime(params[1]->ToFloat32());
        }
        m_handler->OnFadeTo(command.show, command.song, time, volume, false);
    } else if (word == "stop") {
        m_handler->OnStop(command.show, command.song);
        DispatchSfxCommand(ParseOscCommand("/tarv/sfx/*/stop"));
    } else if (word == "play") {
        m_handler->OnPlay(command.show, command.song);
    } else if (word == "pause") {
        m_handler->OnPause(command.show, command.song);
    } else if (word == "volume") {
        float volume = kDefaultVolume;
        if (!params.empty() && IsNumber(*params[0])) {
            volume = static_cast<float>(std::pow(10.0, Level(*params[0]) / 20.0));
        }
        m_handler->OnVolume(volume);
    }
}

void OscCommandDispatcher::DispatchEventCommand(const OscCommand& command)
{
    if (command.command == "advance" || command.command == "go") {
        m_handler->OnAdvanceEvent(command.show, command.song, command.id);
        return;
    }
    throw std::runtime_error("Unknown command for OSC event command.");
}

void OscCommandDispatcher::DispatchSfxCommand(const OscCommand& command)
{
    if (command.command == "play") {
        m_handler->OnPlaySfx(command.show, command.id);
    } else if (command.command == "stop") {
        if (command.id == "*") {
            m_handler->OnStopAllSfx(command.show);
        } else {
            m_handler->OnStopSfx(command.show, command.id);
        }
    }
}

void OscCommandDispatcher::DispatchSfxFadeCommand(const OscCommand& command, const Params& params)
{
    if (command.command != "fadeto") {
        return;
    }
    if (params.size() < 2) {
        throw std::runtime_error("OSC sfx fadeto needs a level in dB and a fade time in seconds.");
    }
    const float seconds = params[1]->ToFloat32();
    const int level = static_cast<int>(Level(*params[0]));
    const float milliseconds = FadeTime(seconds * 1000.0f);
    m_handler->OnFadeSfx(command.show, command.id, DbToGain(level), milliseconds);
}

} // namespace tarv::osc
