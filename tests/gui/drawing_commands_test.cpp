// The drawing tools and picture changes as a user reaches them: keys, the
// Tools and Edit menus, the Fill pattern submenu and the palette's buttons.
#include <QAction>
#include <QMenu>

#include "app/command_table.h"
#include "gui_fixture.h"

namespace pelorin::testing {
namespace {

class DrawingCommandsTest : public EditorFixture {
protected:
    void key(int keyCode, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(&frame(), static_cast<Qt::Key>(keyCode), modifiers);
    }
    void activate() {
        frame().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&frame()));
    }
    Canvas& shownCanvas() { return app->document().canvas(editor().kind()); }
    bool checked(int id) {
        for (QMenu* menu : frame().menus()) emit menu->aboutToShow();
        if (QMenu* patterns = frame().action(command::kFillPattern)->menu()) emit patterns->aboutToShow();
        return frame().action(id)->isChecked();
    }
};

TEST_F(DrawingCommandsTest, KeysPickTheNewToolsAndToggleTheirSwitches) {
    activate();
    key(Qt::Key_O);
    EXPECT_EQ(palette().currentTool(), Tool::Ellipse);
    EXPECT_TRUE(checked(command::kToolEllipse));
    key(Qt::Key_I);
    EXPECT_EQ(palette().currentTool(), Tool::InvertPen);
    EXPECT_EQ(CToolPaletteWnd::toolTipAt({150, 10}), "Ellipse (O)");
    EXPECT_EQ(CToolPaletteWnd::toolTipAt({190, 20}), "Invert pen (I)");

    const struct {
        int id;
        int keyCode;
        bool DrawingOptions::*field;
    } switches[] = {{command::kToolFilled, Qt::Key_F, &DrawingOptions::filled},
                    {command::kMirrorHorizontally, Qt::Key_H, &DrawingOptions::mirrorHorizontally},
                    {command::kMirrorVertically, Qt::Key_V, &DrawingOptions::mirrorVertically}};
    for (const auto& s : switches) {
        EXPECT_FALSE(checked(s.id));
        key(s.keyCode, Qt::ShiftModifier);
        EXPECT_TRUE(editor().drawingOptions().*s.field) << s.id;
        EXPECT_TRUE(checked(s.id)) << s.id;
        key(s.keyCode, Qt::ShiftModifier);
        EXPECT_FALSE(editor().drawingOptions().*s.field) << s.id;
    }
    EXPECT_EQ(frame().action(command::kToolFilled)->toolTip(), "Filled (Shift+F)");
    EXPECT_EQ(frame().action(command::kShiftLeft)->toolTip(), "Shift left (Ctrl+Left)");
}

TEST_F(DrawingCommandsTest, FillPatternSubmenuHoldsEveryPatternWithOneChecked) {
    QMenu* patterns = frame().action(command::kFillPattern)->menu();
    ASSERT_NE(patterns, nullptr);
    ASSERT_EQ(patterns->actions().size(), command::kFillPatternCount);
    EXPECT_EQ(patterns->actions()[1]->text(), "&50% checker");
    EXPECT_TRUE(checked(command::kFillPatternFirst));
    activate();
    key(Qt::Key_8, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(editor().drawingOptions().fillPattern, FillPattern::Bricks);
    EXPECT_TRUE(checked(command::kFillPatternFirst + 8));
    EXPECT_FALSE(checked(command::kFillPatternFirst));
    patterns->actions()[1]->trigger();
    EXPECT_EQ(editor().drawingOptions().fillPattern, FillPattern::Checker50);

    // The bucket then fills the empty canvas with the checker.
    frame().action(command::kToolFill)->trigger();
    stroke({cellCentre(5, 5)});
    EXPECT_TRUE(shownCanvas().isSet(0, 0));
    EXPECT_FALSE(shownCanvas().isSet(1, 0));
    EXPECT_TRUE(shownCanvas().isSet(71, 13));
}

TEST_F(DrawingCommandsTest, PictureChangesRunFromTheirKeysAsOneStepEach) {
    activate();
    shownCanvas().set(0, 0, true);
    shownCanvas().set(1, 0, true);
    const std::size_t steps = editor().history().undoCount();
    key(Qt::Key_Right, Qt::ControlModifier);
    EXPECT_FALSE(shownCanvas().isSet(0, 0));
    EXPECT_TRUE(shownCanvas().isSet(2, 0));
    key(Qt::Key_H);
    EXPECT_TRUE(shownCanvas().isSet(70, 0));
    EXPECT_TRUE(shownCanvas().isSet(69, 0));
    key(Qt::Key_R, Qt::ControlModifier);
    EXPECT_TRUE(shownCanvas().isSet(1, 13));
    EXPECT_EQ(editor().history().undoCount(), steps + 3);
    key(Qt::Key_Z, Qt::ControlModifier);
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(shownCanvas().isSet(2, 0));
    EXPECT_FALSE(shownCanvas().isSet(70, 0));
    // The canvas window shows the change at once.
    key(Qt::Key_I, Qt::ControlModifier | Qt::ShiftModifier);
    const QPoint cell = cellCentre(5, 5) - QPoint(CLogoWnd::kBorder, CLogoWnd::kBorder);
    EXPECT_EQ(canvas().clientImage().pixelColor(cell), QColor(Qt::black));
}

}  // namespace
}  // namespace pelorin::testing
