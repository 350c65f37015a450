#pragma once

#include <cstdint>
#include <QString>
#include <rapidjson/document.h>
#include <string>

namespace tarv::automation {

// Checked access to one object of an untrusted cue file. Every getter first
// checks that the member exists and holds the expected JSON type and range, so
// a malformed file fails with a readable std::runtime_error instead of
// reaching RapidJSON's unchecked accessors.
class JsonObjectReader
{
public:
    // `what` names the object in messages, e.g. "WAIT event" or "sound effect".
    JsonObjectReader(const rapidjson::Value& value, std::string what);

    bool Has(const char* key) const;
    // Fails with `message` when the member is absent.
    void Require(const char* key, const std::string& message) const;

    std::string Utf8(const char* key) const;
    QString Text(const char* key) const;
    bool Bool(const char* key) const;
    std::uint32_t Uint32(const char* key) const;
    std::int32_t Int32(const char* key) const;
    std::uint16_t Uint16(const char* key) const;
    std::int64_t AnyInteger(const char* key) const;
    double Number(const char* key) const;
    float Float(const char* key) const;
    const rapidjson::Value& Array(const char* key) const;
    const rapidjson::Value& Object(const char* key) const;

private:
    const rapidjson::Value& Member(const char* key) const;
    [[noreturn]] void WrongType(const char* key, const char* expected) const;

    const rapidjson::Value& m_value;
    std::string m_what;
};

} // namespace tarv::automation
