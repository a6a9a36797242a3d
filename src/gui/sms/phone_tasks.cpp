#include "sms/phone_tasks.h"

#include <atomic>
#include <mutex>
#include <set>
#include <system_error>
#include <thread>

#include "platform/cancel_token.h"

namespace pelorin {

namespace {

std::atomic<int> running{0};
std::mutex tokensMutex;
std::multiset<std::shared_ptr<CancelToken>> runningTokens;

void forget(const std::shared_ptr<CancelToken>& token) {
    {
        const std::lock_guard lock(tokensMutex);
        const auto found = runningTokens.find(token);
        if (found != runningTokens.end()) runningTokens.erase(found);
    }
    running.fetch_sub(1);
}

}  // namespace

bool startPhoneTask(std::function<void(const CancelToken& cancel)> task, std::shared_ptr<CancelToken> cancel) {
    if (!cancel) cancel = std::make_shared<CancelToken>();
    running.fetch_add(1);
    {
        const std::lock_guard lock(tokensMutex);
        runningTokens.insert(cancel);
    }
    try {
        std::thread([task = std::move(task), cancel] {
            task(*cancel);
            forget(cancel);
        }).detach();
    } catch (const std::system_error&) {
        forget(cancel);
        return false;
    }
    return true;
}

void cancelPhoneTasks() {
    const std::lock_guard lock(tokensMutex);
    for (const auto& token : runningTokens) token->cancel();
}

int runningPhoneTasks() { return running.load(); }

}  // namespace pelorin
