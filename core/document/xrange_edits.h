// Taking an interval out of a list of excluded x-ranges.
#pragma once

#include <vector>

#include "core/model/model_records.h"

// Every range inside [from, to] goes, a range that holds the interval is split in two,
// a range that overlaps one end is cut back to it. A range that starts exactly at
// `from` and reaches beyond `to` leaves a zero-width range (from, from) in the list.
void remove_xrange_interval(std::vector<XRange>& ranges, double from, double to);
