#include "app/main_frame.h"

#include <QAction>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHash>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>

#include "app/command_table.h"
#include "app/qt_text.h"
#include "app/table_keys.h"
#include "resources/app_icon.h"

namespace pelorin {

namespace {

int idOf(const QAction* action) { return action->data().toInt(); }

// The one local file a drop carries, or an empty text.
QString droppedFile(const QMimeData* data) {
    if (!data || !data->hasUrls() || data->urls().size() != 1) return {};
    const QUrl url = data->urls().front();
    return url.isLocalFile() ? url.toLocalFile() : QString();
}

}  // namespace

CMainFrame::CMainFrame(const CommandRouter& router) : router_(router) {
    setWindowTitle(toQString(command::kWindowTitle));
    setWindowIcon(appIcon());
    loadTooltips();
    buildMenus();
    setAcceptDrops(true);
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
    if (fileDropped_ && !droppedFile(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event) {
    const QString path = droppedFile(event->mimeData());
    if (path.isEmpty() || !fileDropped_) return;
    event->acceptProposedAction();
    fileDropped_(path.toStdString());
}

void CMainFrame::loadTooltips() {
    for (const auto text : command::kTooltips) tooltips_.push_back(toQString(text));
}

void CMainFrame::buildMenus() {
    for (const auto name : command::kMenus) {
        QMenu* menu = menuBar()->addMenu(toQString(name));
        menu->setObjectName(toQString(name));
        menus_.push_back(menu);
        connect(menu, &QMenu::aboutToShow, this, [this, menu] { updateMenuStates(menu); });
        for (const auto& item : command::kMenuItems) {
            if (item.menu != name) continue;
            if (item.id == command::kSeparator) {
                menu->addSeparator();
                continue;
            }
            if (item.id == command::kFileOpenRecent) {
                buildRecentMenu(menu, toQString(item.text));
                continue;
            }
            // Qt shows "&&" as a single "&", as the menu texts intend.
            buildSubmenu(addCommand(menu, toQString(item.text), item.id), item.id);
        }
    }
    // Commands that only keys reach have an action of their own on the window.
    for (const int id : command::kKeyOnlyCommands) wire(new QAction(this), id);
    for (const auto& accelerator : command::kAccelerators)
        action(accelerator.id)->setShortcut(QKeySequence(Qt::CTRL | static_cast<Qt::Key>(accelerator.key)));
    for (const auto& shortcut : command::kShortcuts) {
        QAction* target = action(shortcut.id);
        QList<QKeySequence> keys = target->shortcuts();
        keys.append(tableKeys(shortcut.keys));
        target->setShortcuts(keys);
    }
    // Every command's tooltip names its keys.
    const QList<QAction*> all = actions();
    QHash<QString, QList<QAction*>> byText;
    for (QAction* candidate : all) {
        byText[candidate->text()].append(candidate);
        const QList<QKeySequence> keys = candidate->shortcuts();
        if (keys.isEmpty()) continue;
        QStringList texts;
        for (const QKeySequence& key : keys) texts.append(key.toString(QKeySequence::NativeText));
        candidate->setToolTip(
            QStringLiteral("%1 (%2)").arg(candidate->text().remove('&'), texts.join(QStringLiteral(", "))));
    }
    // The tooltip texts that name a menu item go to it, except for the drawing
    // commands, whose tooltips keep naming their keys; the other texts have no
    // button here to show on.
    for (const QString& tip : tooltips_) {
        const auto found = byText.constFind(tip);
        if (found == byText.constEnd()) continue;
        for (QAction* candidate : *found)
            if (!command::tooltipNamesKeys(idOf(candidate)) || candidate->shortcuts().isEmpty())
                candidate->setToolTip(tip);
    }
}

void CMainFrame::buildSubmenu(QAction* parent, int parentId) {
    QMenu* submenu = nullptr;
    for (const auto& entry : command::kSubmenuItems) {
        if (entry.parent != parentId) continue;
        if (!submenu) {
            submenu = new QMenu(this);
            parent->setMenu(submenu);
            submenus_.push_back(submenu);
            connect(submenu, &QMenu::aboutToShow, this, [this, submenu] { updateMenuStates(submenu); });
        }
        addCommand(submenu, toQString(entry.text), entry.id);
    }
}

// The submenu's entries are commands of their own ids; their texts, the
// files' names, are given each time the submenu shows.
void CMainFrame::buildRecentMenu(QMenu* parent, const QString& text) {
    recentMenu_ = parent->addMenu(text);
    recentMenu_->setObjectName(QStringLiteral("Open Recent"));
    recentMenu_->menuAction()->setData(command::kFileOpenRecent);
    addAction(recentMenu_->menuAction());
    for (int i = 0; i < command::kRecentFileCount; ++i)
        addCommand(recentMenu_, QString(), command::kFileRecentFirst + i);
    connect(recentMenu_, &QMenu::aboutToShow, this, [this] { updateRecentMenu(); });
    updateRecentMenu();
}

void CMainFrame::updateRecentMenu() {
    const std::vector<QString> names = recentFiles_ ? recentFiles_() : std::vector<QString>{};
    for (int i = 0; i < command::kRecentFileCount; ++i) {
        QAction* entry = action(command::kFileRecentFirst + i);
        const bool used = static_cast<std::size_t>(i) < names.size();
        // "&1" to "&8": the digit chooses the entry; an "&" in a name shows as it is.
        if (used) entry->setText(QStringLiteral("&%1 %2").arg(i + 1).arg(QString(names[i]).replace('&', "&&")));
        entry->setVisible(used);
    }
    recentMenu_->menuAction()->setEnabled(!names.empty());
}

// The action is wired before it joins the menu, so that the menu hears of it
// once rather than of every setting.
QAction* CMainFrame::addCommand(QMenu* menu, const QString& text, int id) {
    auto* action = new QAction(text, menu);
    wire(action, id);
    menu->addAction(action);
    return action;
}

void CMainFrame::wire(QAction* action, int id) {
    action->setData(id);
    actionsById_.emplace(id, action);
    connect(action, &QAction::triggered, this, [this, id] {
        router_.dispatch(id);
        // What a command changed can enable or disable others (Undo, Redo),
        // also for their keys while no menu is open.
        updateAllMenuStates();
    });
    // Also on the window, so that its shortcut works while no menu is open.
    addAction(action);
}

QAction* CMainFrame::action(int id) const {
    if (const auto found = actionsById_.find(id); found != actionsById_.end()) return found->second;
    for (QAction* candidate : actions())
        if (idOf(candidate) == id) return candidate;
    return nullptr;
}

const std::vector<std::pair<QAction*, int>>& CMainFrame::commandItems(QMenu* menu) {
    // Menus are built once; a menu whose list of actions changed is read again.
    const QList<QAction*> actions = menu->actions();
    auto& items = menuItems_[menu];
    if (items.listed != actions.size()) {
        items.listed = actions.size();
        items.commands.clear();
        for (QAction* item : actions)
            if (!item->isSeparator() && !item->menu()) items.commands.emplace_back(item, idOf(item));
    }
    return items.commands;
}

void CMainFrame::updateMenuStates(QMenu* menu) {
    for (const auto& [item, id] : commandItems(menu)) {
        // The checked items of a menu are one choice (a tool, a canvas), which
        // the view keeps to one item. They are not put in an exclusive action
        // group: styles draw such items with round radio marks, and these
        // items carry check marks.
        const CommandState state = router_.stateOf(id);
        item->setEnabled(state.enabled);
        item->setCheckable(state.checked.has_value());
        item->setChecked(state.checked.value_or(false));
    }
}

void CMainFrame::updateAllMenuStates() {
    for (QMenu* menu : menus_) updateMenuStates(menu);
    for (QMenu* menu : submenus_) updateMenuStates(menu);
    if (recentMenu_) updateRecentMenu();
    if (onStatesUpdated_) onStatesUpdated_();
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (closeGuard_ && !closeGuard_()) {
        event->ignore();
        return;
    }
    if (onClose_) onClose_();
    event->accept();
}

}  // namespace pelorin
