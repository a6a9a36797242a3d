#pragma once

#include <QDialog>

#include "document/canvas.h"

class QCheckBox;
class QComboBox;
class QPlainTextEdit;
class QSpinBox;

namespace pelorin {

class PicturePreview;

// "Text": the text, a font (our pixel fonts, then the installed ones at a
// pixel height, without antialiasing) and a live preview. The result is the
// text as a block of cells, at most as large as the largest canvas.
class TextDialog : public QDialog {
    Q_OBJECT
public:
    explicit TextDialog(QWidget* parent = nullptr);

    const Canvas& result() const { return result_; }
    // Only the text's set cells land on the canvas.
    bool transparent() const;
    QCheckBox* transparentBox() const { return transparent_; }

    QPlainTextEdit* textEdit() const { return text_; }
    QComboBox* fontList() const { return fontList_; }
    QSpinBox* heightBox() const { return height_; }
    PicturePreview* preview() const { return preview_; }

protected:
    // Enter in a text of one line is OK; Shift+Enter starts a new line.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void render();

    Canvas result_{0, 0};
    QPlainTextEdit* text_;
    QComboBox* fontList_;
    QSpinBox* height_;
    QCheckBox* transparent_;
    PicturePreview* preview_;
};

// The text in a pixel font as a block of cells, cut to at most maxSize.
Canvas pixelFontBlock(const QString& text, const class PixelFont& font, CanvasSize maxSize);

}  // namespace pelorin
