#pragma once

#include <QMainWindow>
#include <QString>
#include <functional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "app/command_router.h"

class QAction;
class QMenu;

namespace pelorin {

// The main window: title, icon and the menus built from the command table,
// one action per command carrying its id (commands without a menu item too).
// Every action goes to the router; before a menu shows, and after every
// command, the router gives each item its state.
class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    explicit CMainFrame(const CommandRouter& router);

    // The action of a command id, or nullptr.
    QAction* action(int id) const;
    const std::vector<QMenu*>& menus() const { return menus_; }
    // The command bar's tooltip texts, in table order.
    const std::vector<QString>& tooltipTable() const { return tooltips_; }
    // The frame handles no command of its own.
    const CommandHandlers& commands() const { return commands_; }

    // Gives every item of the menu its enabled and checked state.
    void updateMenuStates(QMenu* menu);
    void updateAllMenuStates();
    // Runs after the menu states were given (after every command and edit).
    void setOnStatesUpdated(std::function<void()> onUpdated) { onStatesUpdated_ = std::move(onUpdated); }

    // Asked when the window is about to close (Exit, Ctrl+Q, the close
    // button); false keeps it open.
    void setCloseGuard(std::function<bool()> guard) { closeGuard_ = std::move(guard); }
    // Runs when the window closes for good.
    void setOnClose(std::function<void()> onClose) { onClose_ = std::move(onClose); }
    // What to do with a local file dropped on the window.
    // The names File > Open Recent lists, newest first.
    void setRecentFiles(std::function<std::vector<QString>()> names) { recentFiles_ = std::move(names); }
    QMenu* recentMenu() const { return recentMenu_; }
    void setFileDropHandler(std::function<void(const std::string&)> handler) { fileDropped_ = std::move(handler); }

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void buildMenus();
    // Gives the action its command id, sends it to the router and puts it on
    // the window.
    void wire(QAction* action, int id);
    // A new item of the menu that carries the command.
    QAction* addCommand(QMenu* menu, const QString& text, int id);
    // Gives the item the submenu of its entries in the command table, if any.
    void buildSubmenu(QAction* parent, int parentId);
    void loadTooltips();
    void buildRecentMenu(QMenu* parent, const QString& text);
    // The menu's items that carry a command, with their ids.
    const std::vector<std::pair<QAction*, int>>& commandItems(QMenu* menu);
    void updateRecentMenu();

    const CommandRouter& router_;
    std::vector<QMenu*> menus_;
    std::vector<QMenu*> submenus_;  // opened from an item of a menu
    std::vector<QString> tooltips_;
    CommandHandlers commands_;
    std::function<bool()> closeGuard_;
    std::function<void()> onClose_;
    std::function<void(const std::string&)> fileDropped_;
    std::function<std::vector<QString>()> recentFiles_;
    QMenu* recentMenu_ = nullptr;
    std::function<void()> onStatesUpdated_;
    // What states are given to after every command and edit, kept so that
    // doing so looks nothing up twice.
    struct MenuCommands {
        qsizetype listed = -1;
        std::vector<std::pair<QAction*, int>> commands;
    };
    std::unordered_map<QMenu*, MenuCommands> menuItems_;
    std::unordered_map<int, QAction*> actionsById_;  // the first action wired to each id
};

}  // namespace pelorin
