#pragma once

#include <algorithm>
#include <vector>

// The middle value of a benchmark's rounds (the upper one of an even count).
template<typename T>
T median(std::vector<T> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}
