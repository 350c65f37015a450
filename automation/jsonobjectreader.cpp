#include "automation/jsonobjectreader.h"

#include <cmath>
#include <limits>
#include <stdexcept>

namespace tarv::automation {

JsonObjectReader::JsonObjectReader(const rapidjson::Value& value, std::string what)
    : m_value(value)
    , m_what(std::move(what))
{
    if (!m_value.IsObject()) {
        throw std::runtime_error("Malformed " + m_what + ": it is not a JSON object");
    }
}

bool JsonObjectReader::Has(const char* key) const
{
    return m_value.FindMember(key) != m_value.MemberEnd();
}

void JsonObjectReader::Require(const char* key, const std::string& message) const
{
    if (!Has(key)) {
        throw std::runtime_error(message);
    }
}

const rapidjson::Value& JsonObjectReader::Member(const char* key) const
{
    const auto member = m_value.FindMember(key);
    if (member == m_value.MemberEnd()) {
        throw std::runtime_error("Malformed " + m_what + " missing " + key + " field");
    }
    return member->value;
}

void JsonObjectReader::WrongType(const char* key, const char* expected) const
{
    throw std::runtime_error("Malformed " + m_what + ": the " + key + " field must be " + expected);
}

std::string JsonObjectReader::Utf8(const char* key) const
{
    const rapidjson::Value& value = Member(key);
    if (!value.IsString()) {
        WrongType(key, "a string");
    }
    return {value.GetString(), value.GetStringLength()};
}

QString JsonObjectReader::Text(const char* key) const
{
    return QString::fromStdString(Utf8(key));
}

bool JsonObjectReader::Bool(const char* key) const
{
    const rapidjson::Value& value = Member(key);
    if (!value.IsBool()) {
        WrongType(key, "true or false");
    }
    return value.GetBool();
}

std::uint32_t JsonObjectReader::Uint32(const char* key) const
{
    const rapidjson::Value& value = Member(key);
    if (!value.IsUint()) {
        WrongType(key, "an integer from 0 to 4294967295");
    }
    return value.GetUint();
}

std::int32_t JsonObjectReader::Int32(const char* key) const
{
    const rapidjson::Value& value = Member(key);
    if (!value.IsInt()) {
        WrongType(key, "an integer from -2147483648 to 2147483647");
    }
    return value.GetInt();
}

std::uint16_t JsonObjectReader::Uint16(const char* key) const
{
    const rapidjson::Value& value = Member(key);
    if (!value.IsUint() || value.GetUint() > std::numeric_limits<std::uint16_t>::max()) {
        WrongType(key, "an integer from 0 to 65535");
    }
    return static_cast<std::uint16_t>(value.GetUint());
}

std::int64_t JsonObjectReader::AnyInteger(const char* key) const
{
    const rapidjson::Value& value = Member(key);
    if (value.IsInt64()) {
        return value.GetInt64();
    }
    if (value.IsUint64()) {
        // Beyond the int64 range: only the fact that it is some integer matters.
        return std::numeric_limits<std::int64_t>::max();
    }
    WrongType(key, "an integer");
}

double JsonObjectReader::Number(const char* key) const
{
    const rapidjson::Value& value = Member(key);
    if (!value.IsNumber()) {
        WrongType(key, "a number");
    }
    return value.GetDouble();
}

float JsonObjectReader::Float(const char* key) const
{
    const double number = Number(key);
    // Converting a double outside the float range is undefined behaviour.
    if (!(std::fabs(number) <= static_cast<double>(std::numeric_limits<float>::max()))) {
        WrongType(key, "a number within the single precision range");
    }
    return static_cast<float>(number);
}

const rapidjson::Value& JsonObjectReader::Array(const char* key) const
{
    const rapidjson::Value& value = Member(key);
    if (!value.IsArray()) {
        WrongType(key, "an array");
    }
    return value;
}

const rapidjson::Value& JsonObjectReader::Object(const char* key) const
{
    const rapidjson::Value& value = Member(key);
    if (!value.IsObject()) {
        WrongType(key, "an object");
    }
    return value;
}

} // namespace tarv::automation
