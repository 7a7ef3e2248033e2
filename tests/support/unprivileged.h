#pragma once
// Permissions bind ordinary users only: root reads and writes every file, so
// checks of refused access run as nobody.
#include <functional>
#include <optional>
#include <string>

#include <sys/types.h>

namespace support {

constexpr uid_t kNobody = 65534;
constexpr gid_t kNogroup = 65534;

// Runs `work` as an ordinary user: here when this process is not root, else in
// a forked child that becomes nobody. The text `work` returns, or nothing when
// the child could not become nobody or died. `work` reports through its text
// only: checks made in a child do not reach the test.
std::optional<std::string> AsUnprivileged(const std::function<std::string()>& work);

} // namespace support
