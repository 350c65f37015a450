#pragma once

#include <string>
#include <vector>

namespace tarv::osc {

// The parts of a command address:
// "/tarv/" [show/<show>] [song/<song>] [event/<id>] [sfx/<id>] <command>
struct OscCommand
{
    std::string show;
    std::string song;
    std::string id;
    std::string command;
    bool isEvent = false;
    bool isSfx = false;
};

// Splits as repeated std::getline would: a leading delimiter gives an empty
// first part, a trailing one adds no empty last part.
std::vector<std::string> SplitString(const std::string& text, char delimiter);

// Throws std::runtime_error for an address outside the grammar above.
OscCommand ParseOscCommand(const std::string& address);

double DbToGain(int dB);

} // namespace tarv::osc
