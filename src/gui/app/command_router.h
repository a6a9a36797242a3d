#pragma once

#include <array>
#include <functional>
#include <map>
#include <optional>

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

    void on(int id, std::function<void()> handler, State state = {}) {
        handlers_[id] = Entry{std::move(handler), std::move(state)};
    }
    bool handles(int id) const { return handlers_.contains(id); }
    void run(int id) const { handlers_.at(id).handler(); }
    // The state registered with the command, if any.
    std::optional<CommandState> stateOf(int id) const {
        const auto found = handlers_.find(id);
        if (found == handlers_.end() || !found->second.state) return std::nullopt;
        return found->second.state();
    }

private:
    struct Entry {
        std::function<void()> handler;
        State state;
    };
    std::map<int, Entry> handlers_;
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
    std::array<const CommandHandlers*, 4> targets_{};
    StateProvider stateProvider_;
};

}  // namespace pelorin
