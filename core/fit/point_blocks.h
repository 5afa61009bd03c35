// The split of a call's points into the 16 blocks that the parallel evaluations hand
// to the OpenMP team: blocks 0 … 14 take n / 16 points each, block 15 the rest (all
// points when n < 16).
#pragma once

#include <cstddef>

inline constexpr unsigned point_block_count = 16;

struct PointBlock {
    std::size_t begin;  // first point of the block
    std::size_t end;    // one past its last point
};

inline PointBlock point_block(unsigned block, std::size_t n)
{
    const std::size_t length = n / point_block_count;
    return {block * length, block + 1 < point_block_count ? (block + 1) * length : n};
}
