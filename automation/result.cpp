#include "automation/result.h"

namespace tarv::automation {

Result::Result() = default;
Result::Result(const Result& other) = default;
Result::Result(Result&& other) noexcept = default;
Result& Result::operator=(const Result& other) = default;
Result& Result::operator=(Result&& other) noexcept = default;
Result::~Result() = default;

QList<ResultNote>& Result::Notes()
{
    return m_notes;
}

const QList<ResultNote>& Result::Notes() const
{
    return m_notes;
}

void Result::AddNote(const ResultNote& note)
{
    m_notes.append(note);
}

QString Result::String(int max) const
{
    QString text;
    int written = 0;
    for (const ResultNote& note : m_notes) {
        if (written >= max) {
            text += QStringLiteral("... and more.");
            break;
        }
        text += note.Message() + QLatin1Char('\n');
        ++written;
    }
    return text;
}

} // namespace tarv::automation
