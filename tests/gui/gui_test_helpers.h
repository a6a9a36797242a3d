#pragma once

// Helpers for driving the editor's dialogs as a user would: waiting for a
// modal dialog to come up, picking a list item with the mouse, and a message
// box stand-in that records what it was asked to show.

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QTest>
#include <QTimer>
#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "document/user_messages.h"
#include "sms/send_progress_dialog.h"

namespace pelorin::testing {

// Whether any progress dialog object exists right now.
inline bool progressDialogExists() {
    for (QWidget* widget : QApplication::allWidgets())
        if (qobject_cast<SendProgressDialog*>(widget) != nullptr) return true;
    return false;
}

// Records each message and whether a progress dialog still existed then.
class WatchingMessages final : public UserMessages {
public:
    void showMessage(const std::string& text) override {
        shown.push_back(text);
        progressDialogAtShow.push_back(progressDialogExists());
    }
    std::vector<std::string> shown;
    std::vector<bool> progressDialogAtShow;
};

// Runs the event loop until `done` holds or `timeoutMs` passes.
inline bool waitUntil(const std::function<bool()>& done, int timeoutMs = 20000) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QTest::qWait(2);
    }
    return true;
}

// Once a modal dialog of type T is up, runs `action` on it (from the dialog's
// own event loop, as a user would act on it).
template <class T>
void whenModal(std::function<void(T&)> action) {
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, action] {
        auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
        if (dialog == nullptr || !dialog->isVisible()) return;
        timer->stop();
        timer->deleteLater();
        action(*dialog);
    });
    timer->start();
}

template <class W>
W* child(QWidget& parent, const char* name) {
    W* found = parent.findChild<W*>(name);
    EXPECT_NE(found, nullptr) << name;
    return found;
}

// Opens the list's popup, walks to the item with `text` with the arrow keys
// and takes it with Enter, as a keyboard user picks an entry.
inline void pickItem(QComboBox* list, const QString& text) {
    const int position = list->findText(text);
    ASSERT_GE(position, 0) << text.toStdString();
    list->setFocus();
    list->showPopup();
    QAbstractItemView* view = list->view();
    ASSERT_TRUE(view->isVisible());
    if (!view->currentIndex().isValid()) QTest::keyClick(view, Qt::Key_Home);
    while (view->currentIndex().row() < position) QTest::keyClick(view, Qt::Key_Down);
    while (view->currentIndex().row() > position) QTest::keyClick(view, Qt::Key_Up);
    QTest::keyClick(view, Qt::Key_Return);
    EXPECT_FALSE(view->isVisible());
}

// Replaces an edit's text by typing: select all, then the keys.
template <class Edit>
void retype(Edit* edit, const QString& text) {
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}

}  // namespace pelorin::testing
