#include "support/unprivileged.h"

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <system_error>

namespace pelorin::testing {

namespace {

constexpr const char* kSetpriv = "/usr/bin/setpriv";
constexpr int kCannotSwitchUser = 77;

}  // namespace

UnprivilegedRun runUnprivileged(const std::function<std::string()>& body) {
    UnprivilegedRun run;
    if (::geteuid() != 0) {
        run.ran = true;
        run.failures = body();
        return run;
    }

    int report[2];
    if (::pipe(report) != 0) {
        run.skipReason = "no pipe to the unprivileged child";
        return run;
    }
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(report[0]);
        // Groups first: once the user is nobody, they can no longer be dropped.
        if (::setgroups(0, nullptr) != 0 || ::setgid(kNobodyId) != 0 || ::setuid(kNobodyId) != 0 ||
            ::getuid() != kNobodyId)
            ::_exit(kCannotSwitchUser);
        const std::string failures = body();
        for (std::size_t done = 0; done < failures.size();) {
            const ssize_t n = ::write(report[1], failures.data() + done, failures.size() - done);
            if (n <= 0) ::_exit(1);
            done += static_cast<std::size_t>(n);
        }
        ::_exit(0);  // no exit handlers: they belong to the parent
    }
    ::close(report[1]);
    if (pid < 0) {
        ::close(report[0]);
        run.skipReason = "cannot start a child process";
        return run;
    }
    std::string failures;
    char buffer[512];
    for (;;) {
        const ssize_t n = ::read(report[0], buffer, sizeof buffer);
        if (n > 0) {
            failures.append(buffer, static_cast<std::size_t>(n));
        } else if (n == 0 || errno != EINTR) {
            break;
        }
    }
    ::close(report[0]);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) == kCannotSwitchUser) {
        run.skipReason = "cannot switch to user nobody (uid 65534) here";
        return run;
    }
    run.ran = true;
    run.failures = failures;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) run.failures += "\nthe unprivileged child did not end normally";
    return run;
}

bool giveToUnprivilegedUser(const std::filesystem::path& path) {
    if (::geteuid() != 0) return true;
    return ::chown(path.c_str(), kNobodyId, kNobodyId) == 0;
}

std::vector<std::string> commandAsUnprivilegedUser(const std::string& program, std::vector<std::string> arguments) {
    if (::geteuid() != 0) {
        arguments.insert(arguments.begin(), program);
        return arguments;
    }
    if (::access(kSetpriv, X_OK) != 0) return {};
    const std::string id = std::to_string(kNobodyId);
    arguments.insert(arguments.begin(), {kSetpriv, "--reuid=" + id, "--regid=" + id, "--clear-groups", "--", program});
    return arguments;
}

bool unprivilegedUserCanRun(const std::string& program) {
    if (::geteuid() != 0) return true;
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(kNobodyId) != 0 || ::setuid(kNobodyId) != 0) ::_exit(1);
        ::_exit(::access(program.c_str(), X_OK) == 0 ? 0 : 1);
    }
    if (pid < 0) return false;
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

namespace {

// A folder of mode 0755 in the temporary folder, removed at exit.
struct ProgramCopies {
    std::filesystem::path folder;
    ProgramCopies() {
        std::string pattern = (std::filesystem::temp_directory_path() / "pelorin-programs-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) return;
        folder = pattern;
        std::filesystem::permissions(folder, std::filesystem::perms::owner_all | std::filesystem::perms::group_read |
                                                 std::filesystem::perms::group_exec |
                                                 std::filesystem::perms::others_read |
                                                 std::filesystem::perms::others_exec);
    }
    ~ProgramCopies() {
        std::error_code ignored;
        if (!folder.empty()) std::filesystem::remove_all(folder, ignored);
    }
};

}  // namespace

std::string reachableByUnprivilegedUser(const std::string& program) {
    if (unprivilegedUserCanRun(program)) return program;
    static ProgramCopies copies;
    if (copies.folder.empty()) return program;
    const std::filesystem::path copy = copies.folder / std::filesystem::path(program).filename();
    std::error_code failed;
    std::filesystem::copy_file(program, copy, std::filesystem::copy_options::overwrite_existing, failed);
    if (failed) return program;
    return copy.string();
}

}  // namespace pelorin::testing
