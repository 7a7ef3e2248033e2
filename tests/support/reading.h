#pragma once
// Reading what a program under test wrote: whole files, and the log, whose
// lines are "<time stamp> : <message>".
#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

namespace support {

// The file's bytes; empty when it cannot be read.
std::string ReadAll(const std::filesystem::path& file);

// The log's messages without their time stamps.
std::vector<std::string> LogMessages(const std::filesystem::path& log);
// How many messages hold `fragment`.
int CountLog(const std::filesystem::path& log, const std::string& fragment);
// Waits until a message holds `fragment`; false when none does within `timeout`.
bool WaitForLog(const std::filesystem::path& log, const std::string& fragment, std::chrono::milliseconds timeout);

} // namespace support
