#include "subspec/param_info.h"

std::vector<unsigned> param_groups(std::initializer_list<std::initializer_list<unsigned>> groups)
{
    std::vector<unsigned> order;
    for (const auto& group : groups) {
        if (!order.empty())
            order.push_back(param_group_marker);
        order.insert(order.end(), group.begin(), group.end());
    }
    return order;
}
