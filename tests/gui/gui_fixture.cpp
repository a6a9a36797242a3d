#include "gui_fixture.h"

#include <QApplication>

#include "gui_test_helpers.h"
#include "platform/serial_port.h"
#include "platform/sleeper.h"
#include "sms/send_worker.h"

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

void PhoneEditorFixture::SetUp() { startWithPhone(std::make_shared<ScaledSleeper>(0.1), {"--quiet"}); }

void PhoneEditorFixture::startWithPhone(std::shared_ptr<Sleeper> sleeper, const QStringList& phoneOptions) {
    QString why;
    phone = SimulatedPhone::start(PELORIN_PHONE_PATH, QString::fromStdString(store.path().string()), why, phoneOptions);
    ASSERT_TRUE(phone) << why.toStdString();
    SendLink link{makePosixSerialPortOpener(), std::move(sleeper), phone->port().toStdString()};
    app = std::make_unique<CPelorinApp>(AppServices{settings, messages, files, link});
    app->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&app->frame()));
}

void PhoneEditorFixture::TearDown() {
    EXPECT_TRUE(waitUntil([] { return runningSendWorkers() == 0; }, 5000));
    EditorFixture::TearDown();
}

}  // namespace pelorin::testing
