// The undo list: position, redo tail, saved mark and groups, on records that only log.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/document/change_records.h"

namespace {

// A record that keeps a shared log of what undo and redo did.
class LogRecord : public ChangeRecordBase {
public:
    LogRecord(std::vector<std::string>& log, std::string name, bool model_bound = false)
        : log_(log), name_(std::move(name)), model_bound_(model_bound)
    {
        log_.push_back("do " + name_);
    }
    bool outlives_model() const override { return !model_bound_; }
    void undo(ModelState&) override { log_.push_back("undo " + name_); }
    void redo(ModelState&) override { log_.push_back("redo " + name_); }

private:
    std::vector<std::string>& log_;
    std::string name_;
    bool model_bound_;
};

struct History : ::testing::Test {
    ModelState d;
    ChangeHistory h;
    std::vector<std::string> log;

    void push(const std::string& name, bool model_bound = false)
    {
        h.push(std::make_shared<LogRecord>(log, name, model_bound));
    }
};

TEST_F(History, PushAfterUndoDropsTheRedoTail)
{
    EXPECT_FALSE(h.can_undo());
    EXPECT_FALSE(h.can_redo());
    EXPECT_FALSE(h.is_modified());
    push("a"), push("b"), push("c");
    h.undo(d), h.undo(d);
    push("d");
    EXPECT_EQ(h.records().size(), 2u);
    EXPECT_FALSE(h.can_redo());
    h.undo(d), h.undo(d);
    EXPECT_FALSE(h.can_undo());
    h.undo(d);  // nothing left: no call
    EXPECT_EQ(log, (std::vector<std::string>{"do a", "do b", "do c", "undo c", "undo b", "do d", "undo d", "undo a"}));
}

TEST_F(History, SavedMarkFollowsTheState)
{
    push("a");
    h.mark_saved();
    push("b");
    EXPECT_TRUE(h.is_modified());
    h.undo(d);
    EXPECT_FALSE(h.is_modified());
    h.redo(d);
    EXPECT_TRUE(h.is_modified());
    h.clear();
    EXPECT_FALSE(h.is_modified());
    EXPECT_TRUE(h.records().empty());
}

TEST_F(History, SavedStateDroppedWithTheRedoTailIsGoneForGood)
{
    // Save, undo, edit, undo: the document is back before the saved record, which the
    // edit dropped: it differs from the file.
    push("a");
    h.mark_saved();
    h.undo(d);
    push("b");
    h.undo(d);
    EXPECT_TRUE(h.is_modified());
    h.redo(d);
    EXPECT_TRUE(h.is_modified());
    // Saved in the middle of the redo tail: gone too.
    h.clear();
    push("c"), push("e");
    h.undo(d);
    h.mark_saved();
    h.undo(d);
    push("f");
    h.undo(d);
    EXPECT_TRUE(h.is_modified());
}

TEST_F(History, GroupsFoldIntoOneStep)
{
    push("a");
    h.begin_group();
    h.merge_group();
    EXPECT_EQ(h.records().size(), 1u);

    h.mark_saved();
    h.begin_group();
    push("b"), push("c");
    h.merge_group();
    ASSERT_EQ(h.records().size(), 2u);
    EXPECT_NE(dynamic_cast<ModelState::ChangeRecordList*>(h.records().back().get()), nullptr);
    EXPECT_TRUE(h.is_modified());
    log.clear();
    h.undo(d);
    EXPECT_EQ(log, (std::vector<std::string>{"undo c", "undo b"}));
    EXPECT_FALSE(h.is_modified());  // the saved state was the one before the group
    h.redo(d);
    EXPECT_EQ(log, (std::vector<std::string>{"undo c", "undo b", "redo b", "redo c"}));
}

TEST_F(History, GroupPartlyUndoneStaysApart)
{
    h.begin_group();
    push("a"), push("b");
    h.undo(d);
    h.merge_group();
    EXPECT_EQ(h.records().size(), 2u);
    EXPECT_TRUE(h.can_redo());
}

TEST_F(History, SavedInsideAGroupIsNoLongerReachable)
{
    h.begin_group();
    push("a");
    h.mark_saved();
    push("b");
    h.merge_group();
    EXPECT_TRUE(h.is_modified());
    h.undo(d);
    EXPECT_TRUE(h.is_modified());
}

TEST_F(History, JoiningTheNewestRecordsKeepsOneFlatStep)
{
    push("a");
    h.mark_saved();
    push("b"), push("c");
    h.merge_last(2);
    push("d");
    h.merge_last(2);  // the list and d: one flat list of three
    ASSERT_EQ(h.records().size(), 2u);
    const auto* list = dynamic_cast<const ModelState::ChangeRecordList*>(h.records().back().get());
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->records().size(), 3u);
    log.clear();
    h.undo(d);
    EXPECT_EQ(log, (std::vector<std::string>{"undo d", "undo c", "undo b"}));
    EXPECT_FALSE(h.is_modified());

    // Not with a redo tail, nor for more records than there are; a saved state between
    // the joined records is gone.
    h.merge_last(2);
    EXPECT_EQ(h.records().size(), 2u);
    h.redo(d);
    h.merge_last(3);
    EXPECT_EQ(h.records().size(), 2u);
    push("e");
    h.mark_saved();
    push("f");
    h.merge_last(2);
    EXPECT_TRUE(h.is_modified());
    h.undo(d);
    EXPECT_TRUE(h.is_modified());
}

TEST_F(History, DroppingModelBoundRecordsMovesTheMarks)
{
    push("data1");
    push("range", true);
    push("data2");
    h.undo(d);  // position on data2
    h.undo(d);  // position on the range record
    h.drop_model_bound_records();
    ASSERT_EQ(h.records().size(), 2u);
    log.clear();
    h.redo(d);
    EXPECT_EQ(log, (std::vector<std::string>{"redo data2"}));
    EXPECT_FALSE(h.can_redo());
}

}  // namespace
