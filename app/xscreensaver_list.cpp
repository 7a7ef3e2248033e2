#include "app/xscreensaver_list.h"

#include "app/atomic_file.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <optional>
#include <pwd.h>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {
// One line of the file: [begin, contentEnd) is its text, [contentEnd, end) its
// line ending ("\n", "\r\n", or nothing on an unterminated last line).
struct PhysicalLine {
    std::size_t begin = 0, contentEnd = 0, end = 0;
};

std::vector<PhysicalLine> SplitLines(std::string_view text)
{
    std::vector<PhysicalLine> lines;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t nl = text.find('\n', at);
        PhysicalLine l;
        l.begin = at;
        l.end = nl == std::string_view::npos ? text.size() : nl + 1;
        l.contentEnd = nl == std::string_view::npos ? text.size() : nl;
        if (l.contentEnd > l.begin && text[l.contentEnd - 1] == '\r')
            --l.contentEnd;
        lines.push_back(l);
        at = l.end;
    }
    return lines;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimBlanks(std::string_view s)
{
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

// An odd run of backslashes at the end: the last one escapes the line's end.
bool EndsWithOddBackslashes(std::string_view s)
{
    std::size_t n = 0;
    while (n < s.size() && s[s.size() - 1 - n] == '\\')
        ++n;
    return n % 2 == 1;
}

bool ContinuesOnNextLine(std::string_view content) { return EndsWithOddBackslashes(content); }

// The resource text ends with an escaped newline ("\n" written as two characters).
bool EndsWithEscapedNewline(std::string_view raw)
{
    raw = TrimBlanks(raw);
    return raw.size() >= 2 && raw.back() == 'n' && EndsWithOddBackslashes(raw.substr(0, raw.size() - 1));
}

// A resource and its continuation lines.
struct Resource {
    std::size_t firstLine = 0, lastLine = 0;
    std::string raw;   // the value as written, continuations joined
};

bool IsProgramsName(std::string_view name)
{
    name = TrimBlanks(name);
    constexpr std::string_view kName = "programs";
    if (!name.ends_with(kName))
        return false;
    if (name.size() == kName.size())
        return true;
    const char before = name[name.size() - kName.size() - 1];
    return before == '.' || before == '*';
}

// The last programs resource of the file; Xrm takes the last of several.
std::optional<Resource> FindPrograms(std::string_view text, const std::vector<PhysicalLine>& lines)
{
    std::optional<Resource> found;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::string_view content = text.substr(lines[i].begin, lines[i].contentEnd - lines[i].begin);
        std::string_view head = TrimBlanks(content);
        if (head.empty() || head.front() == '!' || head.front() == '#')
            continue;
        Resource r;
        r.firstLine = i;
        std::string joined;
        for (;;) {
            std::string_view c = text.substr(lines[i].begin, lines[i].contentEnd - lines[i].begin);
            if (!ContinuesOnNextLine(c) || i + 1 == lines.size()) {
                joined += ContinuesOnNextLine(c) ? c.substr(0, c.size() - 1) : c;
                break;
            }
            joined += c.substr(0, c.size() - 1);
            ++i;
        }
        r.lastLine = i;
        const std::size_t colon = joined.find(':');
        if (colon == std::string::npos || !IsProgramsName(std::string_view(joined).substr(0, colon)))
            continue;
        r.raw = joined.substr(colon + 1);
        found = std::move(r);
    }
    return found;
}

// Xrm's escapes: \n a newline, \\ a backslash, \ooo an octal byte, \x the x.
std::string Unescape(std::string_view raw)
{
    std::string out;
    for (std::size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] != '\\' || i + 1 == raw.size()) {
            out += raw[i];
            continue;
        }
        const char next = raw[++i];
        if (next == 'n') {
            out += '\n';
        } else if (next >= '0' && next <= '7' && i + 2 < raw.size() && raw[i + 1] >= '0' && raw[i + 1] <= '7' &&
                   raw[i + 2] >= '0' && raw[i + 2] <= '7') {
            out += char((next - '0') * 64 + (raw[i + 1] - '0') * 8 + (raw[i + 2] - '0'));
            i += 2;
        } else {
            out += next;
        }
    }
    return out;
}

// One entry: [-] [visual:] ["description"] command, as xscreensaver reads it.
std::optional<XScreenSaverProgram> ParseEntry(std::string_view line)
{
    XScreenSaverProgram p;
    line = TrimBlanks(line);
    if (!line.empty() && line.front() == '-') {
        p.enabled = false;
        line = TrimBlanks(line.substr(1));
    }
    const std::size_t wordEnd = line.find_first_of(" \t\"");
    const std::string_view word = line.substr(0, wordEnd);
    if (word.find(':') != std::string_view::npos)
        line = TrimBlanks(line.substr(line.find(':') + 1));
    if (!line.empty() && line.front() == '"') {
        const std::size_t close = line.find('"', 1);
        line = close == std::string_view::npos ? std::string_view() : TrimBlanks(line.substr(close + 1));
    }
    if (line.empty())
        return std::nullopt;
    p.command = std::string(line);
    return p;
}

std::vector<XScreenSaverProgram> ParsePrograms(std::string_view raw)
{
    std::vector<XScreenSaverProgram> programs;
    std::istringstream in(Unescape(raw));
    for (std::string line; std::getline(in, line);)
        if (auto p = ParseEntry(line))
            programs.push_back(std::move(*p));
    return programs;
}

// The program a command runs, without its folder: "tessaview" for "/usr/bin/tessaview -root".
std::string_view ProgramOf(std::string_view command)
{
    command = TrimBlanks(command);
    command = command.substr(0, command.find_first_of(" \t"));
    const std::size_t slash = command.rfind('/');
    return slash == std::string_view::npos ? command : command.substr(slash + 1);
}

// An entry line in the columns xscreensaver writes its own list in.
std::string EntryLine(std::string_view entry) { return "\t\t\t\t" + std::string(entry) + "\t\t\t    \\n"; }
} // namespace

std::vector<XScreenSaverProgram> XScreenSaverPrograms(std::string_view fileText)
{
    const auto lines = SplitLines(fileText);
    const auto programs = FindPrograms(fileText, lines);
    return programs ? ParsePrograms(programs->raw) : std::vector<XScreenSaverProgram>{};
}

ProgramsEdit AddToPrograms(std::string_view fileText, std::string_view entry)
{
    ProgramsEdit edit;
    const auto lines = SplitLines(fileText);
    const auto programs = FindPrograms(fileText, lines);
    if (programs) {
        const std::string_view wanted = ProgramOf(entry);
        for (const XScreenSaverProgram& p : ParsePrograms(programs->raw)) {
            if (ProgramOf(p.command) != wanted)
                continue;
            // An enabled entry is the better answer when both exist.
            if (edit.outcome != ProgramsEdit::Outcome::AlreadyListed || (p.enabled && !edit.listed.enabled))
                edit.listed = p;
            edit.outcome = ProgramsEdit::Outcome::AlreadyListed;
        }
        if (edit.outcome == ProgramsEdit::Outcome::AlreadyListed) {
            edit.text = std::string(fileText);
            return edit;
        }
    }
    edit.outcome = ProgramsEdit::Outcome::Added;

    if (!programs) {
        // A list of its own at the end of the file.
        std::string text(fileText);
        if (!lines.empty()) {
            const PhysicalLine& last = lines.back();
            if (last.end == last.contentEnd)
                text += '\n';
            // A dangling continuation would swallow the new resource.
            if (ContinuesOnNextLine(fileText.substr(last.begin, last.contentEnd - last.begin)))
                text += '\n';
        }
        text += "programs:\t\t\t\t\t\t\t\t      \\\n" + EntryLine(entry) + "\n";
        edit.text = std::move(text);
        return edit;
    }

    const PhysicalLine& last = lines[programs->lastLine];
    const std::string_view content = fileText.substr(last.begin, last.contentEnd - last.begin);
    std::string ending(fileText.substr(last.contentEnd, last.end - last.contentEnd));
    if (ending.empty())
        ending = "\n";
    const std::string_view value = TrimBlanks(programs->raw);
    const bool needsSeparator = !value.empty() && !EndsWithEscapedNewline(value);

    std::string added;
    if (ContinuesOnNextLine(content)) {
        // The list's last line already continues (it ends the file): the entry follows it.
        if (last.end == last.contentEnd)
            added += ending;
        if (needsSeparator)
            added += "\\n\\" + ending;
        added += EntryLine(entry) + ending;
        edit.text = std::string(fileText.substr(0, last.end)) + added + std::string(fileText.substr(last.end));
        return edit;
    }
    added = needsSeparator ? "\\n\\" : "\\";
    added += ending + EntryLine(entry);
    // The new entry takes over the old last line's ending; the old line gets one like it.
    edit.text = std::string(fileText.substr(0, last.contentEnd)) + added +
                std::string(last.end == last.contentEnd ? std::string_view(ending) : std::string_view()) +
                std::string(fileText.substr(last.contentEnd));
    return edit;
}

fs::path UserXScreenSaverFile()
{
    if (const char* home = std::getenv("HOME"); home && *home)
        return fs::path(home) / ".xscreensaver";
    if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir)
        return fs::path(pw->pw_dir) / ".xscreensaver";
    return ".xscreensaver";
}

ListUpdate AddToXScreenSaverFile(const fs::path& file, std::string_view entry)
{
    const std::string shown = file.string();
    auto failure = [&](const std::string& what, int error) {
        return ListUpdate{false, "tessaview: cannot " + what + " " + shown + ": " + std::strerror(error) +
                                     "; nothing changed"};
    };
    // Dotfile managers keep the file elsewhere behind a link; the link stays.
    std::error_code ec;
    const bool link = fs::is_symlink(fs::symlink_status(file, ec));
    ec.clear();   // a missing file is no error here: it is made
    const fs::path target = link ? fs::weakly_canonical(file, ec) : file;
    if (ec)
        return failure("follow", ec.value());

    struct stat st {};
    const bool exists = stat(target.c_str(), &st) == 0;
    if (!exists && errno != ENOENT)
        return failure("read", errno);
    if (exists && !S_ISREG(st.st_mode))
        return failure("edit", EISDIR);
    std::string text;
    if (exists) {
        std::ifstream in(target, std::ios::binary);
        std::ostringstream s;
        if (!in || !(s << in.rdbuf()) || in.bad())
            return failure("read", errno ? errno : EIO);
        text = s.str();
    }

    const ProgramsEdit edit = AddToPrograms(text, entry);
    if (edit.outcome == ProgramsEdit::Outcome::AlreadyListed) {
        std::string message = "tessaview: " + shown + " already lists \"" + edit.listed.command + "\"";
        if (!edit.listed.enabled)
            message += ", disabled (enable it in xscreensaver-settings)";
        return {true, message + "; nothing changed"};
    }

    FileOwnership keep;
    if (exists)
        keep = {st.st_mode & 07777, st.st_uid, st.st_gid};
    if (int error = ReplaceFileAtomically(target, edit.text, exists ? &keep : nullptr))
        return failure("write", error);
    if (!exists)
        return {true, "tessaview: created " + shown + " with \"" + std::string(entry) +
                          "\" in its programs list; xscreensaver lists its own hacks after it"};
    return {true, "tessaview: added \"" + std::string(entry) + "\" to the programs list of " + shown +
                      "; choose Tessaview in xscreensaver-settings"};
}
