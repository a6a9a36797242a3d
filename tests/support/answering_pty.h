#pragma once

#include <atomic>
#include <string>
#include <thread>

namespace pelorin::testing {

// A pseudo-terminal whose far end answers every command line (up to CR) with
// one fixed reply, or never answers when the reply is empty: a stand-in for
// phones that pelorin-phone does not imitate.
class AnsweringPty {
public:
    explicit AnsweringPty(std::string reply);
    ~AnsweringPty();
    AnsweringPty(const AnsweringPty&) = delete;
    AnsweringPty& operator=(const AnsweringPty&) = delete;

    const std::string& devicePath() const { return path_; }

private:
    void serve();

    std::string reply_;
    std::string path_;
    int master_ = -1;
    int slave_ = -1;  // kept open so the line stays up between openers
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

}  // namespace pelorin::testing
