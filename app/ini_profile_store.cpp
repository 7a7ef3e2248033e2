#include "app/ini_profile_store.h"

#include "app/ini_value_text.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <strings.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
std::string_view Trim(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

bool SameName(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && strncasecmp(a.data(), b.data(), a.size()) == 0;
}

std::string_view TrimFront(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    return s;
}

bool MakeParentDirs(const std::string& path)
{
    for (std::size_t pos = 1; (pos = path.find('/', pos)) != std::string::npos; ++pos) {
        std::string dir = path.substr(0, pos);
        if (mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST)
            return false;
    }
    return true;
}

// Holds an advisory lock on a companion file for one read-modify-write.
class FileLock {
public:
    explicit FileLock(const std::string& path) : fd_(open((path + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600))
    {
        if (fd_ >= 0)
            flock(fd_, LOCK_EX);
    }
    ~FileLock()
    {
        if (fd_ >= 0)
            close(fd_);
    }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

private:
    int fd_;
};
} // namespace

IniProfileStore::IniProfileStore(std::string path) : path_(std::move(path)) {}

std::string IniProfileStore::UserStorePath()
{
    std::string base;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg == '/')
        base = xdg;
    else if (const char* home = std::getenv("HOME"); home && *home)
        base = std::string(home) + "/.config";
    else
        base = ".";
    return base + "/Kelvarin/Tessaview.ini";
}

IniProfileStore::ReadResult IniProfileStore::Read(std::vector<Line>& lines) const
{
    lines.clear();
    std::ifstream in(path_, std::ios::binary);
    if (!in) {
        struct stat st {};
        return stat(path_.c_str(), &st) == 0 ? ReadResult::Unreadable : ReadResult::Missing;
    }
    std::string section;
    std::string text;
    while (std::getline(in, text)) {
        Line line;
        line.text = text;
        std::string_view t = Trim(text);
        if (!t.empty() && t.front() == '[' && t.back() == ']') {
            section = std::string(Trim(t.substr(1, t.size() - 2)));
        } else if (!t.empty() && t.front() != ';' && t.front() != '#') {
            // The value runs from '=' to the end of the line, blanks and all:
            // only the line end (a CR of a file saved on another system) goes.
            std::string_view whole = TrimFront(text);
            if (!whole.empty() && whole.back() == '\r')
                whole.remove_suffix(1);
            auto eq = whole.find('=');
            if (eq != std::string_view::npos && eq > 0) {
                line.key = std::string(Trim(whole.substr(0, eq)));
                line.value = DecodeIniValue(whole.substr(eq + 1));
            }
        }
        line.section = section;
        lines.push_back(std::move(line));
    }
    if (in.bad())
        return ReadResult::Unreadable;
    return ReadResult::Ok;
}

const IniProfileStore::Line* IniProfileStore::Find(const std::vector<Line>& lines, std::string_view section,
                                                   std::string_view key) const
{
    // The last occurrence wins, as a later line overrides an earlier one.
    const Line* found = nullptr;
    for (const Line& l : lines)
        if (!l.key.empty() && SameName(l.section, section) && SameName(l.key, key))
            found = &l;
    return found;
}

const std::vector<IniProfileStore::Line>* IniProfileStore::CachedLines()
{
    // Handed out by reference: a record of a thousand folders reads a
    // thousand keys, and copying the file for each would cost seconds.
    struct stat st {};
    if (stat(path_.c_str(), &st) == 0 && cache_.valid && cache_.inode == st.st_ino && cache_.size == st.st_size &&
        cache_.mtimeNs == st.st_mtim.tv_sec * 1000000000LL + st.st_mtim.tv_nsec)
        return &cache_.lines;
    std::vector<Line> lines;
    if (Read(lines) != ReadResult::Ok) {
        cache_.valid = false;
        return nullptr;
    }
    cache_.lines = std::move(lines);
    cache_.valid = stat(path_.c_str(), &st) == 0;
    if (cache_.valid) {
        cache_.inode = st.st_ino;
        cache_.size = st.st_size;
        cache_.mtimeNs = st.st_mtim.tv_sec * 1000000000LL + st.st_mtim.tv_nsec;
    }
    return &cache_.lines;
}

int IniProfileStore::GetProfileInt(std::string_view section, std::string_view key, int defaultValue)
{
    std::lock_guard<std::mutex> guard(lock_);
    const std::vector<Line>* lines = CachedLines();
    if (!lines)
        return defaultValue;
    const Line* l = Find(*lines, section, key);
    return l ? ParseProfileInt(l->value).value_or(defaultValue) : defaultValue;
}

std::string IniProfileStore::GetProfileString(std::string_view section, std::string_view key,
                                              std::string_view defaultValue)
{
    std::lock_guard<std::mutex> guard(lock_);
    const std::vector<Line>* lines = CachedLines();
    if (!lines)
        return std::string(defaultValue);
    const Line* l = Find(*lines, section, key);
    return l ? l->value : std::string(defaultValue);
}

std::vector<std::pair<std::string, std::string>> IniProfileStore::GetProfileSection(std::string_view section)
{
    std::lock_guard<std::mutex> guard(lock_);
    std::vector<std::pair<std::string, std::string>> out;
    const std::vector<Line>* lines = CachedLines();
    if (!lines)
        return out;
    for (const Line& l : *lines)
        if (!l.key.empty() && SameName(l.section, section))
            out.emplace_back(l.key, l.value);
    return out;
}

bool IniProfileStore::WriteProfileInt(std::string_view section, std::string_view key, int value)
{
    return WriteProfileString(section, key, std::to_string(value));
}

bool IniProfileStore::WriteProfileString(std::string_view section, std::string_view key, std::string_view value)
{
    std::lock_guard<std::mutex> guard(lock_);
    return Update({{std::string(section), std::string(key), std::string(value)}});
}

bool IniProfileStore::WriteBatch(const std::vector<ProfileWrite>& writes)
{
    std::lock_guard<std::mutex> guard(lock_);
    return Update(writes);
}

bool IniProfileStore::Update(const std::vector<ProfileWrite>& writes)
{
    if (!MakeParentDirs(path_))
        return false;
    FileLock lock(path_);
    cache_.valid = false;
    std::vector<Line> lines;
    // A file that exists but cannot be read is never replaced: the user's values would be lost.
    if (Read(lines) == ReadResult::Unreadable)
        return false;
    // A file the user made read-only stays as it is, though its folder would allow replacing it.
    // The mode bits count too, as the superuser's access() ignores them.
    struct stat st {};
    if (stat(path_.c_str(), &st) == 0 && ((st.st_mode & 0222) == 0 || access(path_.c_str(), W_OK) != 0))
        return false;
    for (const ProfileWrite& w : writes)
        Apply(lines, w.section, w.key, w.value);
    return Write(lines);
}

void IniProfileStore::Apply(std::vector<Line>& lines, std::string_view section, std::string_view key,
                            std::string_view value)
{
    const std::string v(value);
    const std::string encoded = EncodeIniValue(value);
    Line* target = nullptr;
    for (Line& l : lines)
        if (!l.key.empty() && SameName(l.section, section) && SameName(l.key, key))
            target = &l;
    if (target) {
        target->value = v;
        target->text = target->key + "=" + encoded;
        return;
    }
    // Append to the last line of the section, or start the section at the end.
    std::size_t insertAt = lines.size();
    bool haveSection = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (SameName(lines[i].section, section)) {
            haveSection = true;
            if (!Trim(lines[i].text).empty())
                insertAt = i + 1;
        }
    }
    std::vector<Line> add;
    if (!haveSection) {
        if (!lines.empty() && !Trim(lines.back().text).empty())
            add.push_back({"", lines.back().section, "", ""});
        add.push_back({"[" + std::string(section) + "]", std::string(section), "", ""});
    }
    add.push_back({std::string(key) + "=" + encoded, std::string(section), std::string(key), v});
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insertAt), add.begin(), add.end());
}

bool IniProfileStore::Write(const std::vector<Line>& lines) const
{
    std::string tmp = path_ + ".tmp";
    int fd = open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    std::string text;
    for (const Line& l : lines) {
        text += l.text;
        text += '\n';
    }
    bool ok = true;
    for (std::size_t done = 0; ok && done < text.size();) {
        ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        ok = n > 0;
        if (ok)
            done += static_cast<std::size_t>(n);
    }
    ok = ok && fsync(fd) == 0;
    ok = (close(fd) == 0) && ok;
    if (!ok || rename(tmp.c_str(), path_.c_str()) != 0) {
        unlink(tmp.c_str());
        return false;
    }
    return true;
}
