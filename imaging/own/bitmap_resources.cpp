#include "imaging/own/bitmap_resources.h"

#include <cstring>
#include <map>
#include <mutex>
#include <vector>

namespace {

// The executable's resource section stands behind this: process-wide, filled once.
struct Registry {
    std::mutex lock;
    std::map<int, std::vector<std::uint8_t>> dibs;
};

Registry& TheRegistry()
{
    static Registry registry;
    return registry;
}

} // namespace

void RegisterBitmapResource(int id, std::span<const std::uint8_t> data)
{
    // A BMP file's 14-byte header is not part of the resource.
    if (data.size() >= 14 && data[0] == 'B' && data[1] == 'M')
        data = data.subspan(14);
    Registry& r = TheRegistry();
    std::lock_guard<std::mutex> guard(r.lock);
    r.dibs[id].assign(data.begin(), data.end());
}

PackedDib LoadBitmapResource(int id)
{
    Registry& r = TheRegistry();
    std::lock_guard<std::mutex> guard(r.lock);
    const auto it = r.dibs.find(id);
    if (it == r.dibs.end())
        return {};
    PackedDib block = PackedDib::Allocate(it->second.size());
    if (block)
        std::memcpy(block.data(), it->second.data(), it->second.size());
    return block;
}
