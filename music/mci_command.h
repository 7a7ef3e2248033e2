#pragma once
// Parsing of command strings: "verb device [keyword [value]]...", where a
// device name or file path holding blanks is put in double quotes (a double
// quote inside such a name is written twice).
#include "music/audio_errors.h"

#include <string>
#include <string_view>

enum class MciVerb { Open, Play, Stop, Close, Status };

struct MciCommand {
    MciVerb verb = MciVerb::Open;
    std::string device;  // file path for open, else the device's alias
    std::string alias;   // open only; empty when none is given
    std::string item;    // status only: what is asked, in lower case
    bool notify = false; // post a completion notification to the caller
};

// Parses one command; on an error, out is unspecified.
MciError ParseMciCommand(std::string_view text, MciCommand& out);
