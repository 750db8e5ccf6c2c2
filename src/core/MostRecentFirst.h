#pragma once

#include <QString>
#include <array>
#include <cstddef>

// Puts the item first in a most-recent-first list. An item found among the
// entries before the last moves to the front without a duplicate; any other
// item (the last entry's included) pushes the last entry out.
template <std::size_t N>
void PutFirst(std::array<QString, N>& list, const QString& item)
{
    std::size_t found = N - 1;
    for (std::size_t i = 0; i + 1 < N; ++i) {
        if (list[i] == item) {
            found = i;
            break;
        }
    }
    for (std::size_t j = found; j > 0; --j) {
        list[j] = list[j - 1];
    }
    list[0] = item;
}
