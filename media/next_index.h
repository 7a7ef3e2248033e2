#pragma once
// The sequential position after `last` in a list of `count` entries: 0 when
// the step leaves the list (a stored index may be anything).
inline int NextListIndex(int last, int count)
{
    long long next = static_cast<long long>(last) + 1;
    return (next < 0 || next >= count) ? 0 : static_cast<int>(next);
}
