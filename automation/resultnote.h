#pragma once

#include "automation/tarv_automation_export.h"

#include <cstdint>
#include <QString>

namespace tarv::automation {

// What kind of repair or remark a note stands for.
enum class NoteType : std::int32_t
{
    Unspecified = 0,
    DuplicateSfxEventId = 1,
};

// One remark made while opening a cue file, shown to the operator.
class TARV_AUTOMATION_EXPORT ResultNote
{
public:
    ResultNote();
    ResultNote(const QString& message, NoteType type);
    ResultNote(const ResultNote& other);
    ResultNote& operator=(const ResultNote& other);
    ~ResultNote();

    QString Message() const;
    NoteType Type() const;

private:
    QString m_message;
    NoteType m_type = NoteType::Unspecified;
};

} // namespace tarv::automation
