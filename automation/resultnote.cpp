#include "automation/resultnote.h"

namespace tarv::automation {

ResultNote::ResultNote() = default;

ResultNote::ResultNote(const QString& message, NoteType type)
    : m_message(message)
    , m_type(type)
{}

ResultNote::ResultNote(const ResultNote& other) = default;
ResultNote& ResultNote::operator=(const ResultNote& other) = default;
ResultNote::~ResultNote() = default;

QString ResultNote::Message() const
{
    return m_message;
}

NoteType ResultNote::Type() const
{
    return m_type;
}

} // namespace tarv::automation
