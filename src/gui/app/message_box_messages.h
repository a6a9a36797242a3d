#pragma once

#include <QPointer>
#include <QWidget>

#include "document/user_messages.h"

class QMessageBox;

namespace pelorin {

// Widens a message box so that its whole title shows in the title bar (a
// short text would make the window manager cut it to "Pelorin…6 Beta").
void fitTitleOf(QMessageBox& box);

// Tells the user in a modal box with one OK button, titled with the
// program's title, over the main window.
class MessageBoxMessages : public UserMessages {
public:
    void setParent(QWidget* parent) { parent_ = parent; }
    void showMessage(const std::string& text) override;

private:
    QPointer<QWidget> parent_;
};

}  // namespace pelorin
