#pragma once

#include "automation/resultnote.h"
#include "automation/tarv_automation_export.h"

#include <QList>
#include <QString>

namespace tarv::automation {

// What opening a cue file reports besides the document itself: the repairs
// that were made on the way, in the order they were made.
class TARV_AUTOMATION_EXPORT Result
{
public:
    Result();
    Result(const Result& other);
    Result(Result&& other) noexcept;
    Result& operator=(const Result& other);
    Result& operator=(Result&& other) noexcept;
    ~Result();

    QList<ResultNote>& Notes();
    const QList<ResultNote>& Notes() const;
    void AddNote(const ResultNote& note);

    // The first `max` messages, one per line, then "... and more." when
    // notes remain: short enough for a message box.
    QString String(int max) const;

private:
    QList<ResultNote> m_notes;
};

} // namespace tarv::automation
