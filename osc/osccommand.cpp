#include "osc/osccommand.h"

#include <cmath>
#include <stdexcept>

namespace tarv::osc {

std::vector<std::string> SplitString(const std::string& text, char delimiter)
{
    std::vector<std::string> parts;
    std::string::size_type start = 0;
    while (start < text.size()) {
        const std::string::size_type end = text.find(delimiter, start);
        if (end == std::string::npos) {
            parts.push_back(text.substr(start));
            break;
        }
        parts.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

OscCommand ParseOscCommand(const std::string& address)
{
    static const std::string prefix = "/tarv/";
    if (address.size() < prefix.size()) {
        throw std::runtime_error("OSC command is too short for processing.");
    }
    if (address.compare(0, prefix.size(), prefix) != 0) {
        throw std::runtime_error("OSC commands to TARV software must start with /tarv/");
    }

    OscCommand command;
    const std::vector<std::string> parts = SplitString(address, '/');
    const std::size_t last = parts.size() - 1;
    // parts[0] is empty and parts[1] is "tarv"; the last part is always the
    // command word, so a keyword never reads past the end.
    for (std::size_t i = 2; i < parts.size(); ++i) {
        const std::string& part = parts[i];
        if (i == last) {
            command.command = part;
        } else if (part == "show") {
            command.show = parts[++i];
        } else if (part == "song") {
            command.song = parts[++i];
        } else if (part == "event") {
            command.id = parts[++i];
            command.isEvent = true;
        } else if (part == "sfx") {
            command.id = parts[++i];
            command.isSfx = true;
        } else {
            throw std::runtime_error("Unknown OSC command part: " + part);
        }
    }
    return command;
}

double DbToGain(int dB)
{
    return std::pow(10.0, static_cast<double>(dB) / 20.0);
}

} // namespace tarv::osc
