#pragma once

#include <initializer_list>

class QCheckBox;
class QDialog;
class QGridLayout;
class QLineEdit;
class QPushButton;
class QWidget;

namespace pelorin {

// What the three send dialogs share: the caption "Send logo", "Send" (the
// default button) and "Cancel" wired to accept and reject, the number edit
// after its "To" label in row 0 of the grid, and the "Delivery report" box.
// Each dialog adds its own rows to the grid and then calls finish().
struct SendDialogControls {
    explicit SendDialogControls(QDialog& dialog);

    // Puts the report box under the grid's rows and Cancel and Send at the
    // bottom right; the tab order is Send, Cancel, then `fields`, so "Send" has
    // the focus when the dialog opens.
    void finish(QDialog& dialog, std::initializer_list<QWidget*> fields);

    QPushButton* send;
    QPushButton* cancel;
    QLineEdit* number;
    QCheckBox* report;
    QGridLayout* grid;
};

}  // namespace pelorin
