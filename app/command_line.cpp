#include "app/command_line.h"

#include <cctype>

CommandLine ParseCommandLine(std::string_view text)
{
    CommandLine cl;
    if (text.empty())
        return cl;
    if (text.front() == '/' || text.front() == '-')
        text.remove_prefix(1);
    if (text.empty())
        return cl;
    switch (std::toupper(static_cast<unsigned char>(text.front()))) {
    case 'A': cl.startType = ChangePassword; break;
    case 'C': cl.startType = Configure; break;
    case 'S': cl.startType = Saver; break;
    case 'P': {
        cl.startType = Preview;
        std::string_view rest = text.substr(1);
        while (!rest.empty() && std::isspace(static_cast<unsigned char>(rest.front())))
            rest.remove_prefix(1);
        // Read like atol: optional sign, leading digits only; no digits gives 0.
        bool negative = false;
        if (!rest.empty() && (rest.front() == '+' || rest.front() == '-')) {
            negative = rest.front() == '-';
            rest.remove_prefix(1);
        }
        unsigned long long value = 0;
        while (!rest.empty() && std::isdigit(static_cast<unsigned char>(rest.front()))) {
            if (value < (1ull << 62))
                value = value * 10 + static_cast<unsigned>(rest.front() - '0');
            rest.remove_prefix(1);
        }
        cl.parentHandle = negative ? -static_cast<long>(value) : static_cast<long>(value);
        // A handle of 0 names no window: /p alone runs full screen.
        cl.hasParent = cl.parentHandle != 0;
        break;
    }
    default: cl.startType = Configure; break;
    }
    return cl;
}
