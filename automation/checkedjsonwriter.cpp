#include "automation/checkedjsonwriter.h"

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

bool IsValidUtf8(const std::string& text)
{
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

CheckedJsonWriter::CheckedJsonWriter()
    : m_writer(m_buffer)
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
    // QString's UTF-8 form is always valid: lone surrogates become U+FFFD.
    Member(key, value.toStdString());
}

void CheckedJsonWriter::Member(const char* key, const std::string& value)
{
    Key(key);
    if (value.size() > std::numeric_limits<rapidjson::SizeType>::max()) {
        throw std::runtime_error(std::string("Unable to write the cue file: the ") + key +
                                 " text is too long");
    }
    if (!IsValidUtf8(value) ||
        !m_writer.String(value.data(), static_cast<rapidjson::SizeType>(value.size()))) {
        throw std::runtime_error(std::string("Unable to write the cue file: the ") + key +
                                 " text is not valid UTF-8");
    }
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

void CheckedJsonWriter::MemberDouble(const char* key, double value, const std::string& what)
{
    // JSON has no NaN or infinity; refusing here keeps the old file intact.
    if (!std::isfinite(value)) {
        throw std::runtime_error("Unable to write the cue file: the " + std::string(key) + " of " +
                                 what + " is not a finite number");
    }
    Key(key);
    Check(m_writer.Double(value), "a number could not be written");
}

std::string_view CheckedJsonWriter::Text() const
{
    return {m_buffer.GetString(), m_buffer.GetSize()};
}

} // namespace tarv::automation
