#include "app/about_dialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>

#include "app/command_table.h"
#include "app/qt_text.h"
#include "resources/app_icon.h"

namespace pelorin {

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("About Pelorin"));
    setWindowIcon(appIcon());

    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("icon"));
    icon->setPixmap(QPixmap::fromImage(appIconImage(32)));
    icon->setAlignment(Qt::AlignTop);
    // Plain text: an "&" here is shown as it is, never taken as a mnemonic.
    auto* version = new QLabel(QStringLiteral("Pelorin Version ") + toQString(command::kVersionText), this);
    version->setObjectName(QStringLiteral("version"));
    version->setTextFormat(Qt::PlainText);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QGridLayout(this);
    layout->setHorizontalSpacing(14);
    layout->addWidget(icon, 0, 0, 2, 1);
    layout->addWidget(version, 0, 1);
    layout->setRowStretch(1, 1);
    layout->addWidget(buttons, 2, 0, 1, 2);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace pelorin
