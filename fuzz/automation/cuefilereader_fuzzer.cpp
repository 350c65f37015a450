// Feeds arbitrary bytes to the cue file reader. Whatever the reader accepts
// must also be written and read back the same way, so the fuzzer checks that
// invariant as well as the absence of crashes and undefined behaviour.
#include "automation/automation.h"
#include "automation/automationjsonoutputadapter.h"
#include "automation/cuefileversion.h"

#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <stdexcept>
#include <string>

using tarv::automation::Automation;
using tarv::automation::AutomationJsonOutputAdapter;
using tarv::automation::CueFileVersion;

namespace {

std::string Write(Automation& show)
{
    std::ostringstream out;
    AutomationJsonOutputAdapter(&show).Write(out, CueFileVersion::Current());
    return out.str();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    Automation show;
    try {
        show.Open(in);
    } catch (const std::runtime_error&) {
        return 0;
    }

    const std::string first = Write(show);
    std::istringstream again(first);
    Automation reread;
    reread.Open(again);
    if (Write(reread) != first) {
        std::abort();
    }
    return 0;
}
