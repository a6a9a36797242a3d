#pragma once

#include <sys/types.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace pelorin::testing {

// The user the unprivileged checks run as when the tests run as root.
constexpr uid_t kNobodyId = 65534;

struct UnprivilegedRun {
    bool ran = false;
    std::string skipReason;  // why it did not run
    std::string failures;    // what the body reported; empty when all went well
};

// Runs body as an ordinary user: in a child process switched to user and
// group nobody (no other groups) when this process is root, here otherwise.
// The body returns a description of what went wrong, empty when nothing did.
UnprivilegedRun runUnprivileged(const std::function<std::string()>& body);

// Hands path to user nobody when this process is root, so that the
// unprivileged user owns it; does nothing otherwise. false on a failure.
bool giveToUnprivilegedUser(const std::filesystem::path& path);

// The program and arguments that run program as user nobody through setpriv
// when this process is root, or as they are otherwise. Empty when root lacks
// setpriv.
std::vector<std::string> commandAsUnprivilegedUser(const std::string& program, std::vector<std::string> arguments);

// Whether user nobody can run program from where it lies: a build tree under
// a folder of mode 0700 (root's home) cannot be reached by nobody's children,
// although setpriv, which switches user after its own checks, still starts it.
// Always true when this process is not root.
bool unprivilegedUserCanRun(const std::string& program);

// program itself when user nobody can run it; otherwise a copy of it in a
// folder nobody can reach, removed when this process ends.
std::string reachableByUnprivilegedUser(const std::string& program);

}  // namespace pelorin::testing
