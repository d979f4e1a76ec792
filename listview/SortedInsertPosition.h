#pragma once

namespace vantor {

// Where an element belongs in the range [0, count) that is already ordered: after every element
// that does not compare greater than it (the upper bound). That is the place a stable sort of
// the range with the element appended gives it, so inserting there keeps the order a full
// stable sort would produce. `compareWith(i)` answers compare(element, range[i]): negative,
// zero or positive. Takes about log2(count) comparisons.
template <typename CompareWith>
int UpperBoundPosition(int count, CompareWith&& compareWith)
{
    int low = 0;
    int high = count < 0 ? 0 : count;
    while (low < high) {
        const int middle = low + (high - low) / 2;
        if (compareWith(middle) < 0)
            high = middle;
        else
            low = middle + 1;
    }
    return low;
}

}  // namespace vantor
