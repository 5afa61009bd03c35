#include "subspec/model_data.h"

#include <algorithm>
#include <cassert>
#include <utility>

#include "core/text/ui_seam.h"

namespace {

constexpr ModelDataKey points_keys[] = {{L"Points", 250, 100, 10, 10000}};
constexpr ModelDataKey anharmonic_keys[] = {
    {L"Points", 250, 100, 2, 10000}, {L"DPoints", 200, 200, 10, 1000}, {L"HPoints", 50000, 50000, 10, 100000}};
constexpr ModelDataKey anisotropic_keys[] = {
    {L"Points", 250, 100, 2, 10000}, {L"DPoints", 500, 200, 10, 1000}, {L"HPoints", 50000, 50000, 10, 100000}};
constexpr ModelDataKey anharmonic_hamilton_keys[] = {
    {L"Points", 250, 100, 10, 10000}, {L"HPoints", 50000, 50000, 10, 100000}};
// One level count wherever none is given: a new component, a clone and a loaded text
// without the key all have 101 levels.
constexpr ModelDataKey levels_keys[] = {{L"Levels (2S+1)", 101, 101, 2, 10000}};

}  // namespace

KeywordModelData::KeywordModelData(std::span<const ModelDataKey> keys) : keys_(keys)
{
    assert(keys.size() <= values_.size());
    for (std::size_t k = 0; k < keys_.size(); ++k)
        values_[k] = keys_[k].initial;
}

bool KeywordModelData::set_defaults(const std::wstring&)
{
    for (std::size_t k = 0; k < keys_.size(); ++k) {
        values_[k] = keys_[k].initial;
        kwlist_set_int(data_, keys_[k].key, keys_[k].initial);
    }
    return true;
}

bool KeywordModelData::load_extra(const std::wstring& text)
{
    KeywordList list = data_;
    kwlist_from_string(text, list);
    for (const ModelDataKey& key : keys_) {
        if (!kwlist_has(list, key.key))
            kwlist_set_int(list, key.key, key.missing);
    }
    Values values{};
    read(list, values);
    data_ = std::move(list);
    values_ = values;
    return true;
}

std::wstring KeywordModelData::save_extra() const
{
    return kwlist_to_string(data_);
}

bool KeywordModelData::edit_properties()
{
    KeywordList edited = data_;
    if (user_interface().edit_keyword_list(edited, 0, std::wstring()) != 1)
        return false;
    Values values{};
    if (!read(edited, values))
        return false;
    data_ = std::move(edited);
    values_ = values;
    return true;
}

std::wstring KeywordModelData::description() const
{
    return std::to_wstring(values_[0]);
}

bool KeywordModelData::read(const KeywordList& list, Values& values) const
{
    for (std::size_t k = 0; k < keys_.size(); ++k) {
        int value = 0;
        if (!kwlist_get_int(list, keys_[k].key, value))
            return false;
        values[k] = std::clamp(value, keys_[k].lowest, keys_[k].highest);
    }
    return true;
}

PointsData::PointsData() : KeywordModelData(points_keys) {}

AnharmonicData::AnharmonicData(Variant variant)
    : KeywordModelData(variant == Variant::anisotropic ? std::span<const ModelDataKey>(anisotropic_keys)
                                                        : std::span<const ModelDataKey>(anharmonic_keys))
{
}

AnharmonicHamiltonData::AnharmonicHamiltonData() : KeywordModelData(anharmonic_hamilton_keys) {}

LevelsData::LevelsData() : KeywordModelData(levels_keys) {}
