#pragma once

#include <QDir>
#include <QFileInfo>
#include <QString>

// The sound tests' private PulseAudio server (pulse-start.sh), named by the
// PULSE_SERVER the tests are started with ("unix:<socket>").
namespace tarv::testing {

inline constexpr auto kNoPrivatePulseServer =
    "The private PulseAudio server is not running (see the pulse-start.sh output); "
    "skipping the sound test.";

inline QString PrivatePulseSocket()
{
    const QString server = qEnvironmentVariable("PULSE_SERVER");
    return server.mid(server.indexOf(':') + 1);
}

inline bool PrivatePulseServerRunning()
{
    return !qEnvironmentVariableIsEmpty("PULSE_SERVER") && QFileInfo::exists(PrivatePulseSocket());
}

} // namespace tarv::testing
