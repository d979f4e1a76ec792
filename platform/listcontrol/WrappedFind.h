#pragma once

namespace vantor::lc {

// The search order of a list find: items start+1 .. count-1, then with `wrap` 0 .. start.
// A start below -1 counts as -1 (from the first item). Returns the first item for which
// `matches(item)` holds, else -1.
template <class Predicate>
int FindWrapped(int start, int count, bool wrap, Predicate matches)
{
    if (start < -1)
        start = -1;
    for (int i = start + 1; i < count; ++i) {
        if (matches(i))
            return i;
    }
    if (wrap && start >= 0) {
        const int last = start < count ? start : count - 1;
        for (int i = 0; i <= last; ++i) {
            if (matches(i))
                return i;
        }
    }
    return -1;
}

}  // namespace vantor::lc
