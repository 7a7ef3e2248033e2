#include "imaging/own/byte_source.h"

#include <algorithm>
#include <cstring>

#include <sys/stat.h>

std::unique_ptr<FileSource> FileSource::Open(const char* fileName)
{
    if (!fileName || !*fileName || std::strlen(fileName) > kMaxReaderPath)
        return nullptr;
    std::FILE* f = std::fopen(fileName, "rb");
    if (!f)
        return nullptr;
    return std::make_unique<FileSource>(f);
}

FileSource::~FileSource() { std::fclose(file_); }

std::size_t FileSource::Read(void* dst, std::size_t n)
{
    return n == 0 ? 0 : std::fread(dst, 1, n, file_);
}

int FileSource::GetByte()
{
    int c = std::getc(file_);
    return c == EOF ? -1 : c;
}

bool FileSource::Seek(std::uint64_t pos)
{
    if (pos > static_cast<std::uint64_t>(INT64_MAX))
        return false;
    return fseeko(file_, static_cast<off_t>(pos), SEEK_SET) == 0;
}

std::uint64_t FileSource::Tell() const
{
    off_t pos = ftello(file_);
    return pos < 0 ? 0 : static_cast<std::uint64_t>(pos);
}

std::uint64_t FileSource::Size() const
{
    struct stat st {};
    if (fstat(fileno(file_), &st) != 0 || st.st_size < 0)
        return 0;
    return static_cast<std::uint64_t>(st.st_size);
}

std::size_t MemorySource::Read(void* dst, std::size_t n)
{
    std::size_t count = std::min(n, bytes_.size() - pos_);
    if (count)
        std::memcpy(dst, bytes_.data() + pos_, count);
    pos_ += count;
    return count;
}

bool MemorySource::Seek(std::uint64_t pos)
{
    pos_ = static_cast<std::size_t>(std::min<std::uint64_t>(pos, bytes_.size()));
    return true;
}
