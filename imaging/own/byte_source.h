#pragma once
// The byte input of the image readers: a file or a block of memory behind one
// interface, so that the same decoding code serves the loader and the fuzzers.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <span>

class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Reads up to n bytes; answers how many were read (fewer at the end).
    virtual std::size_t Read(void* dst, std::size_t n) = 0;
    // The next byte, or -1 at the end or on a read error.
    virtual int GetByte() = 0;
    // Moves to an absolute position; a position beyond the end reads nothing.
    virtual bool Seek(std::uint64_t pos) = 0;
    virtual std::uint64_t Tell() const = 0;
    // Bytes in the whole input, to weigh a header's claims before allocating.
    virtual std::uint64_t Size() const = 0;
};

// Little-endian fields of a header already read.
inline std::uint16_t Le16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }
inline std::uint32_t Le32(const std::uint8_t* p)
{
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

// The longest file name a reader accepts (its name buffer holds 512 bytes).
constexpr std::size_t kMaxReaderPath = 511;

class FileSource final : public ByteSource {
public:
    // Opens for reading; none when the name is empty, too long or cannot be opened.
    static std::unique_ptr<FileSource> Open(const char* fileName);
    explicit FileSource(std::FILE* f) : file_(f) {} // takes ownership
    ~FileSource() override;
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;

    std::size_t Read(void* dst, std::size_t n) override;
    int GetByte() override;
    bool Seek(std::uint64_t pos) override;
    std::uint64_t Tell() const override;
    std::uint64_t Size() const override;

private:
    std::FILE* file_;
};

class MemorySource final : public ByteSource {
public:
    explicit MemorySource(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    std::size_t Read(void* dst, std::size_t n) override;
    int GetByte() override { return pos_ < bytes_.size() ? bytes_[pos_++] : -1; }
    bool Seek(std::uint64_t pos) override;
    std::uint64_t Tell() const override { return pos_; }
    std::uint64_t Size() const override { return bytes_.size(); }

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t pos_ = 0;
};
