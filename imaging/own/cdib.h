#pragma once
// CDib: the owner of one packed DIB, and the stored form of it (and of a
// CBitmapEx) in a stream.
#include "imaging/own/packed_dib.h"

#include <iosfwd>

class CDib {
public:
    PackedDib block;
    explicit operator bool() const { return static_cast<bool>(block); }
    void Serialize(std::ostream& out) const;
    bool Serialize(std::istream& in);
};
