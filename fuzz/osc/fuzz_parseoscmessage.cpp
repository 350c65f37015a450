#include "osc/oscmessage.h"

#include <cstddef>
#include <cstdint>
#include <stdexcept>

// Any byte string must either parse within its bounds or be refused with
// std::runtime_error; anything else is a finding.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    try {
        std::size_t consumed = 0;
        const tarv::osc::OscMessage message = tarv::osc::ParseOscMessage(data, size, consumed);
        if (consumed > size || consumed % 4 != 0) {
            __builtin_trap();
        }
        for (const auto& param : message.params) {
            try {
                (void)param->ToString();
            } catch (const std::runtime_error&) {
            }
        }
    } catch (const std::runtime_error&) {
    }
    return 0;
}
