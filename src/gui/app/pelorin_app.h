#pragma once

#include <memory>
#include <optional>
#include <string>

#include "app/command_router.h"
#include "document/document.h"
#include "document/file_system.h"
#include "document/user_messages.h"
#include "imaging/grey_image.h"
#include "settings/settings_store.h"
#include "sms/send_worker.h"

namespace pelorin {

class CMainFrame;
class CPelorinView;
class DoubleClickGuard;
class DocumentCommands;
class SendCommands;
class RingtoneCommands;

// Starts the editor: parses the command line, builds the document, the main
// window and the view, and runs until the main window closes. Returns the
// process's exit status.
int runPelorin(int argc, char** argv);

// What the editor works with outside itself; the program passes the real
// ones, tests their own.
struct AppServices {
    SettingsStore& settings;
    UserMessages& messages;
    FileSystem& files;
    // How sends reach the phone; without an opener, the serial devices of
    // this computer at the real waits.
    SendLink send = {};
};

// The application: one document, one main window, one view, built in that
// order, and the routing of commands between them.
class CPelorinApp {
public:
    explicit CPelorinApp(AppServices services);
    ~CPelorinApp();
    CPelorinApp(const CPelorinApp&) = delete;
    CPelorinApp& operator=(const CPelorinApp&) = delete;

    CPelorinDoc& document() { return document_; }
    CMainFrame& frame() { return *frame_; }
    CPelorinView& view() { return *view_; }
    const CommandRouter& router() const { return router_; }
    DocumentCommands& documentCommands() { return *documentCommands_; }

    // Opens the file named on the command line. On failure returns false with
    // the reason in one line, and nothing has changed. A picture is read now
    // and brought in through the import dialog once the window shows.
    bool openAtStartup(const std::string& path, std::string& failure);
    // Shows the main window where it was last (group "Window" of the
    // settings, kept on a screen there is) and paints it at once.
    void show();
    // Before the window closes: true to go on. With drawings not saved the
    // user is asked first ("Quit" or "Cancel").
    bool confirmQuit();

    void about();
    void exit();

private:
    // Stores the window's place for the next run.
    void rememberWindow();

    AppServices services_;
    CommandRouter router_;
    CPelorinDoc document_;
    std::unique_ptr<CMainFrame> frame_;
    CPelorinView* view_ = nullptr;  // owned by the frame
    std::unique_ptr<DocumentCommands> documentCommands_;
    CommandHandlers commands_;
    std::unique_ptr<SendCommands> sendCommands_;
    std::unique_ptr<RingtoneCommands> ringtoneCommands_;
    std::unique_ptr<DoubleClickGuard> doubleClickGuard_;
    std::optional<GreyImage> startPicture_;
};

}  // namespace pelorin
