#include "core/document/xrange_edits.h"

void remove_xrange_interval(std::vector<XRange>& ranges, double a, double b)
{
    std::size_t i = 0;
    while (i < ranges.size()) {
        XRange& r = ranges[i];
        if (r.from >= a && r.to <= b) {
            ranges.erase(ranges.begin() + i);
            continue;
        }
        if (a >= r.from) {
            if (r.to > b) {
                const XRange right{b, r.to};
                r.to = a;
                ranges.insert(ranges.begin() + i + 1, right);
                i += 2;
                continue;
            }
            if (r.to > a) {
                r.to = a;
                ++i;
                continue;
            }
        }
        if (b > r.from && r.to > b)
            r.from = b;
        ++i;
    }
}
