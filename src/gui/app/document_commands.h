#pragma once

#include <QWidget>
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "app/command_router.h"
#include "document/document_context.h"
#include "editor/pelorin_view.h"
#include "pictures/picture_commands.h"
#include "ringtone/ringtone.h"
#include "settings/recent_files.h"
#include "settings/settings_store.h"
#include "sms/send_worker.h"

namespace pelorin {

// The document's commands: File New, Open, Save and Import from phone, and
// Tools Settings; the pictures and text coming in and going out
// (PictureCommands). link: how the phone is reached (as for the sends).
class DocumentCommands {
public:
    DocumentCommands(CPelorinDoc& document, CPelorinView& view, UserMessages& messages, FileSystem& files,
                     SettingsStore& settings, QWidget* dialogParent, SendLink link = makeSerialSendLink());

    const CommandHandlers& commands() const { return commands_; }

    // Clears the canvas shown, drops any selection and shows the result.
    void fileNew();
    void fileOpen();
    void fileSave();
    // Asks for a name, always.
    void fileSaveAs();
    // File > Open Recent: the entry of that index, newest first.
    void openRecent(std::size_t index);
    std::vector<std::string> recentFiles() { return readRecentFiles(settings_); }
    // The file of a kind's canvas, empty while it has none.
    const std::string& documentPath(LogoKind kind) const { return paths_[static_cast<std::size_t>(kind) - 1]; }
    // "NAME - Pelorin 0.96 Beta", "*" after NAME while the canvas shown
    // differs from its file.
    std::string windowTitle() const;
    void settings();
    PictureCommands& pictures() { return pictures_; }

    // This run sends to the simulated phone on `port` (Settings says so).
    void setSimulatedPhonePort(std::string port, std::string centre = {}) {
        simulatedPort_ = std::move(port);
        simulatedCentre_ = std::move(centre);
    }
    void importFromPhone();
    // Shows a ringtone chosen in Import from phone (the Ringtone window).
    void setRingtoneOpener(std::function<void(ringtone::Ringtone)> open) { openRingtone_ = std::move(open); }

private:
    // A logo file was opened into the canvas shown: a Pelorin document names
    // the canvas (Save writes it again); every file goes first in the list.
    void opened(const std::string& path);
    void rememberRecent(const std::string& path);
    std::string& pathOfShown() { return paths_[static_cast<std::size_t>(view_.currentKind()) - 1]; }

    CPelorinDoc& document_;
    CPelorinView& view_;
    UserMessages& messages_;
    FileSystem& files_;
    SettingsStore& settings_;
    QWidget* dialogParent_;
    PictureCommands pictures_;
    SendLink link_;
    std::function<void(ringtone::Ringtone)> openRingtone_;
    CommandHandlers commands_;
    std::string simulatedPort_;
    std::string simulatedCentre_;
    std::array<std::string, 3> paths_;
};

}  // namespace pelorin
