#include "catalogue/sub_spec_factory.h"

#include <stdexcept>

#include "core/model/component_line.h"
#include "core/text/messages.h"
#include "core/text/text.h"
#include "catalogue/builtin_models.h"

SubSpecPtr SubSpecFactory::SubSpecDesc::create(const Isotope* isotope) const
{
    if (is_separator())
        throw std::runtime_error("Can't create a dummy model");
    if (needs_isotope && !isotope)
        throw std::runtime_error(MessageText(50046, display_name).to_utf8());
    return factory(user_data, isotope);
}

SubSpecFactory& SubSpecFactory::instance()
{
    static SubSpecFactory catalogue = [] {
        SubSpecFactory built_in;
        register_builtin_models(built_in);
        return built_in;
    }();
    return catalogue;
}

void SubSpecFactory::register_model(SubSpecFactoryFn factory, void* user_data, std::wstring_view name,
                                    bool needs_isotope)
{
    SubSpecDesc entry{factory, user_data, std::wstring(name), needs_isotope};
    if (!needs_isotope) {
        const SubSpecPtr probe = factory(user_data, nullptr);
        if (const auto* baseline = dynamic_cast<const IBaseLine*>(probe.get())) {
            entry.is_baseline = true;
            entry.baseline_rank = baseline->auto_rank();
        }
    }
    if (!entry.display_name.empty() && entry.display_name.front() == L'@') {
        entry.display_name.erase(0, 1);
        entry.hidden = true;
    }
    entries_.push_back(std::move(entry));
}

void SubSpecFactory::add_separator()
{
    SubSpecDesc separator;
    separator.hidden = true;
    entries_.push_back(std::move(separator));
}

const SubSpecFactory::SubSpecDesc& SubSpecFactory::at(unsigned i) const
{
    if (i >= entries_.size())
        throw std::out_of_range("invalid vector subscript");
    return entries_[i];
}

unsigned SubSpecFactory::find(std::wstring_view name) const
{
    const auto exact = [this](std::wstring_view wanted) {
        unsigned i = 0;
        while (i < size() && (entries_[i].is_separator() || entries_[i].display_name != wanted))
            ++i;
        return i;
    };
    const unsigned i = exact(name);
    if (i < size())
        return i;
    const LegacyModelName* legacy = find_legacy_model(name);
    return legacy ? exact(legacy->catalogue_name) : size();
}

SubSpecPtr SubSpecFactory::create_by_name(std::wstring_view name, const Isotope* isotope) const
{
    const unsigned i = find(name);
    return i < size() ? entries_[i].create(isotope) : SubSpecPtr();
}

SubSpecPtr SubSpecFactory::create_baseline(const Isotope* isotope, double level) const
{
    const SubSpecDesc* lowest = nullptr;
    for (const SubSpecDesc& entry : entries_) {
        if (!entry.is_baseline)
            continue;
        if (entry.baseline_rank <= level)
            return entry.create(isotope);
        if (!lowest || entry.baseline_rank < lowest->baseline_rank)
            lowest = &entry;
    }
    // A spectrum whose level lies below every rank (a difference spectrum, say) still
    // needs a baseline in front of its model.
    return lowest ? lowest->create(isotope) : SubSpecPtr();
}

unsigned SubSpecFactory::index_of(std::wstring_view name) const
{
    const unsigned i = find(name);
    return i < size() ? i : 0;
}
