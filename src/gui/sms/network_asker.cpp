#include "sms/network_asker.h"

#include "document/document.h"
#include "platform/cancel_token.h"
#include "platform/serial_port.h"
#include "platform/sleeper.h"
#include "sms/phone_tasks.h"
#include "sms/post_target.h"
#include "sms/send_worker.h"

namespace pelorin {

const QEvent::Type NetworkQueryEvent::kType = static_cast<QEvent::Type>(QEvent::registerEventType());

NetworkAsker makeNetworkAsker(const SendLink& link, const CPelorinDoc& doc) {
    return
        [link, port = sendPortName(link, doc.comPort), replyDriven = doc.fixedWaits == 0](const CancelToken& cancel) {
            DialogueOptions options;
            options.replyDriven = replyDriven;
            options.cancel = &cancel;
            return QueryNetwork(port, *link.opener, *link.sleeper, options);
        };
}

void startNetworkQuery(NetworkAsker asker, std::shared_ptr<CancelToken> cancel, std::shared_ptr<PostTarget> target) {
    // The dialog's token is the task's, which a quit cancels too.
    auto run = [asker = std::move(asker), target](const CancelToken& token) {
        target->post(std::make_unique<NetworkQueryEvent>(asker(token)));
    };
    if (!startPhoneTask(std::move(run), std::move(cancel))) {
        NetworkQueryResult none;
        none.detail = "No thread could be started to ask the phone";
        target->post(std::make_unique<NetworkQueryEvent>(std::move(none)));
    }
}

}  // namespace pelorin
