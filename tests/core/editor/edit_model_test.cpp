#include "editor/edit_model.h"

#include <gtest/gtest.h>

namespace pelorin {
namespace {

struct EditModelTest : ::testing::Test {
    CPelorinDoc doc;
    Viewport view;
    EditModel model{doc, view};
};

TEST_F(EditModelTest, TransactionRecordsOnlyWhatAUserSees) {
    // Each change is made inside one transaction; the bool says whether a
    // step must be recorded.
    struct Case {
        const char* what;
        void (*change)(EditModel&, Viewport&);
        bool recorded;
    };
    const Case cases[] = {
        {"nothing", [](EditModel&, Viewport&) {}, false},
        {"a cell set", [](EditModel& m, Viewport&) { m.canvas().set(5, 5, true); }, true},
        {"a cell set and cleared again",
         [](EditModel& m, Viewport&) {
             m.canvas().set(5, 5, true);
             m.canvas().set(5, 5, false);
         },
         false},
        {"the kind", [](EditModel&, Viewport& v) { v.showKind(LogoKind::Picture); }, true},
        {"the selection's place",
         [](EditModel& m, Viewport&) {
             m.selection().setRect({1, 1, 4, 4});
         },
         true},
        {"the buffers alone", [](EditModel& m, Viewport&) { m.selection().lift(m.canvas()); }, false},
    };
    for (const Case& c : cases) {
        CPelorinDoc document;
        Viewport viewport;
        EditModel m{document, viewport};
        m.canvas().set(2, 2, true);
        m.begin(c.what);
        c.change(m, viewport);
        EXPECT_EQ(m.commit(), c.recorded) << c.what;
        EXPECT_EQ(m.history().undoCount(), c.recorded ? 1u : 0u) << c.what;
        EXPECT_FALSE(m.editing()) << c.what;
    }
}

TEST_F(EditModelTest, RollbackBringsTheStartBackAndRecordsNothing) {
    model.canvas().set(1, 1, true);
    model.begin("Pen");
    model.canvas().set(7, 3, true);
    model.canvas().set(1, 1, false);
    const std::optional<LogoKind> kind = model.rollback();
    ASSERT_TRUE(kind.has_value());
    EXPECT_EQ(*kind, LogoKind::Operator);
    EXPECT_TRUE(model.canvas().isSet(1, 1));
    EXPECT_FALSE(model.canvas().isSet(7, 3));
    EXPECT_FALSE(model.editing());
    EXPECT_FALSE(model.history().canUndo());
    EXPECT_FALSE(model.rollback().has_value());
}

TEST_F(EditModelTest, ABeginCommitsTheOpenStepAndACancelKeepsTheChange) {
    model.begin("First");
    model.canvas().set(0, 0, true);
    model.begin("Second");  // the first is recorded here
    model.canvas().set(1, 0, true);
    model.cancel();  // recorded nothing, kept the cell
    EXPECT_TRUE(model.canvas().isSet(1, 0));
    ASSERT_EQ(model.history().undoCount(), 1u);

    // Undo of the one step takes back the first cell only; redo brings it.
    ASSERT_EQ(model.undo(), LogoKind::Operator);
    EXPECT_FALSE(model.canvas().isSet(0, 0));
    EXPECT_FALSE(model.canvas().isSet(1, 0));  // the snapshot before had neither
    ASSERT_EQ(model.redo(), LogoKind::Operator);
    EXPECT_TRUE(model.canvas().isSet(0, 0));
    EXPECT_FALSE(model.undo() == std::nullopt);
    EXPECT_EQ(model.undo(), std::nullopt);
}

TEST_F(EditModelTest, StepsRememberTheKindTheyWereMadeOn) {
    view.showKind(LogoKind::LargeOperator);
    model.begin("Pen");
    model.canvas().set(77, 20, true);
    ASSERT_TRUE(model.commit());
    view.showKind(LogoKind::Operator);
    EXPECT_EQ(model.undo(), LogoKind::LargeOperator);
    EXPECT_FALSE(doc.canvas(LogoKind::LargeOperator).isSet(77, 20));
}

}  // namespace
}  // namespace pelorin
