#include "osc/oscrefusals.h"

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <mutex>
#include <QCoreApplication>
#include <QThread>
#include <QTimer>

namespace tarv::osc {

namespace {

// Characters that a terminal acts on or that hide or reorder the text around
// them. The C0 controls and DEL are handled before decoding.
bool IsHidden(char32_t c)
{
    return c < 0xA0 || (c >= 0x200B && c <= 0x200F) || (c >= 0x2028 && c <= 0x202E) ||
           (c >= 0x2060 && c <= 0x206F) || c == 0xFEFF || (c >= 0xFFF9 && c <= 0xFFFB);
}

// The length of the well-formed UTF-8 sequence at text[i] and its code point
// in `c`; 0 when the bytes there are no such sequence.
std::size_t DecodeUtf8(std::string_view text, std::size_t i, char32_t& c)
{
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    std::size_t length = 0;
    char32_t minimum = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        minimum = 0x80;
        c = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        minimum = 0x800;
        c = lead & 0x0Fu;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        minimum = 0x10000;
        c = lead & 0x07u;
    } else {
        return 0;
    }
    if (length > text.size() - i) {
        return 0;
    }
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0u) != 0x80u) {
            return 0;
        }
        c = (c << 6) | (byte(i + k) & 0x3Fu);
    }
    const bool surrogate = c >= 0xD800 && c <= 0xDFFF;
    return c < minimum || c > 0x10FFFF || surrogate ? 0 : length;
}

const char* NamedEscape(unsigned char byte)
{
    switch (byte) {
    case '\\':
        return "\\\\";
    case '\n':
        return "\\n";
    case '\r':
        return "\\r";
    case '\t':
        return "\\t";
    default:
        return nullptr;
    }
}

void AppendHex(std::string& out, const char* format, unsigned value)
{
    char buffer[16];
    const int written = std::snprintf(buffer, sizeof buffer, format, value);
    out.append(buffer, static_cast<std::size_t>(std::max(written, 0)));
}

} // namespace

std::string EscapeForTerminal(std::string_view text)
{
    const std::string_view shown = text.substr(0, kMaxShownBytes);
    std::string out;
    out.reserve(shown.size() + 16);
    for (std::size_t i = 0; i < shown.size();) {
        const auto byte = static_cast<unsigned char>(shown[i]);
        if (const char* named = NamedEscape(byte)) {
            out += named;
            ++i;
            continue;
        }
        if (byte >= 0x20 && byte < 0x7F) {
            out += static_cast<char>(byte);
            ++i;
            continue;
        }
        char32_t c = 0;
        const std::size_t length = byte < 0x80 ? 0 : DecodeUtf8(shown, i, c);
        if (length == 0) {
            AppendHex(out, "\\x%02x", byte);
            ++i;
        } else if (IsHidden(c)) {
            AppendHex(out, "\\u{%04x}", static_cast<unsigned>(c));
            i += length;
        } else {
            out += shown.substr(i, length);
            i += length;
        }
    }
    if (shown.size() < text.size()) {
        out += "... (" + std::to_string(text.size()) + " bytes)";
    }
    return out;
}

std::optional<std::string> RefusalThrottle::Refuse(std::string report, Clock::time_point now)
{
    const bool quiet = !m_lastWritten || now - *m_lastWritten >= kInterval;
    ++m_held;
    m_lastHeld = std::move(report);
    if (!quiet) {
        return std::nullopt;
    }
    return Release(now);
}

std::optional<std::string> RefusalThrottle::Flush(Clock::time_point now)
{
    const auto due = Due();
    if (!due || now < *due) {
        return std::nullopt;
    }
    return Release(now);
}

std::optional<RefusalThrottle::Clock::time_point> RefusalThrottle::Due() const
{
    // Reports are held only after one was written.
    if (m_held == 0 || !m_lastWritten) {
        return std::nullopt;
    }
    return *m_lastWritten + kInterval;
}

std::string RefusalThrottle::Release(Clock::time_point now)
{
    std::string text = m_held == 1
                           ? std::move(m_lastHeld)
                           : std::to_string(m_held) + " more OSC refusals, the last: " + m_lastHeld;
    m_held = 0;
    m_lastHeld.clear();
    m_lastWritten = now;
    return text;
}

namespace {

struct RefusalChannel
{
    std::mutex mutex;
    RefusalThrottle throttle;
    bool flushPending = false;
};

RefusalChannel& Channel()
{
    static RefusalChannel channel;
    return channel;
}

void FlushHeld();

// With the channel locked. Only the application's thread runs an event loop
// for the timer; elsewhere held reports wait for the next report after the
// interval, which takes them along.
void ScheduleFlush(RefusalChannel& channel, RefusalThrottle::Clock::time_point now)
{
    const auto due = channel.throttle.Due();
    const QCoreApplication* application = QCoreApplication::instance();
    if (!due || channel.flushPending || application == nullptr ||
        QThread::currentThread() != application->thread()) {
        return;
    }
    channel.flushPending = true;
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(*due - now);
    QTimer::singleShot(std::max(wait, std::chrono::milliseconds(0)), Qt::PreciseTimer, FlushHeld);
}

void FlushHeld()
{
    RefusalChannel& channel = Channel();
    const std::lock_guard lock(channel.mutex);
    channel.flushPending = false;
    const auto now = RefusalThrottle::Clock::now();
    if (const auto text = channel.throttle.Flush(now)) {
        std::cerr << *text << std::flush;
    }
    ScheduleFlush(channel, now);
}

} // namespace

void ReportRefusal(std::string report)
{
    RefusalChannel& channel = Channel();
    const std::lock_guard lock(channel.mutex);
    const auto now = RefusalThrottle::Clock::now();
    if (const auto text = channel.throttle.Refuse(std::move(report), now)) {
        std::cerr << *text << std::flush;
    }
    ScheduleFlush(channel, now);
}

} // namespace tarv::osc
