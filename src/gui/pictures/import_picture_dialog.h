#pragma once

#include <QDialog>

#include "document/canvas.h"
#include "imaging/picture_to_logo.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QSlider;

namespace pelorin {

class PicturePreview;

// "Import picture": the picture as it will come out, at actual size and
// enlarged, with the target canvas, the fit, the threshold, the dithering and
// invert, all applied as they change. The result is read after OK.
class ImportPictureDialog : public QDialog {
    Q_OBJECT
public:
    ImportPictureDialog(GreyImage picture, LogoKind kind, QWidget* parent = nullptr);

    LogoKind kind() const { return kind_; }
    const PictureOptions& options() const { return options_; }
    const Canvas& result() const { return result_; }

    // The controls, for the tests.
    QComboBox* kindList() const { return kindList_; }
    QComboBox* fitList() const { return fitList_; }
    QSlider* thresholdSlider() const { return threshold_; }
    QCheckBox* automaticBox() const { return automatic_; }
    QComboBox* ditherList() const { return ditherList_; }
    QCheckBox* invertBox() const { return invert_; }
    PicturePreview* actualPreview() const { return actual_; }
    PicturePreview* enlargedPreview() const { return enlarged_; }

private:
    void transferToControls();
    void transferFromControls();
    // A change of canvas or fit fits the picture anew; every change turns it
    // to one bit and shows it.
    void refit();
    void retone();

    GreyImage picture_;
    int pictureOtsu_;  // the automatic threshold without dithering, found once
    GreyImage fitted_;
    LogoKind kind_;
    PictureOptions options_;
    Canvas result_;

    QComboBox* kindList_;
    QComboBox* fitList_;
    QSlider* threshold_;
    QLabel* thresholdValue_;
    QCheckBox* automatic_;
    QComboBox* ditherList_;
    QCheckBox* invert_;
    PicturePreview* actual_;
    PicturePreview* enlarged_;
};

}  // namespace pelorin
