#include "ringtone/ringtone_window.h"

#include <QAudioFormat>
#include <QAudioSink>
#include <QButtonGroup>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMediaDevices>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTextBlock>
#include <QVBoxLayout>

#include "app/qt_text.h"
#include "ringtone/ringtone_file.h"
#include "ringtone/smart_messaging.h"
#include "ringtone/sound.h"

namespace pelorin {

namespace {

using namespace pelorin::ringtone;

constexpr const char* kKeyNames[12] = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};
constexpr const char* kDurationNames[6] = {"1", "1/2", "1/4", "1/8", "1/16", "1/32"};
constexpr const char* kFileFilter = "Ringtones (*.rtttl *.txt *.ott *.mid *.midi);;All files (*)";
constexpr const char* kSaveFilter =
    "RTTTL (*.rtttl);;Smart Messaging (*.ott);;MIDI (*.mid);;iMelody (*.imy);;WAV sound (*.wav)";

}  // namespace

RingtoneWindow::RingtoneWindow(QWidget* parent, UserMessages& messages, FileSystem& files)
    : QDialog(parent), messages_(messages), files_(files) {
    setWindowTitle("Ringtone");
    setObjectName("ringtone-window");

    auto* buttons = new QHBoxLayout;
    const auto button = [this, buttons](const char* text, const char* name, auto slot) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(name);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, slot);
        buttons->addWidget(b);
        return b;
    };
    button("Open...", "ringtone-open", [this] {
        const QString path = QFileDialog::getOpenFileName(this, "Open ringtone", QString(), kFileFilter);
        if (!path.isEmpty()) openFile(path.toStdString());
    });
    button("Save...", "ringtone-save", [this] {
        const QString path = QFileDialog::getSaveFileName(this, "Save ringtone", QString(), kSaveFilter);
        if (!path.isEmpty()) saveFile(path.toStdString());
    });
    button("Play", "ringtone-play", [this] { play(); });
    button("Stop", "ringtone-stop", [this] { stop(); });
    button("Send...", "ringtone-send", [this] { send(); });
    buttons->addStretch();

    text_ = new QPlainTextEdit(this);
    text_->setObjectName("ringtone-text");
    connect(text_, &QPlainTextEdit::textChanged, this, [this] {
        if (!updating_) textEdited();
    });
    table_ = new QTableWidget(0, RingtoneEditing::kColumns, this);
    table_->setObjectName("ringtone-table");
    table_->setHorizontalHeaderLabels({"Note", "Octave", "Duration", "Dots"});
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    connect(table_, &QTableWidget::cellChanged, this, [this](int row, int column) {
        if (!updating_) cellEdited(row, column);
    });
    auto* sides = new QHBoxLayout;
    sides->addWidget(text_, 3);
    sides->addWidget(table_, 2);

    status_ = new QLabel(this);
    status_->setObjectName("ringtone-status");
    status_->setWordWrap(true);

    auto* lengths = new QHBoxLayout;
    durationGroup_ = new QButtonGroup(this);
    for (int k = 0; k < 6; ++k) {
        auto* b = new QPushButton(kDurationNames[k], this);
        b->setObjectName(QString("ringtone-duration-%1").arg(1 << k));
        b->setCheckable(true);
        b->setAutoDefault(false);
        b->setFocusPolicy(Qt::NoFocus);
        durationGroup_->addButton(b, k);
        durations_.push_back(b);
        lengths->addWidget(b);
    }
    connect(durationGroup_, &QButtonGroup::idClicked, this, [this](int id) { durationChosen(id); });
    dot_ = new QPushButton("Dotted", this);
    dot_->setObjectName("ringtone-dotted");
    dot_->setCheckable(true);
    dot_->setAutoDefault(false);
    dot_->setFocusPolicy(Qt::NoFocus);
    connect(dot_, &QPushButton::toggled, this, [this](bool on) { editing_.dots = on ? Dots::Dotted : Dots::None; });
    lengths->addWidget(dot_);
    auto* rest = new QPushButton("Rest", this);
    rest->setObjectName("ringtone-rest");
    rest->setAutoDefault(false);
    rest->setFocusPolicy(Qt::NoFocus);
    connect(rest, &QPushButton::clicked, this, [this] { pianoPressed(Pitch::Rest, octave_); });
    lengths->addWidget(rest);
    lengths->addStretch();

    piano_ = new QWidget(this);
    piano_->setObjectName("ringtone-piano");
    piano_->setFocusPolicy(Qt::StrongFocus);
    piano_->installEventFilter(this);
    auto* keys = new QGridLayout(piano_);
    keys->setSpacing(1);
    for (int octave = kFirstOctave; octave < kFirstOctave + 4; ++octave) {
        for (int k = 0; k < 12; ++k) {
            auto* key = new QPushButton(QString("%1%2").arg(kKeyNames[k]).arg(octave), piano_);
            key->setObjectName(QString("ringtone-key-%1%2").arg(QString(kKeyNames[k]).toLower()).arg(octave));
            key->setAutoDefault(false);
            key->setFocusPolicy(Qt::NoFocus);
            key->setMinimumWidth(30);
            const auto pitch = static_cast<Pitch>(k + 1);
            connect(key, &QPushButton::clicked, this, [this, pitch, octave] { pianoPressed(pitch, octave); });
            keys->addWidget(key, octave - kFirstOctave, k);
            keys_.push_back(key);
        }
    }

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addLayout(sides, 1);
    layout->addWidget(status_);
    layout->addLayout(lengths);
    layout->addWidget(piano_);
    durations_[2]->setChecked(true);
    refresh(true);
}

RingtoneWindow::~RingtoneWindow() { stop(); }

QPushButton* RingtoneWindow::pianoKey(int semitone, int octave) const {
    const int index = (octave - kFirstOctave) * 12 + semitone;
    return index >= 0 && index < static_cast<int>(keys_.size()) ? keys_[static_cast<std::size_t>(index)] : nullptr;
}

QPushButton* RingtoneWindow::durationButton(int index) const {
    return index >= 0 && index < 6 ? durations_[static_cast<std::size_t>(index)] : nullptr;
}

void RingtoneWindow::refresh(bool rewriteText) {
    updating_ = true;
    if (rewriteText) text_->setPlainText(toQString(editing_.text()));
    const auto& notes = editing_.ringtone().notes;
    table_->setRowCount(static_cast<int>(notes.size()));
    for (std::size_t row = 0; row < notes.size(); ++row) {
        const auto cells = RingtoneEditing::cells(notes[row]);
        for (int column = 0; column < RingtoneEditing::kColumns; ++column) {
            auto* item = new QTableWidgetItem(toQString(cells[static_cast<std::size_t>(column)]));
            table_->setItem(static_cast<int>(row), column, item);
        }
    }
    // The error's place in the text: its character underlined.
    QList<QTextEdit::ExtraSelection> marks;
    if (!editing_.readable()) {
        const QString whole = text_->toPlainText();
        // The position counts characters; QString counts UTF-16 units.
        qsizetype unit = 0;
        for (std::size_t character = 1; character < editing_.errorPosition() && unit < whole.size(); ++character)
            unit += whole.at(unit).isHighSurrogate() ? 2 : 1;
        QTextEdit::ExtraSelection mark;
        mark.cursor = QTextCursor(text_->document());
        mark.cursor.setPosition(static_cast<int>(std::min(unit, whole.size())));
        if (unit < whole.size()) {
            mark.cursor.setPosition(static_cast<int>(unit + 1), QTextCursor::KeepAnchor);
        } else if (unit > 0) {
            mark.cursor.setPosition(static_cast<int>(unit - 1), QTextCursor::KeepAnchor);
        }
        mark.format.setUnderlineStyle(QTextCharFormat::WaveUnderline);
        mark.format.setUnderlineColor(Qt::red);
        mark.format.setBackground(QColor(255, 220, 220));
        marks.push_back(mark);
        status_->setText(toQString(editing_.error()));
    } else {
        status_->setText(toQString(editing_.summary()));
    }
    text_->setExtraSelections(marks);
    updating_ = false;
}

void RingtoneWindow::textEdited() {
    editing_.setText(text_->toPlainText().toStdString());
    refresh(false);
}

void RingtoneWindow::cellEdited(int row, int column) {
    QTableWidgetItem* item = table_->item(row, column);
    if (item == nullptr) return;
    std::string why;
    if (editing_.setCell(static_cast<std::size_t>(row), column, item->text().trimmed().toStdString(), why)) {
        refresh(true);
        return;
    }
    updating_ = true;
    item->setBackground(QColor(255, 220, 220));
    item->setToolTip(toQString(why));
    updating_ = false;
    status_->setText(QString("Note %1: %2").arg(row + 1).arg(toQString(why)));
}

void RingtoneWindow::pianoPressed(Pitch pitch, int octave) {
    octave_ = octave;
    editing_.append(pitch, octave - kFirstOctave + 1);
    refresh(true);
}

void RingtoneWindow::durationChosen(int index) {
    editing_.duration = static_cast<Duration>(index);
    durations_[static_cast<std::size_t>(index)]->setChecked(true);
}

bool RingtoneWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched != piano_ || event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    static constexpr int kLetterSemitones[7] = {9, 11, 0, 2, 4, 5, 7};  // a b c d e f g
    const int code = key->key();
    if (code >= Qt::Key_A && code <= Qt::Key_G) {
        int semitone = kLetterSemitones[code - Qt::Key_A];
        if ((key->modifiers() & Qt::ShiftModifier) && semitone != 4 && semitone != 11) ++semitone;
        pianoPressed(static_cast<Pitch>(semitone + 1), octave_);
        return true;
    }
    if (code == Qt::Key_P) {
        pianoPressed(Pitch::Rest, octave_);
        return true;
    }
    if (code == Qt::Key_Up || code == Qt::Key_Down) {
        octave_ = std::clamp(octave_ + (code == Qt::Key_Up ? 1 : -1), kFirstOctave, kFirstOctave + 3);
        status_->setText(QString("Octave %1").arg(octave_));
        return true;
    }
    if (code >= Qt::Key_1 && code <= Qt::Key_6) {
        durationChosen(code - Qt::Key_1);
        return true;
    }
    if (code == Qt::Key_Period) {
        dot_->toggle();
        return true;
    }
    if (code == Qt::Key_Backspace) {
        editing_.removeLast();
        refresh(true);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

bool RingtoneWindow::openFile(const std::string& path) {
    const RingtoneFileReading reading = readRingtoneFile(files_, path);
    if (!reading.ringtone) {
        messages_.showMessage(reading.error);
        return false;
    }
    editing_.setRingtone(*reading.ringtone);
    refresh(true);
    return true;
}

void RingtoneWindow::showRingtone(ringtone::Ringtone tone) {
    editing_.setRingtone(std::move(tone));
    refresh(true);
}

bool RingtoneWindow::saveFile(const std::string& path) {
    if (!editing_.readable()) {
        messages_.showMessage(editing_.error());
        return false;
    }
    const std::string error = saveRingtoneFile(files_, path, editing_.ringtone());
    if (!error.empty()) {
        messages_.showMessage(error);
        return false;
    }
    return true;
}

void RingtoneWindow::send() {
    if (!editing_.readable()) {
        messages_.showMessage(editing_.error());
        return;
    }
    if (editing_.ringtone().notes.empty()) {
        messages_.showMessage("The ringtone has no notes to send");
        return;
    }
    const RingtoneBudget budget = editing_.budget();
    if (budget.messages == 0) {
        messages_.showMessage(budget.refusal);
        return;
    }
    if (send_) send_(encodeSmartMessaging(editing_.ringtone()));
}

void RingtoneWindow::play() {
    stop();
    if (!editing_.readable() || editing_.ringtone().notes.empty()) return;
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    QAudioFormat format;
    format.setSampleRate(kSampleRate);
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Int16);
    if (device.isNull() || !device.isFormatSupported(format)) {
        // Nothing failed: this machine has nowhere to play the tune.
        status_->setText("No sound device: the tune cannot be played here");
        return;
    }
    const std::vector<std::int16_t> wave = renderSquareWave(editing_.ringtone());
    samples_ = QByteArray(reinterpret_cast<const char*>(wave.data()), static_cast<qsizetype>(wave.size() * 2));
    buffer_.setData(samples_);
    buffer_.open(QIODevice::ReadOnly);
    sink_ = std::make_unique<QAudioSink>(device, format);
    sink_->start(&buffer_);
    status_->setText("Playing");
}

void RingtoneWindow::stop() {
    if (sink_) {
        sink_->stop();
        sink_.reset();
    }
    if (buffer_.isOpen()) buffer_.close();
}

}  // namespace pelorin
