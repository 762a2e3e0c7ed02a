// Rounding to the nearest integer with an exact half going to the even
// neighbour, in integer arithmetic so that the edge cases come out exactly.
// Marks and picture sizes are both rounded this way.
#pragma once

#include <cstdint>

// numerator / denominator rounded to the nearest integer, halves to even.
// The denominator must not be 0; a negative one flips both signs.
std::int64_t roundHalfEven(std::int64_t numerator, std::int64_t denominator);
