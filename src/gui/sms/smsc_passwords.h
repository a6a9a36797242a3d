#pragma once

#include <map>
#include <optional>
#include <string>

class QWidget;

namespace pelorin {

// The passwords of the SMS centres this run sends through. Each is looked
// for in this order: what this run already knows, the desktop's secret
// store (through QtKeychain, under the centre's address), and the user, in
// a password dialog. A password the user gives is kept in memory for the
// rest of the run, and in the secret store when there is one; never in the
// settings file. Without a secret service it is therefore asked once a run.
class SmscPasswords {
public:
    // Nothing when the user cancels the dialog.
    std::optional<std::string> passwordFor(QWidget* parent, const std::string& address);

    // The centre refused it: dropped from this run and from the secret store.
    void forget(const std::string& address);

    // Times the dialog was shown in this run (for tests).
    int asked() const { return asked_; }

private:
    std::map<std::string, std::string> known_;
    int asked_ = 0;
};

// The name the secret store keeps the centres' passwords under.
inline constexpr const char* kSecretStoreService = "org.example.pelorin";

}  // namespace pelorin
