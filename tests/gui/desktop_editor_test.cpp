// The editor as a desktop user meets it: undo and redo through the Edit menu
// and its keys, a window that grows, the wheel, the tool keys and the
// question before quitting with drawings not saved.
#include <QAction>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QWheelEvent>

#include "app/command_table.h"
#include "gui_fixture.h"
#include "modal.h"
#include "settings/window_placement.h"

namespace pelorin::testing {
namespace {

class DesktopEditorTest : public EditorFixture {
protected:
    QColor shownCell(int x, int y) {
        const QPoint p = cellCentre(x, y) - QPoint(CLogoWnd::kBorder, CLogoWnd::kBorder);
        return canvas().clientImage().pixelColor(p);
    }
    const Canvas& shownCanvas() { return app->document().canvas(editor().kind()); }
    QMenu* editMenu() { return frame().menus()[1]; }
    bool enabled(int id) {
        emit editMenu()->aboutToShow();
        return frame().action(id)->isEnabled();
    }
    void key(int keyCode, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(&frame(), static_cast<Qt::Key>(keyCode), modifiers);
    }
    void wheel(QPoint angle, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        const QPointF at(50, 50);
        QWheelEvent event(at, canvas().mapToGlobal(at), QPoint(), angle, Qt::NoButton, modifiers, Qt::NoScrollPhase,
                          false);
        QApplication::sendEvent(&canvas(), &event);
    }
    void rightStroke(QPoint from, QPoint to) {
        const auto send = [this](QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held) {
            QMouseEvent event(type, QPointF(at), QPointF(canvas().mapToGlobal(at)), button, held, Qt::NoModifier);
            QApplication::sendEvent(&canvas(), &event);
        };
        send(QEvent::MouseButtonPress, from, Qt::RightButton, Qt::RightButton);
        send(QEvent::MouseMove, to, Qt::NoButton, Qt::RightButton);
        send(QEvent::MouseButtonRelease, to, Qt::RightButton, Qt::NoButton);
    }
    void activate() {
        frame().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&frame()));
    }
};

TEST_F(DesktopEditorTest, CtrlZAndCtrlYUndoAndRedoThroughTheEditMenuEnabledOnlyWithAStep) {
    activate();
    ASSERT_EQ(editMenu()->title(), "Edit");
    EXPECT_FALSE(enabled(command::kEditUndo));
    EXPECT_FALSE(enabled(command::kEditRedo));

    stroke({cellCentre(2, 2), cellCentre(6, 2)});
    EXPECT_TRUE(frame().action(command::kEditUndo)->isEnabled());  // without opening the menu
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_FALSE(shownCanvas().isSet(4, 2));
    EXPECT_EQ(shownCell(4, 2), QColor(192, 192, 192));
    EXPECT_EQ(viewImage().pixelColor(88, 162), QColor(220, 220, 220));
    EXPECT_FALSE(enabled(command::kEditUndo));
    EXPECT_TRUE(enabled(command::kEditRedo));

    key(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_TRUE(shownCanvas().isSet(4, 2));
    EXPECT_EQ(shownCell(4, 2), QColor(0, 0, 0));
    EXPECT_FALSE(enabled(command::kEditRedo));
    key(Qt::Key_Z, Qt::ControlModifier);
    key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(shownCanvas().isSet(4, 2));

    // New is a step too; the menu item runs the same command as the key.
    frame().action(command::kFileNew)->trigger();
    EXPECT_FALSE(shownCanvas().isSet(4, 2));
    frame().action(command::kEditUndo)->trigger();
    EXPECT_TRUE(shownCanvas().isSet(4, 2));
}

TEST_F(DesktopEditorTest, AGrownWindowShowsMoreColumnsAndKeepsThePreviewCentredUnderTheCanvas) {
    EXPECT_EQ(frame().minimumSize(), frame().size());
    EXPECT_EQ(canvas().clientImage().size(), QSize(204, 124));  // beside the scroll bars
    editor().setOrigin({502, 0});

    frame().resize(frame().width() + 600, frame().height() + 100);
    QApplication::processEvents();
    // The whole canvas fits now: no scroll bars, the canvas window centred
    // in the 820 x 240 the layout gives it.
    EXPECT_EQ(canvas().clientImage().size(), QSize(720, 140));
    EXPECT_EQ(canvas().geometry(), QRect(59, 59, 722, 142));
    EXPECT_FALSE(view().horizontalBar().isVisible());
    EXPECT_EQ(editor().origin(), (Point{0, 0}));
    EXPECT_EQ(view().toolPalette().geometry(), QRect(310, 295, 220, 70));

    stroke({cellCentre(60, 3)});
    EXPECT_TRUE(shownCanvas().isSet(60, 3));
    EXPECT_EQ(shownCell(60, 3), QColor(0, 0, 0));
    // The preview moved right by half the extra width and down by the extra height.
    const QImage shot = viewImage();
    EXPECT_EQ(shot.pixelColor(384 + 60, 260 + 3), QColor(0, 0, 0));
    EXPECT_EQ(shot.pixelColor(382, 260), QColor(0, 0, 0));  // the frame's left line
    EXPECT_EQ(shot.pixelColor(384, 260), QColor(220, 220, 220));
}

TEST_F(DesktopEditorTest, TheWheelPansAndCtrlWheelZooms) {
    frame().action(command::kViewPicture)->trigger();
    wheel({0, -120});  // towards the user: down, three cells
    EXPECT_EQ(editor().origin(), (Point{0, 30}));
    wheel({0, -120}, Qt::ShiftModifier);
    EXPECT_EQ(editor().origin(), (Point{30, 30}));
    wheel({0, 240});
    EXPECT_EQ(editor().origin(), (Point{30, 0}));
    wheel({0, 120}, Qt::ControlModifier);
    EXPECT_EQ(editor().cellSize(), 11);
    wheel({0, -60}, Qt::ControlModifier);  // half a notch: nothing yet
    EXPECT_EQ(editor().cellSize(), 11);
    wheel({0, -300}, Qt::ControlModifier);
    EXPECT_EQ(editor().cellSize(), 8);
}

TEST_F(DesktopEditorTest, KeysChooseToolsZoomAndMoveALiftedSelection) {
    activate();
    const std::pair<Qt::Key, Tool> tools[] = {
        {Qt::Key_L, Tool::Line},   {Qt::Key_R, Tool::Rectangle}, {Qt::Key_F, Tool::Fill},     {Qt::Key_E, Tool::Eraser},
        {Qt::Key_M, Tool::Moving}, {Qt::Key_P, Tool::Pen},       {Qt::Key_S, Tool::Selection}};
    for (const auto& [keyCode, tool] : tools) {
        key(keyCode);
        EXPECT_EQ(palette().currentTool(), tool) << keyCode;
    }
    key(Qt::Key_Plus);
    EXPECT_EQ(editor().cellSize(), 11);
    key(Qt::Key_Minus, Qt::ControlModifier);
    key(Qt::Key_Minus);
    EXPECT_EQ(editor().cellSize(), 9);
    key(Qt::Key_Equal, Qt::ControlModifier);
    EXPECT_EQ(editor().cellSize(), 10);

    app->document().operatorCanvas.set(3, 3, true);
    stroke({cellCentre(2, 2), cellCentre(4, 4)});
    key(Qt::Key_Right);
    key(Qt::Key_Down);
    EXPECT_EQ(editor().selection(), (Rect{3, 3, 6, 6}));
    EXPECT_TRUE(shownCanvas().isSet(4, 4));
    key(Qt::Key_Z, Qt::ControlModifier);  // one step per key
    EXPECT_EQ(editor().selection(), (Rect{3, 2, 6, 5}));
    key(Qt::Key_Delete);
    EXPECT_TRUE(editor().selection().isEmpty());
    EXPECT_FALSE(shownCanvas().isSet(4, 3));
    stroke({cellCentre(10, 2), cellCentre(12, 4)});
    key(Qt::Key_Escape);
    EXPECT_TRUE(editor().selection().isEmpty());
}

TEST_F(DesktopEditorTest, TheRightButtonClearsAndTheSecondRowHoldsTheNewTools) {
    frame().action(command::kToolFill)->trigger();
    stroke({cellCentre(5, 5)});
    EXPECT_TRUE(std::all_of(shownCanvas().values().begin(), shownCanvas().values().end(),
                            [](std::int32_t v) { return v == 1; }));
    frame().action(command::kToolLine)->trigger();
    rightStroke(cellCentre(1, 1), cellCentre(9, 1));
    for (int x = 1; x <= 9; ++x) EXPECT_FALSE(shownCanvas().isSet(x, 1)) << x;
    EXPECT_TRUE(shownCanvas().isSet(10, 1));
    EXPECT_EQ(shownCell(5, 1), QColor(192, 192, 192));

    const QImage tools = palette().grab().toImage();
    QImage line(32, 32, QImage::Format_RGB32);
    line.fill(Qt::white);
    QPainter(&line).drawImage(0, 0, palette().secondRowImages()[1]);
    // The current tool in colour; its frame's bottom line and corners run
    // along the palette's last rows, over the button's transparent margin.
    EXPECT_EQ(tools.copy(2, 38, 32, 28), line.copy(0, 0, 32, 28));
    EXPECT_EQ(tools.pixelColor(0, 50), QColor(Qt::black));  // and framed
    // A grey picture for each tool not chosen, a coloured one for the chosen.
    const auto& pictures = palette().secondRowImages();
    ASSERT_EQ(pictures.size(), 6u);
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        const QImage& picture = pictures[i];
        bool coloured = false;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) {
                const QColor c = picture.pixelColor(x, y);
                coloured = coloured || (c.alpha() > 0 && (c.red() != c.green() || c.green() != c.blue()));
            }
        EXPECT_EQ(coloured, i % 2 == 1) << i;
        if (i % 2 == 1) {
            EXPECT_NE(picture, pictures[i - 1]) << i;
        }
    }
    EXPECT_EQ(CToolPaletteWnd::toolTipAt({80, 50}), "Fill (F)");
    EXPECT_EQ(CToolPaletteWnd::toolTipAt({3, 3}), "Pen (P)");
    EXPECT_EQ(CToolPaletteWnd::toolTipAt({150, 50}), "Zoom in (+)");
    EXPECT_EQ(CToolPaletteWnd::toolTipAt({36, 20}), "");
}

TEST_F(DesktopEditorTest, QuittingAsksOnlyWhenDrawingsAreNotSaved) {
    frame().action(command::kAppExit)->trigger();  // nothing drawn: no question
    EXPECT_FALSE(frame().isVisible());
    app->show();

    frame().action(command::kViewPicture)->trigger();
    stroke({cellCentre(1, 1)});
    QString question;
    bool quitIsDefault = false;
    onModal<QMessageBox>([&](QMessageBox* box) {
        question = box->text();
        quitIsDefault = box->defaultButton() && box->defaultButton()->text() == "Quit";
        QTest::keyClick(box, Qt::Key_Escape);  // Cancel
    });
    frame().action(command::kAppExit)->trigger();
    EXPECT_EQ(question, "Drawings that are not saved will be lost: Picture message.");
    EXPECT_TRUE(quitIsDefault);
    EXPECT_TRUE(frame().isVisible());

    onModal<QMessageBox>([](QMessageBox* box) { box->defaultButton()->click(); });
    EXPECT_TRUE(frame().close());
    EXPECT_FALSE(frame().isVisible());

    // The window's place is remembered for the next run.
    const auto placement = readWindowPlacement(settings);
    ASSERT_TRUE(placement.has_value());
    EXPECT_EQ(placement->frame.width(), frame().width());
    EXPECT_FALSE(placement->maximised);
}

}  // namespace
}  // namespace pelorin::testing
