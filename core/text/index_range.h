// Point ranges typed by the user: one-based "a-b" or a single "a".
#pragma once

#include <cstddef>
#include <string_view>
#include <utility>

// Reads "a-b" or, failing that, "a" the way scanf reads "%d-%d" and "%d" (leading blanks
// and a sign are accepted, trailing text is ignored). Valid when 1 ≤ a ≤ b ≤ count and,
// unless `allow_single`, a < b; then `range` becomes (a − 1, b − 1) and the result is
// true. Otherwise `range` is untouched and the result false; a number beyond the range
// of int is invalid.
bool parse_index_range(std::wstring_view text, std::pair<std::size_t, std::size_t>& range, std::size_t count,
                       bool allow_single);
