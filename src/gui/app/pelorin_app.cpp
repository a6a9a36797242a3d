#include "app/pelorin_app.h"

#include <unistd.h>

#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <cstdlib>
#include <cstring>
#include <iostream>

#include "app/about_dialog.h"
#include "app/command_line.h"
#include "app/command_table.h"
#include "app/document_commands.h"
#include "app/double_click_guard.h"
#include "app/main_frame.h"
#include "app/message_box_messages.h"
#include "app/qt_settings_store.h"
#include "app/qt_text.h"
#include "app/quit_on_signals.h"
#include "app/shortcuts_dialog.h"
#include "document/import_file.h"
#include "document/posix_file_system.h"
#include "editor/layout.h"
#include "editor/pelorin_view.h"
#include "editor/qt_geometry.h"
#include "editor/unsaved_drawings.h"
#include "imageio/picture_io.h"
#include "resources/app_icon.h"
#include "ringtone/ringtone_commands.h"
#include "settings/line_settings.h"
#include "settings/window_placement.h"
#include "sms/phone_import.h"
#include "sms/phone_tasks.h"
#include "sms/send_commands.h"
#include "sms/send_worker.h"
#include "sms/simulated_phone.h"

namespace pelorin {

namespace {

// The longest the program waits at its end for a send worker to close its
// port: a cancelled worker stops within a read (100 ms) or a stalled write.
constexpr int kWorkerExitWaitMs = 10'000;

// Without a window system Qt would stop the program with a long complaint;
// tell the user in one line instead.
bool displayAvailable(int argc, char** argv) {
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    if (std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY") || std::getenv("QT_QPA_PLATFORM")) return true;
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "-platform") == 0) return true;
    return false;
#else
    (void)argc;
    (void)argv;
    return true;
#endif
}

}  // namespace

CPelorinApp::CPelorinApp(AppServices services)
    : services_(services), document_(services.settings), frame_(std::make_unique<CMainFrame>(router_)) {
    readLineSettings(document_, services_.settings);
    view_ = new CPelorinView(document_, frame_.get());
    frame_->setCentralWidget(view_);
    const SendLink link = services_.send.opener ? services_.send : makeSerialSendLink();
    documentCommands_ = std::make_unique<DocumentCommands>(document_, *view_, services_.messages, services_.files,
                                                           services_.settings, frame_.get(), link);
    documentCommands_->setSimulatedPhonePort(services_.send.portOverride, services_.send.centreOverride);
    sendCommands_ = std::make_unique<SendCommands>(view_, document_, services_.settings, services_.messages, link);
    view_->setSendCommands(sendCommands_.get());
    ringtoneCommands_ =
        std::make_unique<RingtoneCommands>(frame_.get(), *sendCommands_, services_.messages, services_.files);
    ringtoneCommands_->registerIn(commands_);
    documentCommands_->setRingtoneOpener([this](ringtone::Ringtone tone) { ringtoneCommands_->open(std::move(tone)); });
    commands_.on(command::kAppAbout, [this] { about(); });
    commands_.on(command::kAppExit, [this] { exit(); });

    view_->toolPalette().setTextCommand([this] { router_.dispatch(command::kText); });
    frame_->setFileDropHandler(
        [this](const std::string& path) { documentCommands_->pictures().openDroppedFile(path); });
    router_.setTarget(CommandRouter::Level::View, &view_->commands());
    router_.setTarget(CommandRouter::Level::Document, &documentCommands_->commands());
    router_.setTarget(CommandRouter::Level::Frame, &frame_->commands());
    router_.setTarget(CommandRouter::Level::Application, &commands_);
    commands_.on(command::kHelpAbout, [this] { about(); });
    commands_.on(command::kHelpShortcuts, [this] { showShortcuts(frame_.get()); });
    // The title names the canvas's file, with "*" while it differs from it.
    frame_->setOnStatesUpdated(
        [this] { frame_->setWindowTitle(QString::fromStdString(documentCommands_->windowTitle())); });
    frame_->setRecentFiles([this] {
        std::vector<QString> names;
        for (const std::string& path : documentCommands_->recentFiles())
            names.push_back(QFile::decodeName(QByteArray::fromStdString(path)));
        return names;
    });
    // Menu states come with the commands' registrations.
    frame_->updateAllMenuStates();
    view_->logoWnd().setOnEdited([this] { frame_->updateAllMenuStates(); });
    frame_->setCloseGuard([this] { return confirmQuit(); });
    frame_->setOnClose([this] { rememberWindow(); });
    // The window opens at its default size, which is also its smallest.
    frame_->setMinimumSize(frame_->minimumSizeHint());
    frame_->resize(frame_->minimumSize());
    // Closing a window on a press must not let the rest of a double-click
    // reach the editor beneath it.
    doubleClickGuard_ = std::make_unique<DoubleClickGuard>();
    QCoreApplication::instance()->installEventFilter(doubleClickGuard_.get());
}

CPelorinApp::~CPelorinApp() = default;

bool CPelorinApp::openAtStartup(const std::string& path, std::string& failure) {
    if (!services_.files.openForReading(path)) {
        failure = message::withPath(message::kFailedToOpenForReading, path);
        return false;
    }
    if (imageio::opensAsPicture(services_.files, path)) {
        auto read = imageio::readPicture(services_.files, path);
        if (!read.picture) {
            failure = read.error;
            return false;
        }
        startPicture_ = std::move(read.picture);
        return true;
    }
    // The error is printed rather than shown in a box, as no window is up yet.
    const ImportResult read = readLogoFile(services_.files, path);
    switch (read.outcome) {
        case ImportOutcome::Imported:
        case ImportOutcome::KindChangedOnly:
            // The document as it opens: nothing to undo.
            view_->editor().applyImport(read, std::nullopt);
            return true;
        case ImportOutcome::Failed:
            failure = read.errorLine(path);
            return false;
        case ImportOutcome::Ignored:
            // A name without an extension says nothing of what the file holds.
            failure = path + ": " + std::string(message::kUnsupportedFileFormat);
            return false;
    }
    return false;
}

void CPelorinApp::show() {
    const auto placement = readWindowPlacement(services_.settings);
    if (placement) {
        std::vector<Rect> screens;
        for (const QScreen* screen : QGuiApplication::screens())
            screens.push_back(fromQRect(screen->availableGeometry()));
        const QSize minimum = frame_->minimumSize();
        frame_->setGeometry(toQRect(placeOnScreens(placement->frame, screens, {minimum.width(), minimum.height()})));
    }
    if (!placement) {
        // The first start: large enough for the whole operator logo at the
        // default zoom, where the screen has room for it.
        const Size view = firstStartViewSize(CanvasEditor::kDefaultCellSize, CLogoWnd::kBorder);
        QSize wanted =
            frame_->minimumSize() + QSize(view.width - kDefaultViewSize.width, view.height - kDefaultViewSize.height);
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            wanted = wanted.boundedTo(screen->availableGeometry().size() -
                                      (frame_->frameGeometry().size() - frame_->size()));
        frame_->resize(wanted.expandedTo(frame_->minimumSize()));
    }
    if (placement && placement->maximised)
        frame_->showMaximized();
    else
        frame_->show();
    frame_->repaint();
    if (startPicture_) {
        // Once the event loop runs, over the window.
        QTimer::singleShot(0, frame_.get(), [this] {
            const GreyImage picture = std::move(*startPicture_);
            startPicture_.reset();
            documentCommands_->pictures().importGreyPicture(picture);
        });
    }
}

bool CPelorinApp::confirmQuit() {
    const auto kinds = view_->editor().unsavedKinds();
    if (kinds.empty()) return true;
    const auto title = toQString(command::kWindowTitle);
    QMessageBox box(QMessageBox::Question, title, QString::fromStdString(unsavedDrawingsQuestion(kinds)),
                    QMessageBox::NoButton, frame_.get());
    QPushButton* quit = box.addButton(QStringLiteral("Quit"), QMessageBox::AcceptRole);
    QPushButton* cancel = box.addButton(QStringLiteral("Cancel"), QMessageBox::RejectRole);
    box.setDefaultButton(quit);
    box.setEscapeButton(cancel);
    fitTitleOf(box);
    box.exec();
    return box.clickedButton() == quit;
}

void CPelorinApp::rememberWindow() {
    const bool maximised = frame_->isMaximized();
    const QRect normal = maximised ? frame_->normalGeometry() : frame_->geometry();
    writeWindowPlacement(services_.settings, {fromQRect(normal), maximised});
}

void CPelorinApp::about() {
    AboutDialog dialog(frame_.get());
    dialog.exec();
}

void CPelorinApp::exit() { frame_->close(); }

int runPelorin(int argc, char** argv) {
    std::vector<std::string> rawArgs(argv + 1, argv + argc);
    // Help and version need no window system.
    const StartupRequest early = parseCommandLine(rawArgs);
    if (early.action == StartupRequest::Action::ShowHelp) {
        std::cout << helpText();
        return 0;
    }
    if (early.action == StartupRequest::Action::ShowVersion) {
        std::cout << versionText();
        return 0;
    }
    if (!displayAvailable(argc, argv)) {
        std::cerr << "pelorin: no display to show the editor on (neither DISPLAY nor WAYLAND_DISPLAY is set)\n";
        return 1;
    }

    QApplication qtApp(argc, argv);
    // The settings store is named before anything reads a setting.
    QCoreApplication::setOrganizationName(QtSettingsStore::kOrganisation);
    QCoreApplication::setApplicationName(QtSettingsStore::kApplication);
    QApplication::setWindowIcon(appIcon());
    // The name of the installed desktop entry (dist/), by which the desktop
    // finds the program's menu entry and icon for its windows.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.pelorin"));

    // Qt has taken its own options out of argc and argv by now. The rest are
    // read as the bytes they are: a file name need not be valid in any
    // encoding, and QCoreApplication::arguments() would have decoded it.
    const StartupRequest request = parseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (request.action == StartupRequest::Action::Error) {
        std::cerr << "pelorin: " << request.error << '\n';
        return 2;
    }

    // The simulated phone outlives the editor's windows and is stopped when
    // the editor closes; its port is used for this run only, not stored.
    std::unique_ptr<SimulatedPhone> phone;
    SendLink sendLink = makeSerialSendLink();
    if (request.simulatedPhone) {
        QString why;
        // Registered with a network and filing what it is sent, and an SMS
        // centre on loopback beside its terminal (startForEditor).
        phone = SimulatedPhone::startForEditor(simulatedPhoneBesideEditor(),
                                               QString::fromStdString(*request.simulatedPhone), why);
        if (!phone) {
            std::cerr << "pelorin: no simulated phone: " << why.toStdString() << '\n';
            return 1;
        }
        std::cout << "pelorin: simulated phone on " << phone->devicePath().toStdString()
                  << ", storing what it receives in " << phone->storeDir().toStdString() << std::endl;
        std::cout << "pelorin: simulated SMS centre at " << phone->centreAddress().toStdString() << " (password "
                  << SimulatedPhone::kCentrePassword << ")" << std::endl;
        sendLink.portOverride = phone->port().toStdString();
        sendLink.centreOverride = phone->centreAddress().toStdString();
        sendLink.centrePassword = SimulatedPhone::kCentrePassword;
    }

    QtSettingsStore settings;
    MessageBoxMessages messages;
    PosixFileSystem files;
    CPelorinApp app({settings, messages, files, sendLink});
    messages.setParent(&app.frame());
    if (request.file) {
        std::string failure;
        if (!app.openAtStartup(*request.file, failure)) {
            std::cerr << "pelorin: " << failure << '\n';
            return 1;
        }
    }
    // A quit asked for by a signal waits for the phone tasks to give their
    // ports back; a task still running after the loop is stopped and waited
    // for too.
    QuitOnSignals quitOnSignals([](int status) { QCoreApplication::exit(status); });
    app.show();
    const int status = qtApp.exec();
    cancelPhoneTasks();
    for (int waited = 0; runningPhoneTasks() != 0 && waited < kWorkerExitWaitMs; waited += 10) ::usleep(10'000);
    return status;
}

}  // namespace pelorin
