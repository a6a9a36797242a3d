#pragma once

#include <QObject>
#include <QPointer>

class QWidget;

namespace pelorin {

// A double-click is two presses in one window. When the first press closes
// the window it landed in (a file chosen in the open-file dialog), the window
// system hands the rest of the click to whatever lies beneath: the release,
// then the second press as a double-click, which with the pen sets a stray
// pixel on the canvas. Installed on the application, this drops a
// double-click that began in another window, and a release whose press went
// to a window that has gone since; every other mouse event passes.
class DoubleClickGuard : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWidget> pressWindow_;  // the window of the latest press
    bool pressSeen_ = false;
    bool droppingRelease_ = false;  // the release of a dropped double-click
};

}  // namespace pelorin
