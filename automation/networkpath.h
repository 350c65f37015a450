#pragma once

#include <cstdint>
#include <string>

namespace tarv::networking {

// One destination that OSC events send to. OSC events refer to it by its
// network id, so the id, not the display name, is what must stay stable.
struct NetworkPath
{
    std::string name = "This Device";
    std::string network_id = "NETWORK1";
    std::string ip_address = "127.0.0.1";
    std::int32_t mode = 0; // 0 = udp, anything else = tcp
    std::int32_t port = 8000;

    bool operator==(const NetworkPath&) const = default;
};

} // namespace tarv::networking
