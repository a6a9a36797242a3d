#pragma once

#include <QEvent>
#include <functional>
#include <memory>

#include "sms/network_query.h"

namespace pelorin {

class CPelorinDoc;
class PostTarget;
class CancelToken;
struct SendLink;

// Asks the phone for its network (AT+COPS=3,2, AT+COPS?), blocking; ends
// early when the token is cancelled.
using NetworkAsker = std::function<NetworkQueryResult(const CancelToken& cancel)>;

// Asks on the port the sends of this run use (the link's own or the
// document's), reply-driven unless the document keeps the fixed waits; both
// are taken from the document now, not when the asker runs.
NetworkAsker makeNetworkAsker(const SendLink& link, const CPelorinDoc& doc);

// The answer, posted to the object that asked.
class NetworkQueryEvent final : public QEvent {
public:
    static const QEvent::Type kType;
    explicit NetworkQueryEvent(NetworkQueryResult result) : QEvent(kType), result_(std::move(result)) {}
    const NetworkQueryResult& result() const { return result_; }

private:
    NetworkQueryResult result_;
};

// Runs `asker` as a phone task (phone_tasks.h) with `cancel` as its token and
// posts its answer to `target` as a NetworkQueryEvent (dropped if the target
// has gone by then).
void startNetworkQuery(NetworkAsker asker, std::shared_ptr<CancelToken> cancel, std::shared_ptr<PostTarget> target);

}  // namespace pelorin
