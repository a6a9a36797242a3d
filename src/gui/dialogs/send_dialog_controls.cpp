#include "dialogs/send_dialog_controls.h"

#include <QCheckBox>
#include <QDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "dialogs/dialog_text.h"

namespace pelorin {

SendDialogControls::SendDialogControls(QDialog& dialog)
    : send(new QPushButton(QDialog::tr("Send"), &dialog)),
      cancel(new QPushButton(QDialog::tr("Cancel"), &dialog)),
      number(new QLineEdit(&dialog)),
      report(new QCheckBox(QDialog::tr("Delivery report"), &dialog)),
      grid(new QGridLayout) {
    dialog.setWindowTitle(toQString(kSendDialogCaption));
    send->setObjectName("send");
    cancel->setObjectName("cancel");
    number->setObjectName("number");
    report->setObjectName("deliveryReport");
    send->setDefault(true);
    grid->addWidget(new QLabel(QDialog::tr("To"), &dialog), 0, 0);
    grid->addWidget(number, 0, 1, 1, -1);
    QObject::connect(send, &QPushButton::clicked, &dialog, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
}

void SendDialogControls::finish(QDialog& dialog, std::initializer_list<QWidget*> fields) {
    grid->addWidget(report, grid->rowCount(), 1, 1, -1, Qt::AlignRight);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cancel);
    buttons->addWidget(send);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    // No bigger than its rows need.
    layout->setSizeConstraint(QLayout::SetFixedSize);

    QWidget* previous = cancel;
    QWidget::setTabOrder(send, cancel);
    for (QWidget* field : fields) {
        QWidget::setTabOrder(previous, field);
        previous = field;
    }
}

}  // namespace pelorin
