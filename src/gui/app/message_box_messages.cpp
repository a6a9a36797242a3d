#include "app/message_box_messages.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>
#include <QStyle>

#include "app/command_table.h"
#include "app/qt_text.h"

namespace pelorin {

void fitTitleOf(QMessageBox& box) {
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (!grid) return;
    // The title bar's font, and room for its buttons and icon on each side.
    const QFontMetrics metrics(QApplication::font("QMdiSubWindowTitleBar"));
    const int buttons = 4 * box.style()->pixelMetric(QStyle::PM_TitleBarHeight);
    const int width = metrics.horizontalAdvance(box.windowTitle()) + buttons;
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Minimum), grid->rowCount(), 0, 1,
                  grid->columnCount());
}

void MessageBoxMessages::showMessage(const std::string& text) {
    const auto title = toQString(command::kWindowTitle);
    QMessageBox box(QMessageBox::NoIcon, title, QString::fromStdString(text), QMessageBox::Ok, parent_);
    box.setTextFormat(Qt::PlainText);
    fitTitleOf(box);
    box.exec();
}

}  // namespace pelorin
