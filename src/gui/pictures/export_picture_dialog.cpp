#include "pictures/export_picture_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QSpinBox>

#include "document/import_file.h"

namespace pelorin {

ExportPictureDialog::ExportPictureDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("Export picture"));
    typeList_ = new QComboBox(this);
    typeList_->addItems({tr("PNG picture (*.png)"), tr("BMP picture (*.bmp)")});
    scale_ = new QSpinBox(this);
    scale_->setRange(1, 16);
    scale_->setValue(4);
    scale_->setSuffix(tr(" pixels a cell"));
    lookList_ = new QComboBox(this);
    lookList_->addItems({tr("Black on white"), tr("Phone screen")});
    // Some programs that send pictures to phones take only bitmaps of 1 bit a
    // pixel: black on white, as a BMP.
    oneBit_ = new QCheckBox(tr("1 bit a pixel (a monochrome bitmap)"), this);
    const auto updateOneBit = [this] {
        oneBit_->setEnabled(typeList_->currentIndex() == 1 && lookList_->currentIndex() == 0);
    };
    connect(typeList_, &QComboBox::currentIndexChanged, this, updateOneBit);
    connect(lookList_, &QComboBox::currentIndexChanged, this, updateOneBit);
    updateOneBit();
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* form = new QFormLayout(this);
    form->addRow(tr("Type"), typeList_);
    form->addRow(tr("Scale"), scale_);
    form->addRow(tr("Look"), lookList_);
    form->addRow(QString(), oneBit_);
    form->addRow(buttons);
}

std::string ExportPictureDialog::format() const { return typeList_->currentIndex() == 1 ? "bmp" : "png"; }
int ExportPictureDialog::scale() const { return scale_->value(); }
bool ExportPictureDialog::oneBit() const { return oneBit_->isEnabled() && oneBit_->isChecked(); }
imageio::Look ExportPictureDialog::look() const {
    return lookList_->currentIndex() == 1 ? imageio::Look::PhoneScreen : imageio::Look::Plain;
}

std::string withPictureExtension(const std::string& path, const std::string& format) {
    const auto extension = importExtension(path);
    const auto slash = path.find_last_of('/');
    const auto dot = path.find_last_of('.');
    const bool dotInName = dot != std::string::npos && (slash == std::string::npos || dot > slash);
    if (dotInName && (extension == "png" || extension == "bmp")) return path.substr(0, dot + 1) + format;
    return path + "." + format;
}

}  // namespace pelorin
