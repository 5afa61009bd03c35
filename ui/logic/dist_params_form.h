// The distribution parameters dialog without the window: which parameters of a
// subspectrum a distribution may spread (the rows, all ticked at first), the choices of
// the point count, and the reading of the count on OK.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

class ISubSpec;

// Control ids of dialog 11001.
inline constexpr int dist_params_list = 11001;
inline constexpr int dist_params_points = 10003;
inline constexpr int dist_params_properties = 11003;
inline constexpr unsigned min_chosen_points = 2;
inline constexpr unsigned max_chosen_points = 1000;

struct DistParamRow {
    unsigned index;  // the subspectrum's parameter index
    std::wstring name;

    bool operator==(const DistParamRow&) const = default;
};

// Every parameter that is no area parameter and whose kind the subspectrum lets a
// distribution spread (IDistVarTypes; none without it), named in plain characters.
std::vector<DistParamRow> distribution_param_rows(const ISubSpec& subspec);
// Superscripts and subscripts as the plain characters they stand for.
std::wstring flatten_script_characters(std::wstring_view text);

// The point counts the combo box lists, as texts.
std::vector<std::wstring> point_count_choices();
// The combo box's starting text: the present count, or 100 for a new distribution.
std::wstring initial_point_count_text(unsigned points);
// The count typed or chosen, when it is a whole number from 2 to 1000.
std::optional<unsigned> read_point_count(std::wstring_view text);
