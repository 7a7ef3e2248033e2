#include "saver/host_command_line.h"

#include "app/log.h"

#include <charconv>
#include <vector>

std::optional<unsigned long> ParseWindowId(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\n'))
        text.remove_suffix(1);
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    if (text.empty())
        return std::nullopt;
    unsigned long value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    // X window ids are 29-bit; zero names no window.
    if (ec != std::errc() || end != text.data() + text.size() || value == 0 || value > 0x1FFFFFFFul)
        return std::nullopt;
    return value;
}

namespace {
std::string AsPreview(unsigned long id) { return "/p " + std::to_string(id); }
}

std::optional<std::string> HostCommandLine(std::span<const std::string_view> args, const char* envWindow,
                                           const std::function<unsigned long()>& rootWindow)
{
    bool root = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string_view a = args[i];
        // Hosts write both "-window-id" and "--window-id".
        if (a.starts_with("--"))
            a.remove_prefix(1);
        if (a == "-window-id") {
            if (i + 1 < args.size())
                if (auto id = ParseWindowId(args[i + 1]))
                    return AsPreview(*id);
            // A handle that names no window: the window creation fails and the
            // process ends, as for "/p" with a stale handle.
            Log("HostCommandLine: no window id after -window-id");
            return std::string("/p -1");
        }
        if (a == "-root")
            root = true;
    }
    // The host's window in the environment stands for the hack forms only: a
    // user who types "tessaview /c" or "/s" in a host's terminal means it.
    if (envWindow && *envWindow && (args.empty() || root)) {
        if (auto id = ParseWindowId(envWindow))
            return AsPreview(*id);
    }
    if (root) {
        unsigned long id = rootWindow ? rootWindow() : 0;
        if (id)
            return AsPreview(id);
    }
    return std::nullopt;
}
