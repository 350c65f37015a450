#pragma once

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tarv::osc {

// Text that came from a peer, made safe for a terminal: control characters
// (C0, DEL, C1), invisible direction and format marks, bytes that are not
// UTF-8, and the backslash itself are written as escapes ("\x1b", "\n",
// "\u{202e}", "\\"), so a datagram can neither drive the terminal nor forge a
// line of its own. Text longer than kMaxShownBytes is cut and marked with its
// full length.
inline constexpr std::size_t kMaxShownBytes = 512;
std::string EscapeForTerminal(std::string_view text);

// Decides which refusal reports reach the operator's terminal: a report after
// a quiet second at once, then at most one line per interval; what comes in
// between is held and told as one line with its count and the last report.
// A plain function of the reports and their times, so it needs no clock.
class RefusalThrottle
{
public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::milliseconds kInterval{1000};

    // The text to write now, if any. `report` is written as given, so it
    // carries its own line ending.
    std::optional<std::string> Refuse(std::string report, Clock::time_point now);
    // The held reports as one text once their interval is over.
    std::optional<std::string> Flush(Clock::time_point now);
    // When the held reports are due; nothing held, nothing due.
    std::optional<Clock::time_point> Due() const;

private:
    std::string Release(Clock::time_point now);

    std::optional<Clock::time_point> m_lastWritten;
    std::size_t m_held = 0;
    std::string m_lastHeld;
};

// Writes a refusal report to standard error through the program's one
// throttle, so refused datagrams and commands together give at most a line a
// second; held reports are written by a timer when an event loop runs. The
// caller escapes what came from the peer.
void ReportRefusal(std::string report);

} // namespace tarv::osc
