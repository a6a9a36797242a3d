#include "app/shortcuts_dialog.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/command_table.h"

namespace pelorin {

namespace {

std::string keysOf(int id) {
    std::string keys;
    const auto add = [&keys](std::string_view key) {
        if (!keys.empty()) keys += ", ";
        keys += key;
    };
    for (const auto& accelerator : command::kAccelerators)
        if (accelerator.id == id) add(std::string("Ctrl+") + accelerator.key);
    for (const auto& shortcut : command::kShortcuts)
        if (shortcut.id == id) add(shortcut.keys);
    return keys;
}

// A menu text as it shows: "&&" is "&", a lone "&" marks the mnemonic.
std::string shownText(std::string_view text) {
    std::string shown;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size()) ++i;
        shown += text[i];
    }
    return shown;
}

}  // namespace

std::vector<ShortcutRow> shortcutRows() {
    std::vector<ShortcutRow> rows;
    for (const auto& item : command::kMenuItems) {
        if (item.id == command::kSeparator || item.id == command::kFileOpenRecent) continue;
        rows.push_back({std::string(item.menu) + " > " + shownText(item.text), keysOf(item.id)});
    }
    for (const auto& name : command::kKeyOnlyNames) rows.push_back({std::string(name.text), keysOf(name.id)});
    return rows;
}

void showShortcuts(QWidget* parent) {
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("shortcutsDialog"));
    dialog.setWindowTitle(QStringLiteral("Keyboard shortcuts"));
    const std::vector<ShortcutRow> rows = shortcutRows();
    auto* table = new QTableWidget(static_cast<int>(rows.size()), 2, &dialog);
    table->setHorizontalHeaderLabels({QStringLiteral("Command"), QStringLiteral("Keys")});
    table->verticalHeader()->hide();
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    for (int row = 0; row < static_cast<int>(rows.size()); ++row) {
        const auto& entry = rows[static_cast<std::size_t>(row)];
        table->setItem(row, 0, new QTableWidgetItem(QString::fromStdString(entry.command)));
        table->setItem(row, 1, new QTableWidgetItem(QString::fromStdString(entry.keys)));
    }
    table->resizeColumnsToContents();
    table->horizontalHeader()->setStretchLastSection(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(table);
    layout->addWidget(buttons);
    dialog.resize(460, 480);
    dialog.exec();
}

}  // namespace pelorin
