#include "dialogs/picture_send_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextDocument>
#include <algorithm>

#include "dialogs/dialog_text.h"
#include "dialogs/send_dialog_controls.h"
#include "document/user_messages.h"
#include "sms/encoding.h"
#include "sms/number_list.h"

namespace pelorin {

namespace {

// About a fifth of a picture message's text on one line.
constexpr int kTextBoxCharacters = 20;

}  // namespace

PictureSendDialog::PictureSendDialog(QWidget* parent, UserMessages& messages) : QDialog(parent), messages_(messages) {
    SendDialogControls controls(*this);
    numberEdit_ = controls.number;
    reportBox_ = controls.report;
    sendButton_ = controls.send;
    textEdit_ = new QPlainTextEdit(this);
    textEdit_->setObjectName("messageText");
    textEdit_->setTabChangesFocus(true);
    textEdit_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    textEdit_->installEventFilter(this);
    // Four lines of text, as a picture message's hundred characters take.
    const int margins = 2 * (textEdit_->frameWidth() + static_cast<int>(textEdit_->document()->documentMargin()));
    textEdit_->setFixedHeight(4 * textEdit_->fontMetrics().lineSpacing() + margins);
    // As wide as the number box, not the scroll area's default width.
    textEdit_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    textEdit_->setMinimumWidth(textEdit_->fontMetrics().averageCharWidth() * kTextBoxCharacters);
    controls.grid->addWidget(new QLabel(tr("Text"), this), 1, 0, Qt::AlignTop);
    controls.grid->addWidget(textEdit_, 1, 1);
    // The characters as they are typed, "37/100"; a 101st is taken back.
    countLabel_ = new QLabel(this);
    countLabel_->setObjectName("characterCount");
    controls.grid->addWidget(countLabel_, 1, 0, Qt::AlignBottom);
    connect(textEdit_, &QPlainTextEdit::textChanged, this, [this] { limitText(); });
    limitText();
    controls.finish(*this, {numberEdit_, textEdit_, reportBox_});
}

void PictureSendDialog::limitText() {
    const QList<uint> characters = textEdit_->toPlainText().toUcs4();
    if (characters.size() > static_cast<qsizetype>(kMaxPictureText)) {
        // What was typed or pasted past the limit goes; the cursor stays at
        // the end of what is kept.
        const QSignalBlocker quiet(textEdit_);
        const QList<uint> kept(characters.begin(), characters.begin() + static_cast<qsizetype>(kMaxPictureText));
        textEdit_->setPlainText(QString::fromUcs4(reinterpret_cast<const char32_t*>(kept.constData()), kept.size()));
        textEdit_->moveCursor(QTextCursor::End);
    }
    const auto count = std::min<qsizetype>(characters.size(), static_cast<qsizetype>(kMaxPictureText));
    countLabel_->setText(QStringLiteral("%1/%2").arg(count).arg(kMaxPictureText));
}

void PictureSendDialog::transferToControls() {
    numberEdit_->setText(toQString(number));
    textEdit_->setPlainText(toQString(messageText));
    reportBox_->setChecked(deliveryReport != 0);
}

void PictureSendDialog::transferFromControls() {
    number = toUtf8(numberEdit_->text());
    messageText = toUtf8(textEdit_->toPlainText());
    deliveryReport = reportBox_->isChecked() ? 1 : 0;
}

void PictureSendDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (opened_) return;
    opened_ = true;
    transferToControls();
    sendButton_->setFocus();
}

bool PictureSendDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == textEdit_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            sendButton_->click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void PictureSendDialog::accept() {
    transferFromControls();
    const NumberList list = ParseNumberList(number);
    if (!list.ok()) {
        messages_.showMessage(list.problem);
        numberEdit_->setFocus();
        return;
    }
    numbers = list.numbers;
    number = list.joined();
    // Characters as the user sees them, not UTF-16 units or bytes.
    if (textEdit_->toPlainText().toUcs4().size() > static_cast<qsizetype>(kMaxPictureText)) {
        messages_.showMessage(kPictureTextTooLongMessage);
        return;
    }
    QDialog::accept();
}

}  // namespace pelorin
