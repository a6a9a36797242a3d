#include "app/message_box_messages.h"

#include <QMessageBox>

#include "app/command_table.h"

namespace pelorin {

void MessageBoxMessages::showMessage(const std::string& text) {
    const auto title =
        QString::fromUtf8(command::kWindowTitle.data(), static_cast<qsizetype>(command::kWindowTitle.size()));
    QMessageBox box(QMessageBox::NoIcon, title, QString::fromStdString(text), QMessageBox::Ok, parent_);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

}  // namespace pelorin
