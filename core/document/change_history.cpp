#include "core/document/change_history.h"

#include <iterator>
#include <utility>
#include <vector>

#include "core/document/change_records.h"

void ChangeHistory::push(ChangeRecordPtr record)
{
    // The saved state survives only when it is the present one; a state in the dropped
    // redo tail, or the end when records follow the position, is gone for good.
    const bool saved_is_present = saved_ && *saved_ == position_;
    bool group_dropped = false, saved_dropped = false;
    while (position_ != records_.end()) {
        group_dropped = group_dropped || group_ == position_;
        saved_dropped = saved_dropped || (saved_ && *saved_ == position_);
        position_ = records_.erase(position_);
    }
    records_.push_back(std::move(record));
    const auto added = std::prev(records_.end());
    position_ = records_.end();
    if (saved_is_present)
        saved_ = added;
    else if (saved_dropped || (saved_ && *saved_ == records_.end()))
        saved_.reset();
    if (group_ == records_.end() || group_dropped)
        group_ = added;
}

void ChangeHistory::undo(ModelState& document)
{
    if (!can_undo())
        return;
    const ModelState::Transaction transaction(document);
    --position_;
    (*position_)->undo(document);
}

void ChangeHistory::redo(ModelState& document)
{
    if (!can_redo())
        return;
    const ModelState::Transaction transaction(document);
    const ChangeRecordPtr record = *position_;
    ++position_;
    record->redo(document);
}

ChangeHistory::Kept ChangeHistory::keep() const
{
    const auto index = [this](RecordList::const_iterator it) {
        return static_cast<std::size_t>(std::distance(records_.begin(), it));
    };
    Kept kept{records_, index(position_), std::nullopt, index(group_)};
    if (saved_)
        kept.saved = index(*saved_);
    return kept;
}

void ChangeHistory::put_back(Kept& kept) noexcept
{
    records_.swap(kept.records);
    const auto at = [this](std::size_t i) { return std::next(records_.begin(), static_cast<std::ptrdiff_t>(i)); };
    position_ = at(kept.position);
    group_ = at(kept.group);
    if (kept.saved)
        saved_ = at(*kept.saved);
    else
        saved_.reset();
}

void ChangeHistory::clear()
{
    records_.clear();
    position_ = records_.end();
    saved_ = records_.end();
    group_ = records_.end();
}

void ChangeHistory::merge_group()
{
    // Nothing pushed, or the group's records partly undone since: they stay as they are.
    bool group_applied = group_ != records_.end();
    for (auto it = group_; group_applied && it != records_.end(); ++it)
        group_applied = it != position_;
    if (!group_applied) {
        group_ = records_.end();
        return;
    }
    // The group's records were applied one after another; as one list they stand for
    // the state before the first and the state after the last.
    const bool saved_before = saved_ && *saved_ == group_;
    bool saved_inside = false;
    for (auto it = std::next(group_); it != records_.end(); ++it)
        saved_inside = saved_inside || (saved_ && *saved_ == it);
    const bool saved_after = saved_ && *saved_ == records_.end() && position_ == records_.end();
    std::vector<ChangeRecordPtr> group(group_, records_.end());
    records_.erase(group_, records_.end());
    position_ = records_.end();
    records_.push_back(std::make_shared<ModelState::ChangeRecordList>(std::move(group)));
    if (saved_before)
        saved_ = std::prev(records_.end());
    else if (saved_inside)
        saved_.reset();
    else if (saved_after)
        saved_ = records_.end();
    group_ = records_.end();
}

void ChangeHistory::merge_last(std::size_t count)
{
    if (count < 2 || count > records_.size() || position_ != records_.end())
        return;
    const auto first = std::prev(records_.end(), static_cast<std::ptrdiff_t>(count));
    std::vector<ChangeRecordPtr> merged;
    bool saved_inside = false, group_inside = false;
    for (auto it = first; it != records_.end(); ++it) {
        saved_inside = saved_inside || (it != first && saved_ && *saved_ == it);
        group_inside = group_inside || group_ == it;
        if (const auto* list = dynamic_cast<const ModelState::ChangeRecordList*>(it->get()))
            merged.insert(merged.end(), list->records().begin(), list->records().end());
        else
            merged.push_back(*it);
    }
    const bool saved_before = saved_ && *saved_ == first;
    records_.erase(first, records_.end());
    records_.push_back(std::make_shared<ModelState::ChangeRecordList>(std::move(merged)));
    position_ = records_.end();
    // The states between the records are gone; those before and after all of them stay.
    if (saved_before)
        saved_ = std::prev(records_.end());
    else if (saved_inside)
        saved_.reset();
    if (group_inside)
        group_ = std::prev(records_.end());
}

void ChangeHistory::drop_model_bound_records()
{
    for (auto it = records_.begin(); it != records_.end();) {
        if ((*it)->outlives_model()) {
            ++it;
            continue;
        }
        const auto next = std::next(it);
        if (position_ == it)
            position_ = next;
        if (saved_ && *saved_ == it)
            saved_ = next;
        if (group_ == it)
            group_ = next;
        records_.erase(it);
        it = next;
    }
}
