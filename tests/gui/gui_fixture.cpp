#include "gui_fixture.h"

#include <QApplication>

namespace pelorin::testing {

void sendMouse(QWidget& widget, QEvent::Type type, QPoint at, Qt::MouseButtons held) {
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, QPointF(at), QPointF(widget.mapToGlobal(at)), button, held, Qt::NoModifier);
    QApplication::sendEvent(&widget, &event);
}

void EditorFixture::SetUp() {
    app = std::make_unique<CPelorinApp>(AppServices{settings, messages, files});
    app->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&app->frame()));
    // The tests work in the smallest window unless they say otherwise.
    app->frame().resize(app->frame().minimumSize());
    QApplication::processEvents();
}

QPoint EditorFixture::cellCentre(int x, int y) {
    const int size = editor().cellSize();
    const Point origin = editor().origin();
    return {CLogoWnd::kBorder + x * size - origin.x + size / 2, CLogoWnd::kBorder + y * size - origin.y + size / 2};
}

void EditorFixture::stroke(const std::vector<QPoint>& points) {
    sendMouse(canvas(), QEvent::MouseButtonPress, points.front(), Qt::LeftButton);
    for (std::size_t i = 1; i < points.size(); ++i) sendMouse(canvas(), QEvent::MouseMove, points[i], Qt::LeftButton);
    sendMouse(canvas(), QEvent::MouseButtonRelease, points.back(), Qt::NoButton);
}

}  // namespace pelorin::testing
