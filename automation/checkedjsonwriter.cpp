#include "automation/checkedjsonwriter.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <rapidjson/memorystream.h>
#include <stdexcept>

namespace tarv::automation {

namespace {

// What follows the backslash for each ASCII character RapidJSON escapes: a
// letter of its own for a few control characters, 'u' (and four hex digits)
// for the others, the character itself for the quote and the backslash.
constexpr std::array<char, 0x80> kEscapes = [] {
    std::array<char, 0x80> escapes{};
    for (std::size_t c = 0; c < 0x20; ++c) {
        escapes[c] = 'u';
    }
    escapes['\b'] = 'b';
    escapes['\t'] = 't';
    escapes['\n'] = 'n';
    escapes['\f'] = 'f';
    escapes['\r'] = 'r';
    escapes['"'] = '"';
    escapes['\\'] = '\\';
    return escapes;
}();

// Output side of RapidJSON's validation: the bytes are only checked.
struct DiscardStream
{
    using Ch = char;
    void Put(char) {}
};

bool IsAscii(const char* text, std::size_t size)
{
    return std::all_of(text, text + size,
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

bool IsValidUtf8(const std::string& text)
{
    // Plain ASCII, the common case, needs no decoding.
    if (IsAscii(text.data(), text.size())) {
        return true;
    }
    rapidjson::MemoryStream in(text.data(), text.size());
    DiscardStream out;
    while (in.Tell() < text.size()) {
        if (!rapidjson::UTF8<>::Validate(in, out)) {
            return false;
        }
    }
    return true;
}

} // namespace

void QStringPrettyWriter::PlainKey(const char* key, std::size_t size)
{
    PrettyPrefix(rapidjson::kStringType);
    char* out = os_->Push(size + 2);
    *out++ = '"';
    std::memcpy(out, key, size);
    out[size] = '"';
}

bool QStringPrettyWriter::Text(const QString& value)
{
    static constexpr char kHexDigits[] = "0123456789ABCDEF";
    PrettyPrefix(rapidjson::kStringType);
    // Room for the worst case, each character escaped as "\u00XX"; what is
    // not used is given back at the end. Written through a local pointer:
    // RapidJSON's character-by-character put stores its own position for
    // every byte.
    const auto size = static_cast<std::size_t>(value.size());
    const std::size_t room = 2 + 6 * size;
    char* const start = os_->Push(room);
    char* out = start;
    *out++ = '"';
    const QChar* text = value.constData();
    for (std::size_t i = 0; i < size; ++i) {
        const char16_t c = text[i].unicode();
        if (c >= 0x80) {
            os_->Pop(room);
            // Qt's UTF-8 is always valid: a lone surrogate becomes '?'.
            const QByteArray utf8 = value.toUtf8();
            return static_cast<std::size_t>(utf8.size()) <=
                       std::numeric_limits<rapidjson::SizeType>::max() &&
                   WriteString(utf8.constData(), static_cast<rapidjson::SizeType>(utf8.size()));
        }
        const char escape = kEscapes[c];
        if (escape == 0) {
            *out++ = static_cast<char>(c);
        } else if (escape != 'u') {
            *out++ = '\\';
            *out++ = escape;
        } else {
            *out++ = '\\';
            *out++ = 'u';
            *out++ = '0';
            *out++ = '0';
            *out++ = kHexDigits[c >> 4];
            *out++ = kHexDigits[c & 0xF];
        }
    }
    *out++ = '"';
    os_->Pop(room - static_cast<std::size_t>(out - start));
    return true;
}

CheckedJsonWriter::CheckedJsonWriter(std::size_t expectedSize)
    : m_buffer(nullptr, expectedSize > 0 ? expectedSize : rapidjson::StringBuffer::kDefaultCapacity)
    , m_writer(m_buffer)
{
    m_writer.SetIndent(' ', 4);
}

void CheckedJsonWriter::Check(bool accepted, const char* what) const
{
    if (!accepted) {
        throw std::runtime_error(std::string("Unable to write the cue file: ") + what);
    }
}

void CheckedJsonWriter::StartObject()
{
    Check(m_writer.StartObject(), "an object could not be started");
}

void CheckedJsonWriter::EndObject()
{
    Check(m_writer.EndObject(), "an object could not be closed");
}

void CheckedJsonWriter::StartArray()
{
    Check(m_writer.StartArray(), "an array could not be started");
}

void CheckedJsonWriter::EndArray()
{
    Check(m_writer.EndArray(), "an array could not be closed");
}

void CheckedJsonWriter::Key(const char* key)
{
    // Keys are this writer's own names, none of which needs an escape.
    m_writer.PlainKey(key, std::strlen(key));
}

void CheckedJsonWriter::Member(const char* key, const QString& value)
{
    Key(key);
    CheckSize(key, static_cast<std::size_t>(value.size()));
    if (!m_writer.Text(value)) {
        throw std::runtime_error(std::string("Unable to write the cue file: the ") + key +
                                 " text is too long");
    }
}

void CheckedJsonWriter::Member(const char* key, const std::string& value)
{
    if (!IsValidUtf8(value)) {
        throw std::runtime_error(std::string("Unable to write the cue file: the ") + key +
                                 " text is not valid UTF-8");
    }
    WriteString(key, value.data(), value.size());
}

void CheckedJsonWriter::CheckSize(const char* key, std::size_t size) const
{
    if (size > std::numeric_limits<rapidjson::SizeType>::max()) {
        throw std::runtime_error(std::string("Unable to write the cue file: the ") + key +
                                 " text is too long");
    }
}

void CheckedJsonWriter::WriteString(const char* key, const char* text, std::size_t size)
{
    Key(key);
    CheckSize(key, size);
    Check(m_writer.String(text, static_cast<rapidjson::SizeType>(size)),
          "a text could not be written");
}

void CheckedJsonWriter::Member(const char* key, bool value)
{
    Key(key);
    Check(m_writer.Bool(value), "a boolean could not be written");
}

void CheckedJsonWriter::MemberInt(const char* key, std::int32_t value)
{
    Key(key);
    Check(m_writer.Int(value), "an integer could not be written");
}

void CheckedJsonWriter::MemberInt64(const char* key, std::int64_t value)
{
    Key(key);
    Check(m_writer.Int64(value), "an integer could not be written");
}

void CheckedJsonWriter::MemberUint(const char* key, std::uint32_t value)
{
    Key(key);
    Check(m_writer.Uint(value), "an integer could not be written");
}

void CheckedJsonWriter::MemberDouble(const char* key, double value,
                                     const std::function<std::string()>& what)
{
    // JSON has no NaN or infinity; refusing here keeps the old file intact.
    if (!std::isfinite(value)) {
        throw std::runtime_error("Unable to write the cue file: the " + std::string(key) + " of " +
                                 what() + " is not a finite number");
    }
    Key(key);
    Check(m_writer.Double(value), "a number could not be written");
}

std::string_view CheckedJsonWriter::Text() const
{
    return {m_buffer.GetString(), m_buffer.GetSize()};
}

} // namespace tarv::automation
