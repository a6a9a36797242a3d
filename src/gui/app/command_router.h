#pragma once

#include <array>
#include <functional>
#include <map>
#include <optional>
#include <unordered_map>

namespace pelorin {

// The state of a menu item before its menu shows. `checked` is empty for an
// item that never carries a check mark.
struct CommandState {
    bool enabled = true;
    std::optional<bool> checked;
};

// The commands one object handles: command id -> what to do, and, beside it,
// the item's state when it has one of its own.
class CommandHandlers {
public:
    using State = std::function<CommandState()>;
    struct Entry {
        std::function<void()> handler;
        State state;
    };

    void on(int id, std::function<void()> handler, State state = {}) {
        handlers_[id] = Entry{std::move(handler), std::move(state)};
        ++generation_;
    }
    bool handles(int id) const { return handlers_.contains(id); }
    void run(int id) const { handlers_.at(id).handler(); }
    // The state registered with the command, if any.
    std::optional<CommandState> stateOf(int id) const {
        const auto found = handlers_.find(id);
        if (found == handlers_.end() || !found->second.state) return std::nullopt;
        return found->second.state();
    }
    // The command's entry, or nullptr; valid until the next `on`.
    const Entry* find(int id) const {
        const auto found = handlers_.find(id);
        return found == handlers_.end() ? nullptr : &found->second;
    }
    // Changes with every registration.
    std::size_t generation() const { return generation_; }

private:
    std::map<int, Entry> handlers_;
    std::size_t generation_ = 0;
};

// Sends each command to the view, then the document, then the main frame, then
// the application: the first that handles the id takes it. A menu item's
// state comes from the state provider when one is set and answers, else from
// the state registered with the command that takes it; any other item is
// enabled.
class CommandRouter {
public:
    enum class Level { View = 0, Document = 1, Frame = 2, Application = 3 };
    using StateProvider = std::function<std::optional<CommandState>(int id)>;

    void setTarget(Level level, const CommandHandlers* handlers) { targets_[static_cast<int>(level)] = handlers; }
    void setStateProvider(StateProvider provider) { stateProvider_ = std::move(provider); }

    // Which level takes the id, if any.
    std::optional<Level> handlerOf(int id) const;
    // Runs the command; false when nobody handles it.
    bool dispatch(int id) const;
    CommandState stateOf(int id) const;

private:
    // Which level takes an id and its entry there, remembered because every
    // command and every edit asks the state of each menu item. Forgotten when
    // a target or a registration changes.
    struct Resolved {
        int level = -1;
        const CommandHandlers::Entry* entry = nullptr;
    };
    const Resolved& resolve(int id) const;

    std::array<const CommandHandlers*, 4> targets_{};
    StateProvider stateProvider_;
    mutable std::unordered_map<int, Resolved> resolved_;
    mutable std::array<const CommandHandlers*, 4> resolvedTargets_{};
    mutable std::array<std::size_t, 4> resolvedGenerations_{};
};

}  // namespace pelorin
