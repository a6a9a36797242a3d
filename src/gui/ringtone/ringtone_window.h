#pragma once

#include <QBuffer>
#include <QDialog>
#include <functional>
#include <memory>
#include <vector>

#include "document/file_system.h"
#include "document/user_messages.h"
#include "ringtone/ringtone_editing.h"

class QAudioSink;
class QButtonGroup;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;

namespace pelorin {

// The Ringtone window: the RTTTL text and the table of notes side by side,
// either one editable, the other following; an error shown at its place
// (underlined in the text, the cell marked in the table) and in the line
// below; a piano row of 12 notes in 4 octaves and the duration buttons;
// Play and Stop; Open, Save and Send. The piano takes keys too when it has
// the focus: c d e f g a b a note (Shift for the sharp), p a rest, Up and
// Down the octave, 1 to 6 the duration (a whole to a thirty-second), "." the
// dot, Backspace removes the last note.
class RingtoneWindow : public QDialog {
    Q_OBJECT
public:
    RingtoneWindow(QWidget* parent, UserMessages& messages, FileSystem& files);
    ~RingtoneWindow() override;

    // Send: the octets of a tune that fits, handed to the send command.
    void setSendHandler(std::function<void(std::vector<std::uint8_t>)> handler) { send_ = std::move(handler); }

    // Open and Save without their file dialogs; a failure is one message.
    bool openFile(const std::string& path);
    // Shows a tune from elsewhere (a phone's inbox).
    void showRingtone(ringtone::Ringtone tone);
    bool saveFile(const std::string& path);
    // Sends the tune, or says why it cannot go.
    void send();
    void play();
    void stop();

    const ringtone::RingtoneEditing& editing() const { return editing_; }
    QPlainTextEdit* textEdit() const { return text_; }
    QTableWidget* table() const { return table_; }
    QLabel* status() const { return status_; }
    QWidget* piano() const { return piano_; }
    QPushButton* pianoKey(int semitone, int octave) const;
    QPushButton* durationButton(int index) const;
    QPushButton* dotButton() const { return dot_; }
    int octave() const { return octave_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void textEdited();
    void cellEdited(int row, int column);
    void pianoPressed(ringtone::Pitch pitch, int octave);
    void durationChosen(int index);
    // Shows the editing's state: text (unless it came from there), table,
    // the error's place and the summary.
    void refresh(bool rewriteText);

    UserMessages& messages_;
    FileSystem& files_;
    ringtone::RingtoneEditing editing_;
    std::function<void(std::vector<std::uint8_t>)> send_;
    QPlainTextEdit* text_;
    QTableWidget* table_;
    QLabel* status_;
    QWidget* piano_;
    std::vector<QPushButton*> keys_;       // 12 a row, octave 4 first
    std::vector<QPushButton*> durations_;  // a whole to a thirty-second
    QPushButton* dot_;
    QButtonGroup* durationGroup_;
    int octave_ = 5;
    bool updating_ = false;
    QBuffer buffer_;
    QByteArray samples_;
    std::unique_ptr<QAudioSink> sink_;
};

}  // namespace pelorin
