#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <QString>
#include <rapidjson/prettywriter.h>
#include <rapidjson/stringbuffer.h>
#include <string>

namespace tarv::automation {

// RapidJSON's pretty writer with two shortcuts for what a cue file holds
// thousands of times over: keys that need no escapes, and texts in a QString.
// Those are mostly ASCII, which is written straight into the buffer, escaped
// exactly as RapidJSON escapes it, without a UTF-8 copy first.
class QStringPrettyWriter : public rapidjson::PrettyWriter<rapidjson::StringBuffer>
{
public:
    using PrettyWriter::PrettyWriter;

    // `key` holds no character that JSON escapes.
    void PlainKey(const char* key, std::size_t size);
    // False when the text is too long for RapidJSON.
    bool Text(const QString& value);
};

// A pretty-printing JSON writer (four-space indent) into memory that turns
// every refused call into a std::runtime_error, so a document that cannot be
// written as valid JSON fails before any file is touched: texts must be valid
// UTF-8 and numbers finite.
class CheckedJsonWriter
{
public:
    // Room for `expectedSize` bytes is made on the first write; 0 starts small.
    explicit CheckedJsonWriter(std::size_t expectedSize = 0);

    void StartObject();
    void EndObject();
    void StartArray();
    void EndArray();

    void Member(const char* key, const QString& value);
    void Member(const char* key, const std::string& value);
    void Member(const char* key, bool value);
    void MemberInt(const char* key, std::int32_t value);
    void MemberInt64(const char* key, std::int64_t value);
    void MemberUint(const char* key, std::uint32_t value);
    // `what` names the value in the message when it is not finite; it is
    // only called then, so a save builds no message it does not need.
    void MemberDouble(const char* key, double value, const std::function<std::string()>& what);
    void Key(const char* key);

    // The finished document; valid once the outermost object is closed.
    std::string_view Text() const;

private:
    void Check(bool accepted, const char* what) const;
    // Writes a text known to be valid UTF-8.
    void WriteString(const char* key, const char* text, std::size_t size);
    void CheckSize(const char* key, std::size_t size) const;

    rapidjson::StringBuffer m_buffer;
    // RapidJSON 1.1's pretty writer does not pass write flags on to its base,
    // so texts are validated by hand before they are written.
    QStringPrettyWriter m_writer;
};

} // namespace tarv::automation
