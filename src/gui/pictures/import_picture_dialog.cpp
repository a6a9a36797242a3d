#include "pictures/import_picture_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

#include "imageio/picture_io.h"
#include "pictures/picture_preview.h"

namespace pelorin {
namespace {

constexpr LogoKind kKinds[] = {LogoKind::Operator, LogoKind::Picture, LogoKind::LargeOperator};
constexpr FitMode kFits[] = {FitMode::Contain, FitMode::Cover, FitMode::Stretch};
constexpr Dither kDithers[] = {Dither::None, Dither::FloydSteinberg, Dither::Atkinson, Dither::Ordered};
constexpr int kEnlargement = 4;

template <typename T, std::size_t N>
int indexOf(const T (&values)[N], T value) {
    for (std::size_t i = 0; i < N; ++i)
        if (values[i] == value) return static_cast<int>(i);
    return 0;
}

}  // namespace

ImportPictureDialog::ImportPictureDialog(GreyImage picture, LogoKind kind, QWidget* parent)
    : QDialog(parent),
      picture_(std::move(picture)),
      pictureOtsu_(automaticThreshold(picture_, Dither::None)),
      kind_(kind),
      result_(sizeOf(kind)) {
    setWindowTitle(tr("Import picture"));
    const QSize largest(78, 28);
    actual_ = new PicturePreview(largest + QSize(8, 8), this);
    enlarged_ = new PicturePreview(largest * kEnlargement + QSize(8, 8), this);

    kindList_ = new QComboBox(this);
    kindList_->addItems(
        {tr("Operator logo (72 x 14)"), tr("Picture message (72 x 28)"), tr("62xx/71xx Operator logo (78 x 21)")});
    fitList_ = new QComboBox(this);
    fitList_->addItems({tr("Contain (whole picture)"), tr("Cover (fill, crop)"), tr("Stretch")});
    threshold_ = new QSlider(Qt::Horizontal, this);
    threshold_->setRange(0, 255);
    thresholdValue_ = new QLabel(this);
    thresholdValue_->setMinimumWidth(28);
    automatic_ = new QCheckBox(tr("&Automatic"), this);
    ditherList_ = new QComboBox(this);
    ditherList_->addItems({tr("None"), tr("Floyd-Steinberg"), tr("Atkinson"), tr("Ordered")});
    invert_ = new QCheckBox(tr("&Invert"), this);

    auto* previews = new QHBoxLayout;
    previews->addWidget(actual_, 0, Qt::AlignTop);
    previews->addWidget(enlarged_);
    auto* thresholdRow = new QHBoxLayout;
    thresholdRow->addWidget(threshold_, 1);
    thresholdRow->addWidget(thresholdValue_);
    thresholdRow->addWidget(automatic_);
    auto* form = new QFormLayout;
    // Each row has a key (Alt and the underlined letter).
    form->addRow(tr("&Canvas"), kindList_);
    form->addRow(tr("&Fit"), fitList_);
    form->addRow(tr("&Threshold"), thresholdRow);
    if (auto* label = qobject_cast<QLabel*>(form->labelForField(thresholdRow))) label->setBuddy(threshold_);
    form->addRow(tr("&Dithering"), ditherList_);
    form->addRow(QString(), invert_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(previews);
    layout->addLayout(form);
    layout->addWidget(buttons);

    // Only what the user does is answered; the program's own settings of the
    // controls happen with their signals blocked.
    const auto changedFit = [this] {
        transferFromControls();
        refit();
    };
    const auto changedTone = [this] {
        transferFromControls();
        retone();
    };
    connect(kindList_, &QComboBox::activated, this, changedFit);
    connect(fitList_, &QComboBox::activated, this, changedFit);
    connect(threshold_, &QSlider::valueChanged, this, changedTone);
    connect(automatic_, &QCheckBox::clicked, this, changedTone);
    connect(ditherList_, &QComboBox::activated, this, changedTone);
    connect(invert_, &QCheckBox::clicked, this, changedTone);

    transferToControls();
    refit();
}

void ImportPictureDialog::transferToControls() {
    const QSignalBlocker b1(kindList_), b2(fitList_), b3(threshold_), b4(automatic_), b5(ditherList_), b6(invert_);
    kindList_->setCurrentIndex(indexOf(kKinds, kind_));
    fitList_->setCurrentIndex(indexOf(kFits, options_.fit));
    automatic_->setChecked(!options_.tone.threshold.has_value());
    threshold_->setEnabled(options_.tone.threshold.has_value());
    ditherList_->setCurrentIndex(indexOf(kDithers, options_.tone.dither));
    invert_->setChecked(options_.tone.invert);
}

void ImportPictureDialog::transferFromControls() {
    kind_ = kKinds[kindList_->currentIndex()];
    options_.fit = kFits[fitList_->currentIndex()];
    if (automatic_->isChecked())
        options_.tone.threshold.reset();
    else
        options_.tone.threshold = threshold_->value();
    threshold_->setEnabled(!automatic_->isChecked());
    options_.tone.dither = kDithers[ditherList_->currentIndex()];
    options_.tone.invert = invert_->isChecked();
}

void ImportPictureDialog::refit() {
    const CanvasSize size = sizeOf(kind_);
    fitted_ = fitImage(picture_, size.width, size.height, options_.fit);
    retone();
}

void ImportPictureDialog::retone() {
    const ToneOptions tone = options_.tone.threshold
                                 ? options_.tone
                                 : ToneOptions{options_.tone.dither == Dither::None ? pictureOtsu_ : 128,
                                               options_.tone.dither, options_.tone.invert};
    result_ = toOneBit(fitted_, tone);
    // The slider shows the threshold in use, the automatic one too.
    const int shown = *tone.threshold;
    {
        const QSignalBlocker blocker(threshold_);
        threshold_->setValue(shown);
    }
    thresholdValue_->setNum(shown);
    actual_->show(imageio::canvasImage(result_, 1, imageio::Look::Plain));
    enlarged_->show(imageio::canvasImage(result_, kEnlargement, imageio::Look::PhoneScreen));
}

}  // namespace pelorin
