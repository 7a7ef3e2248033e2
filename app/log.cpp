#include "app/log.h"

#include <cstdio>
#include <ctime>
#include <vector>

namespace {
thread_local bool t_inPathComputation = false;

std::string TimeStamp()
{
    std::time_t now = std::time(nullptr);
    std::tm local{};
    if (now == static_cast<std::time_t>(-1) || !localtime_r(&now, &local))
        return {};
    // "%x %X" in the C locale: MM/DD/YY HH:MM:SS, whatever the user's locale.
    char buf[64];
    std::size_t n = std::strftime(buf, sizeof buf, "%m/%d/%y %H:%M:%S", &local);
    return std::string(buf, n);
}
} // namespace

std::string VStrFormat(const char* format, va_list args)
{
    va_list copy;
    va_copy(copy, args);
    char small[512];
    int n = std::vsnprintf(small, sizeof small, format, copy);
    va_end(copy);
    if (n < 0)
        return {};
    if (static_cast<std::size_t>(n) < sizeof small)
        return std::string(small, static_cast<std::size_t>(n));
    std::vector<char> big(static_cast<std::size_t>(n) + 1);
    std::vsnprintf(big.data(), big.size(), format, args);
    return std::string(big.data(), static_cast<std::size_t>(n));
}

std::string StrFormat(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    std::string s = VStrFormat(format, args);
    va_end(args);
    return s;
}

void Logger::SetPathProvider(PathProvider provider)
{
    std::lock_guard<std::mutex> guard(lock_);
    path_ = std::move(provider);
}

void Logger::ResetCreated()
{
    std::lock_guard<std::mutex> guard(lock_);
    created_ = false;
}

bool Logger::InPathComputation() { return t_inPathComputation; }

void Logger::VWrite(const char* format, va_list args)
{
    if (!trace_ || t_inPathComputation)
        return;
    Write(VStrFormat(format, args));
}

void Logger::Write(std::string_view message)
{
    if (!trace_ || t_inPathComputation)
        return;
    std::lock_guard<std::mutex> guard(lock_);
    if (!path_)
        return;
    // Only this thread's messages of the path computation are suppressed, so
    // lines of other threads are never lost meanwhile.
    t_inPathComputation = true;
    std::string path = path_();
    t_inPathComputation = false;

    std::FILE* f = std::fopen(path.c_str(), created_ ? "a" : "w");
    if (!f)
        return;
    created_ = true;
    std::string line = TimeStamp();
    line += " : ";
    line += message;
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), f);
    std::fclose(f);
}

Logger& TheLogger()
{
    static Logger logger;
    return logger;
}

void Log(const char* format, ...)
{
    Logger& logger = TheLogger();
    if (!logger.Trace())
        return;
    va_list args;
    va_start(args, format);
    logger.VWrite(format, args);
    va_end(args);
}
