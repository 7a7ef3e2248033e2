#pragma once
// Attribute bits of a directory entry and the filter rule of the scan.
//
// On this platform a name starting with '.' is hidden; FIFOs, sockets and
// device nodes are devices; a symbolic link has the attributes of its target.
// Nothing is a system file or a volume label.
namespace FileAttr {
constexpr int kReadOnly = 0x01;
constexpr int kHidden = 0x02;
constexpr int kSystem = 0x04;
constexpr int kVolumeLabel = 0x08;
constexpr int kDirectory = 0x10;
constexpr int kArchive = 0x20;
constexpr int kDevice = 0x40;
constexpr int kNormal = 0x80;

// Filter values: plain files (0 or kNormal), everything (-1), or any other
// bit set, of which an entry needs at least one.
constexpr int kPlainFiles = kNormal;
constexpr int kEverything = -1;
constexpr int kNotPlain = kHidden | kSystem | kVolumeLabel | kDirectory | kDevice;
} // namespace FileAttr

constexpr bool PassesFilter(int attributes, int filter)
{
    if (filter == 0 || filter == FileAttr::kNormal)
        return (attributes & FileAttr::kNotPlain) == 0;
    if (filter == FileAttr::kEverything)
        return true;
    return (attributes & filter) != 0;
}
