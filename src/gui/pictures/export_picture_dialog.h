#pragma once

#include <QDialog>
#include <string>

#include "imageio/picture_io.h"

class QCheckBox;
class QComboBox;
class QSpinBox;

namespace pelorin {

// "Export picture": the file type (PNG or BMP), the scale (1 to 16 pixels a
// cell) and the look (black on white, or a phone screen); a black-on-white
// BMP may be written at 1 bit a pixel.
class ExportPictureDialog : public QDialog {
    Q_OBJECT
public:
    explicit ExportPictureDialog(QWidget* parent = nullptr);

    std::string format() const;  // "png" or "bmp"
    int scale() const;
    imageio::Look look() const;
    bool oneBit() const;  // a 1-bit BMP: checked, with BMP and black on white

    QComboBox* typeList() const { return typeList_; }
    QSpinBox* scaleBox() const { return scale_; }
    QComboBox* lookList() const { return lookList_; }
    QCheckBox* oneBitBox() const { return oneBit_; }

private:
    QComboBox* typeList_;
    QSpinBox* scale_;
    QComboBox* lookList_;
    QCheckBox* oneBit_;
};

// The path with the extension of the format: an extension of either picture
// type is replaced, any other name gets one.
std::string withPictureExtension(const std::string& path, const std::string& format);

}  // namespace pelorin
