// DibRead on arbitrary bytes, through the memory entry that shares its
// decoding with the file entry.
#include "fuzz_reader_support.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    FuzzSetUp();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    ImageReadRecord record;
    record.progress = FuzzIgnoreProgress;
    DibReadBytes({data, size}, record);
    FuzzCheckBlock(record.dib, false);
    return 0;
}
