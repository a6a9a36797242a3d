#pragma once

#include <QEvent>
#include <optional>
#include <string>
#include <utility>

namespace pelorin {

// The send worker's messages to the user-interface thread. Each keeps the name
// and number of the private window message it stands for (0x80000001 to
// 0x80000005; 0x80000004 is the PIN request's); as Qt event types they are QEvent::User plus the low part of
// that number, because Qt's range for user events ends at 65535.
inline constexpr unsigned kSendStatusMessage = 0x80000001u;
inline constexpr unsigned kSendEndMessage = 0x80000002u;
inline constexpr unsigned kSendCaptionMessage = 0x80000003u;
inline constexpr unsigned kSendRecipientMessage = 0x80000005u;

constexpr QEvent::Type sendEventType(unsigned message) {
    return static_cast<QEvent::Type>(QEvent::User + static_cast<int>(message & 0xFFFFu));
}

// A status line for the progress dialog, or the outcome of the job for the
// receiver that shows it.
inline constexpr QEvent::Type WM_SEND_STATUS = sendEventType(kSendStatusMessage);
// The job has ended: the progress dialog closes.
inline constexpr QEvent::Type WM_SEND_END = sendEventType(kSendEndMessage);
// A new caption for the progress dialog.
inline constexpr QEvent::Type WM_SEND_CAPTION = sendEventType(kSendCaptionMessage);
// Which of several numbers the job is sending to ("Sending to 2 of 3").
inline constexpr QEvent::Type WM_SEND_RECIPIENT = sendEventType(kSendRecipientMessage);

// One posted message. It owns its text (UTF-8), which goes with the event
// when the receiver is done with it; a message may come without a text.
class SendEvent final : public QEvent {
public:
    explicit SendEvent(Type type, std::optional<std::string> text = std::nullopt)
        : QEvent(type), text_(std::move(text)) {}

    const std::optional<std::string>& text() const { return text_; }

private:
    std::optional<std::string> text_;
};

}  // namespace pelorin
