#include "automation/checkedjsonwriter.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <rapidjson/memorystream.h>
#include <stdexcept>

namespace tarv::automation {

namespace {

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
    Check(m_writer.Key(key), "a key could not be written");
}

void CheckedJsonWriter::Member(const char* key, const QString& value)
{
    // Most texts of a show are ASCII: narrowed into a reused buffer they cost
    // no allocation. Anything else takes Qt's conversion, whose output is
    // always valid UTF-8 (a lone surrogate becomes '?').
    const auto size = static_cast<std::size_t>(value.size());
    if (m_ascii.size() < size) {
        m_ascii.resize(std::max(size, 2 * m_ascii.size()));
    }
    const QChar* text = value.constData();
    char16_t seen = 0;
    for (std::size_t i = 0; i < size; ++i) {
        seen |= text[i].unicode();
        m_ascii[i] = static_cast<char>(text[i].unicode());
    }
    if (seen < 0x80) {
        WriteString(key, m_ascii.data(), size);
    } else {
        const QByteArray utf8 = value.toUtf8();
        WriteString(key, utf8.constData(), static_cast<std::size_t>(utf8.size()));
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

void CheckedJsonWriter::WriteString(const char* key, const char* text, std::size_t size)
{
    Key(key);
    if (size > std::numeric_limits<rapidjson::SizeType>::max()) {
        throw std::runtime_error(std::string("Unable to write the cue file: the ") + key +
                                 " text is too long");
    }
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
