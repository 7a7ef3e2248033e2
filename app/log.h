#pragma once
// The program's diagnostic log: one time-stamped line per call, written only
// while tracing is on. Every subsystem logs through Log().
#include <cstdarg>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>

class Logger {
public:
    // Where the log file lives; computed anew for each line, as the data
    // folder may appear or vanish during a run.
    using PathProvider = std::function<std::string()>;

    void SetTrace(bool on) { trace_ = on; }
    bool Trace() const { return trace_; }
    void SetPathProvider(PathProvider provider);
    // Starts a new run: the next line truncates the file again.
    void ResetCreated();

    void Write(std::string_view message);
    void VWrite(const char* format, va_list args);

    // True while this thread is inside the path computation of a Write; the
    // data-folder messages of that computation are dropped.
    static bool InPathComputation();

private:
    volatile bool trace_ = false;
    bool created_ = false;
    std::mutex lock_;
    PathProvider path_;
};

// The process-wide logger (held by the application object).
Logger& TheLogger();

// printf-style: one line "MM/DD/YY HH:MM:SS : message". Does nothing unless tracing is on.
void Log(const char* format, ...) __attribute__((format(printf, 1, 2)));
inline bool LogEnabled() { return TheLogger().Trace(); }

// Formats like printf into a std::string.
std::string StrFormat(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string VStrFormat(const char* format, va_list args);
