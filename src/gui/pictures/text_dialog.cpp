#include "pictures/text_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFormLayout>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>

#include "imageio/font_text.h"
#include "imageio/picture_io.h"
#include "imaging/pixel_font.h"
#include "pictures/picture_preview.h"
#include "util/text.h"

namespace pelorin {
namespace {

constexpr CanvasSize kLargestBlock{78, 28};
constexpr int kEnlargement = 4;

}  // namespace

Canvas pixelFontBlock(const QString& text, const PixelFont& font, CanvasSize maxSize) {
    const std::u32string characters = decodeUtf8(text.toStdString());
    const TextExtent extent = measureText(font, characters);
    Canvas block(std::min(extent.width, maxSize.width), std::min(extent.height, maxSize.height));
    drawText(block, 0, 0, font, characters);
    return block;
}

TextDialog::TextDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("Text"));
    text_ = new QPlainTextEdit(this);
    text_->setFixedHeight(text_->fontMetrics().height() * 3 + 12);
    // Tab goes to the next control; a tab in the text would draw as "?".
    text_->setTabChangesFocus(true);
    text_->installEventFilter(this);
    fontList_ = new QComboBox(this);
    for (const PixelFont* font : pixelFonts())
        fontList_->addItem(tr("Pixel font %1").arg(QString::fromStdString(font->name())));
    fontList_->insertSeparator(fontList_->count());
    fontList_->addItems(QFontDatabase::families());
    fontList_->setMaxVisibleItems(16);
    fontList_->setCurrentIndex(1);  // 5x7
    height_ = new QSpinBox(this);
    height_->setRange(6, 28);
    height_->setValue(12);
    height_->setSuffix(tr(" pixels"));
    transparent_ = new QCheckBox(tr("T&ransparent: only the black pixels land"), this);
    transparent_->setObjectName(QStringLiteral("transparent"));
    preview_ = new PicturePreview(QSize(kLargestBlock.width, kLargestBlock.height) * kEnlargement + QSize(8, 8), this);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* form = new QFormLayout;
    form->addRow(tr("Text"), text_);
    form->addRow(tr("Font"), fontList_);
    form->addRow(tr("Height"), height_);
    form->addRow(QString(), transparent_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(preview_);
    layout->addWidget(buttons);

    connect(text_, &QPlainTextEdit::textChanged, this, [this] { render(); });
    connect(fontList_, &QComboBox::activated, this, [this] { render(); });
    connect(height_, &QSpinBox::valueChanged, this, [this] { render(); });
    render();
}

bool TextDialog::transparent() const { return transparent_->isChecked(); }

bool TextDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == text_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (enter && !(key->modifiers() & Qt::ShiftModifier) && !text_->toPlainText().contains('\n')) {
            accept();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TextDialog::render() {
    const int choice = fontList_->currentIndex();
    const int pixelFontCount = static_cast<int>(pixelFonts().size());
    const bool pixelFont = choice < pixelFontCount;
    height_->setEnabled(!pixelFont);
    const QString text = text_->toPlainText();
    result_ = pixelFont
                  ? pixelFontBlock(text, *pixelFonts()[static_cast<std::size_t>(choice)], kLargestBlock)
                  : imageio::renderInstalledFontText(fontList_->currentText(), height_->value(), text, kLargestBlock);
    preview_->show(imageio::canvasImage(result_, kEnlargement, imageio::Look::PhoneScreen));
}

}  // namespace pelorin
