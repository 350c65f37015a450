#pragma once

#include "automation/automationoutputadapter.h"
#include "automation/tarv_automation_export.h"

namespace tarv::automation {

class Automation;
class CheckedJsonWriter;
class Event;

// Writes the document as a pretty-printed JSON cue file. The whole file is
// built in memory first: a document that cannot be written as valid JSON (a
// number that is not finite, a text that is not UTF-8, groups nested too deep)
// throws std::runtime_error before anything reaches the stream, and a stream
// that refuses the text throws too.
class TARV_AUTOMATION_EXPORT AutomationJsonOutputAdapter : public AutomationOutputAdapter
{
public:
    explicit AutomationJsonOutputAdapter(Automation* document);
    ~AutomationJsonOutputAdapter() override;

    void Write(std::ostream& out, CueFileVersion version) override;

private:
    void WriteEvent(CheckedJsonWriter& writer, Event& event, int depth) const;
    void WriteTypeFields(CheckedJsonWriter& writer, Event& event, int depth) const;
    void WriteSoundEffects(CheckedJsonWriter& writer) const;
    void WriteNetworkPaths(CheckedJsonWriter& writer) const;
    QString RelativeAudioPath(const QString& file) const;

    Automation* m_document;
};

} // namespace tarv::automation
