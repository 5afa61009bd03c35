// The records of user expressions and of excluded x-ranges.
#include <algorithm>

#include "core/document/change_records.h"

namespace {

// Every link to user expression `target`.
std::vector<LinkSpec> links_to(const SpectrumModel& model, std::uint32_t target)
{
    std::vector<LinkSpec> out;
    for (const auto& c : model.components)
        for (unsigned j = 0; j < c->count; ++j)
            if (const ParamLink& l = c->links[j]; l.kind == LinkToExpr && l.target_component == target)
                out.push_back({l.target_component, l.target_param, l.kind, c->index, j, l.factor});
    return out;
}

void write_links(SpectrumModel& model, const std::vector<LinkSpec>& links)
{
    for (const LinkSpec& s : links)
        model.components.at(s.dependent_component)->links.at(s.dependent_param) =
            ParamLink{s.target_component, s.target_param, s.kind, s.factor};
}

}  // namespace

void ModelState::ChangeRecordExpr::insert_expression(ModelState& document) const
{
    document.model.insert_expression(index_, name_, text_);
    write_links(document.model, links_);
}

void ModelState::ChangeRecordExpr::remove_expression(ModelState& document)
{
    links_ = links_to(document.model, index_);
    document.model.remove_expression(index_);
}

ModelState::ChangeRecordAddExpr::ChangeRecordAddExpr(ModelState& document, unsigned index, std::wstring name,
                                                     std::wstring text)
    : ChangeRecordExpr(index, std::move(name), std::move(text))
{
    insert_expression(document);
}

ModelState::ChangeRecordDelExpr::ChangeRecordDelExpr(ModelState& document, unsigned index)
    : ChangeRecordExpr(index, document.model.expressions.at(index).name, document.model.expressions.at(index).text)
{
    remove_expression(document);
}

ModelState::ChangeRecordReplaceExpr::ChangeRecordReplaceExpr(ModelState& document, unsigned index,
                                                             std::wstring name, std::wstring text)
    : index_(index), old_name_(document.model.expressions.at(index).name),
      old_text_(document.model.expressions.at(index).text), new_name_(std::move(name)), new_text_(std::move(text))
{
    std::vector<LinkSpec> before;
    for (std::uint32_t e = 0; e < document.model.expressions.size(); ++e) {
        const std::vector<LinkSpec> to_e = links_to(document.model, e);
        before.insert(before.end(), to_e.begin(), to_e.end());
    }
    apply(document, new_name_, new_text_);
    for (const LinkSpec& s : before)
        if (document.model.components[s.dependent_component]->links[s.dependent_param].kind == NotLinked)
            lost_links_.push_back(s);
}

void ModelState::ChangeRecordReplaceExpr::apply(ModelState& document, const std::wstring& name,
                                                const std::wstring& text) const
{
    NamedExpr& e = document.model.expressions.at(index_);
    e.name = name;
    e.text = text;
    // Others may use it by name: all compile again before the links are checked.
    document.model.compile_expressions();
    document.model.unlink_uncompiled_expressions();
}

void ModelState::ChangeRecordReplaceExpr::undo(ModelState& document)
{
    apply(document, old_name_, old_text_);
    write_links(document.model, lost_links_);
}

void ModelState::ChangeRecordReplaceExpr::redo(ModelState& document)
{
    apply(document, new_name_, new_text_);
}

// ---- Excluded x-ranges ----

ModelState::ChangeRecordXR::ChangeRecordXR(const std::vector<XRange>& before, const std::vector<XRange>& after)
{
    std::size_t p = 0;
    while (p < before.size() && p < after.size() && before[p] == after[p])
        ++p;
    std::size_t s = 0;
    while (s + p < before.size() && s + p < after.size() && before[before.size() - 1 - s] == after[after.size() - 1 - s])
        ++s;
    position_ = p;
    removed_.assign(before.begin() + p, before.end() - s);
    inserted_.assign(after.begin() + p, after.end() - s);
}

void ModelState::ChangeRecordXR::exchange(std::vector<XRange>& list, std::size_t position,
                                          const std::vector<XRange>& out, const std::vector<XRange>& in)
{
    std::size_t at = std::min(position, list.size());
    if (!out.empty()) {
        // The run where it was put, else the nearest place it is found now (ranges of
        // the other history may have come or gone before it).
        std::size_t best = list.size();
        for (std::size_t i = 0; i + out.size() <= list.size(); ++i)
            if (std::equal(out.begin(), out.end(), list.begin() + i)) {
                const auto distance = [&](std::size_t k) { return k > position ? k - position : position - k; };
                if (best == list.size() || distance(i) < distance(best))
                    best = i;
            }
        if (best < list.size()) {
            list.erase(list.begin() + best, list.begin() + best + out.size());
            at = best;
        } else {
            for (const XRange& r : out)
                if (auto it = std::find(list.begin(), list.end(), r); it != list.end())
                    list.erase(it);
            at = std::min(position, list.size());
        }
    }
    list.insert(list.begin() + at, in.begin(), in.end());
}

void ModelState::ChangeRecordXR::undo(ModelState& document)
{
    exchange(document.model.xranges, position_, inserted_, removed_);
}

void ModelState::ChangeRecordXR::redo(ModelState& document)
{
    exchange(document.model.xranges, position_, removed_, inserted_);
}
