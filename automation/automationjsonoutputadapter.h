#pragma once

#include "automation/automationoutputadapter.h"
#include "automation/tarv_automation_export.h"

#include <cstddef>
#include <memory>
#include <QDir>
#include <string_view>

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
    // The whole file as Write produces it, without copying it into a stream;
    // valid until the adapter is destroyed or writes again. Room for
    // `expectedSize` bytes is made at once, which spares growing the text
    // step by step.
    std::string_view Text(CueFileVersion version, std::size_t expectedSize = 0);

private:
    void WriteEvent(CheckedJsonWriter& writer, const Event& event, int depth) const;
    void WriteTypeFields(CheckedJsonWriter& writer, const Event& event, const QString& name,
                         int depth) const;
    void WriteSoundEffects(CheckedJsonWriter& writer) const;
    void WriteNetworkPaths(CheckedJsonWriter& writer) const;
    QString RelativeAudioPath(const QString& file) const;

    Automation* m_document;
    // The folder of the document's path, where audio paths are relative to.
    QDir m_folder;
    // The folder's clean absolute path, ending in '/'.
    QString m_folderPrefix;
    std::unique_ptr<CheckedJsonWriter> m_writer;
};

} // namespace tarv::automation
