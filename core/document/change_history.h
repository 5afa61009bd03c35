// Undo records and the list that holds them. A record applies its change when it is
// built; undo and redo then move the document between the state before and the state
// after as often as asked. A history keeps its records oldest first with a position
// (records before it are applied), the mark of the saved state and the mark where a
// group of records being built begins.
#pragma once

#include <cstddef>
#include <list>
#include <memory>
#include <optional>

class ModelState;

class ChangeRecordBase {
public:
    virtual ~ChangeRecordBase() = default;
    // False only for the records of single excluded x-ranges: those belong to the model
    // they were made on, and loading another model drops them from the spectrum history.
    virtual bool outlives_model() const { return true; }
    virtual void undo(ModelState& document) = 0;
    virtual void redo(ModelState& document) = 0;
};

using ChangeRecordPtr = std::shared_ptr<ChangeRecordBase>;

class ChangeHistory {
public:
    using RecordList = std::list<ChangeRecordPtr>;

    ChangeHistory() = default;
    ChangeHistory(const ChangeHistory&) = delete;
    ChangeHistory& operator=(const ChangeHistory&) = delete;

    // Drops the redo tail and appends the record, which has applied itself already.
    void push(ChangeRecordPtr record);
    bool can_undo() const { return position_ != records_.begin(); }
    bool can_redo() const { return position_ != records_.end(); }
    void undo(ModelState& document);
    void redo(ModelState& document);
    void clear();
    // The present state is the saved file's.
    void mark_saved() { saved_ = position_; }
    // True while the document differs from the saved state: the position is elsewhere,
    // or the saved state can no longer be reached (its records were dropped).
    bool is_modified() const { return !saved_ || *saved_ != position_; }
    // Records pushed from now on fold into one list record at merge_group.
    void begin_group() { group_ = records_.end(); }
    void merge_group();
    // Folds the newest `count` records into one list record, taking the records of lists
    // among them apart, so that a step joined again and again stays one flat list. Only
    // with every record applied; fewer than two records change nothing.
    void merge_last(std::size_t count);
    // Removes every record for which outlives_model() is false; a mark on a removed
    // record moves to the next one.
    void drop_model_bound_records();

    const RecordList& records() const { return records_; }

    // The records and marks as they are, for a failed operation to put back.
    struct Kept {
        RecordList records;
        std::size_t position = 0;
        std::optional<std::size_t> saved;
        std::size_t group = 0;
    };
    Kept keep() const;
    // Puts back what keep gave, without allocating.
    void put_back(Kept& kept) noexcept;

private:
    RecordList records_;
    RecordList::iterator position_ = records_.end();
    // Empty when the saved state is gone from the history.
    std::optional<RecordList::iterator> saved_ = records_.end();
    RecordList::iterator group_ = records_.end();
};
