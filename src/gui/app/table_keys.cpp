#include "app/table_keys.h"

#include <array>
#include <optional>

#include "app/qt_text.h"

namespace pelorin {

namespace {

struct NamedKey {
    std::string_view name;
    Qt::Key key;
};
constexpr std::array<NamedKey, 8> kNamedKeys = {{
    {"Left", Qt::Key_Left},
    {"Right", Qt::Key_Right},
    {"Up", Qt::Key_Up},
    {"Down", Qt::Key_Down},
    {"Del", Qt::Key_Delete},
    {"Esc", Qt::Key_Escape},
    {"Tab", Qt::Key_Tab},
    {"Space", Qt::Key_Space},
}};

std::optional<Qt::Key> keyNamed(std::string_view name) {
    if (name.size() == 1) {
        const char c = name.front();
        if (c >= 'A' && c <= 'Z') return static_cast<Qt::Key>(Qt::Key_A + (c - 'A'));
        if (c >= '0' && c <= '9') return static_cast<Qt::Key>(Qt::Key_0 + (c - '0'));
        if (c == '+') return Qt::Key_Plus;
        if (c == '-') return Qt::Key_Minus;
        if (c == '=') return Qt::Key_Equal;
        return std::nullopt;
    }
    if (name.size() >= 2 && name.size() <= 3 && name.front() == 'F') {
        int number = 0;
        for (char c : name.substr(1)) {
            if (c < '0' || c > '9') return std::nullopt;
            number = number * 10 + (c - '0');
        }
        if (number >= 1 && number <= 12) return static_cast<Qt::Key>(Qt::Key_F1 + number - 1);
        return std::nullopt;
    }
    for (const auto& named : kNamedKeys)
        if (named.name == name) return named.key;
    return std::nullopt;
}

}  // namespace

QKeySequence tableKeys(std::string_view keys) {
    Qt::KeyboardModifiers modifiers;
    std::string_view rest = keys;
    // The modifiers come first, each with its "+"; what is left is the key,
    // which may itself be "+".
    for (bool more = true; more;) {
        more = false;
        for (const auto& [prefix, modifier] : {std::pair{std::string_view("Ctrl+"), Qt::ControlModifier},
                                               std::pair{std::string_view("Shift+"), Qt::ShiftModifier},
                                               std::pair{std::string_view("Alt+"), Qt::AltModifier}}) {
            if (rest.size() > prefix.size() && rest.starts_with(prefix)) {
                modifiers |= modifier;
                rest.remove_prefix(prefix.size());
                more = true;
            }
        }
    }
    if (const auto key = keyNamed(rest)) return QKeySequence(QKeyCombination(modifiers, *key));
    return QKeySequence::fromString(toQString(keys), QKeySequence::PortableText);
}

}  // namespace pelorin
