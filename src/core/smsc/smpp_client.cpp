#include "smsc/smpp_client.h"

#include <deque>
#include <map>
#include <thread>
#include <unordered_map>

#include "smsc/smpp_connection.h"

namespace pelorin::smsc {

namespace {

using Clock = std::chrono::steady_clock;

bool sleepFor(std::chrono::milliseconds duration, const CancelToken* cancel) {
    const auto until = Clock::now() + duration;
    while (Clock::now() < until) {
        if (isCancelled(cancel)) return false;
        std::this_thread::sleep_for(std::min<Clock::duration>(until - Clock::now(), std::chrono::milliseconds(50)));
    }
    return !isCancelled(cancel);
}

class Session {
public:
    Session(const SmscAddress& address, const std::string& password, const SmppOptions& options,
            const std::vector<SmppItem>& items, SmppListener& listener)
        : address_(address), password_(password), options_(options), items_(items), listener_(listener) {}

    std::string run() {
        for (std::size_t i = 0; i < items_.size(); ++i) pending_.push_back(i);
        if (std::string why = bind(); !why.empty()) return why;
        throttleDelay_ = options_.throttleFirst;
        while (!pending_.empty() || !outstanding_.empty()) {
            if (isCancelled(options_.cancel)) return stop("stopped");
            if (!connection_.isOpen()) {
                if (std::string why = reconnect(); !why.empty()) return stop(why);
            }
            if (!sendWindow()) return stop("the journal cannot be written");
            if (!readOne(std::chrono::milliseconds(50))) lost();
        }
        waitReceipts();
        unbind();
        return "";
    }

private:
    std::string bind() {
        std::string why;
        if (!connection_.open(address_.host, address_.port, why)) return why;
        BindFields bind{options_.waitReceiptsSeconds > 0, address_.systemId, password_, address_.systemType};
        const std::uint32_t sequence = next();
        if (!connection_.send(encodeBind(bind, sequence))) return "the SMS centre closed the connection at the bind";
        const auto until = Clock::now() + std::chrono::seconds(10);
        while (Clock::now() < until) {
            Header header;
            std::vector<std::uint8_t> body;
            if (!connection_.receive(std::chrono::milliseconds(200), header, body)) {
                connection_.close();
                return std::string(kBindDroppedReason);
            }
            if (header.length == 0) continue;
            if (header.sequence != sequence) continue;
            if (header.status != kStatusOk || header.id == command::kGenericNack) {
                connection_.close();
                return std::string(kBindRefusedReason) + statusText(header.status);
            }
            return "";
        }
        connection_.close();
        return "the SMS centre did not answer the bind";
    }

    std::string reconnect() {
        std::string why = "the connection to the SMS centre was lost";
        for (const auto delay : options_.reconnectDelays) {
            if (!sleepFor(delay, options_.cancel)) return "stopped";
            why = bind();
            if (why.empty()) return "";
            if (why.rfind("the SMS centre refused the bind", 0) == 0) return why;
        }
        return why;
    }

    // Everything still outstanding is unknown; what was not sent stays unsent.
    std::string stop(const std::string& why) {
        for (const auto& [sequence, index] : outstanding_) listener_.unknown(items_[index].key);
        outstanding_.clear();
        if (connection_.isOpen()) unbind();
        return why;
    }

    void lost() {
        connection_.close();
        for (const auto& [sequence, index] : outstanding_) listener_.unknown(items_[index].key);
        outstanding_.clear();
    }

    std::uint32_t next() {
        sequence_ = sequence_ >= 0x7FFFFFFF ? 1 : sequence_ + 1;
        return sequence_;
    }

    bool sendWindow() {
        if (pending_.empty() || !connection_.isOpen() || Clock::now() < throttledUntil_) return true;
        const std::size_t window = std::max<std::size_t>(1, options_.window);
        const std::size_t free = window > outstanding_.size() ? window - outstanding_.size() : 0;
        // Whole windows: the journal is flushed once for as many parts as the
        // window holds rather than once for a few. The centre's answers to a
        // window come back together, so the line idles no longer for it.
        const std::size_t wanted = std::min(pending_.size(), window);
        if (free == 0 || (free < wanted && !outstanding_.empty())) return true;
        std::vector<std::size_t> batch;
        while (batch.size() < free && !pending_.empty()) {
            batch.push_back(pending_.front());
            pending_.pop_front();
        }
        std::vector<std::size_t> keys;
        keys.reserve(batch.size());
        for (std::size_t index : batch) keys.push_back(items_[index].key);
        if (!listener_.beforeWindow(keys)) {
            for (auto index = batch.rbegin(); index != batch.rend(); ++index) pending_.push_front(*index);
            return false;
        }
        // Without a rate the window's submits are written in one go, so that
        // they travel together; with one, each waits for its turn.
        const bool paced = options_.rate > 0;
        windowBytes_.clear();
        std::vector<std::uint32_t> sequences;
        std::vector<std::size_t> ends;  // where each submit ends in windowBytes_
        sequences.reserve(batch.size());
        ends.reserve(batch.size());
        for (std::size_t n = 0; n < batch.size(); ++n) {
            if (paced) {
                const auto now = Clock::now();
                if (nextSend_ > now) std::this_thread::sleep_for(nextSend_ - now);
                nextSend_ = std::max(nextSend_, now) + std::chrono::duration_cast<Clock::duration>(
                                                           std::chrono::duration<double>(1.0 / options_.rate));
                windowBytes_.clear();
            }
            const std::uint32_t sequence = next();
            sequences.push_back(sequence);
            outstanding_[sequence] = batch[n];
            sentAt_[sequence] = Clock::now();
            const auto pdu = encodeSubmit(items_[batch[n]].fields, sequence);
            windowBytes_.insert(windowBytes_.end(), pdu.begin(), pdu.end());
            ends.push_back(windowBytes_.size());
            if (!paced && n + 1 < batch.size()) continue;
            std::size_t written = 0;
            if (!connection_.sendAll(windowBytes_.data(), windowBytes_.size(), &written)) {
                // The submit being written when the line went, and those
                // before it, are unknown; those after it never left and go
                // back to the queue.
                std::size_t cut = n;
                if (!paced) {
                    cut = 0;
                    while (cut < n && ends[cut] <= written) ++cut;
                }
                for (std::size_t m = cut + 1; m <= n; ++m) {
                    outstanding_.erase(sequences[m]);
                    sentAt_.erase(sequences[m]);
                }
                for (std::size_t m = batch.size(); m-- > cut + 1;) pending_.push_front(batch[m]);
                lost();
                return true;
            }
        }
        lastActivity_ = Clock::now();
        return true;
    }

    // Reads and handles one PDU; false when the line is lost.
    bool readOne(std::chrono::milliseconds timeout) {
        Header header;
        std::vector<std::uint8_t> body;
        if (!connection_.receive(timeout, header, body)) return false;
        const auto now = Clock::now();
        if (header.length == 0) {
            if (!outstanding_.empty()) {
                const auto oldest = sentAt_.at(outstanding_.begin()->first);
                if (now - oldest > options_.answerTimeout) return false;
            }
            if (now - lastActivity_ > options_.idleEnquire) {
                lastActivity_ = now;
                return connection_.send(encodeHeaderOnly(command::kEnquireLink, 0, next()));
            }
            return true;
        }
        lastActivity_ = now;
        switch (header.id) {
            case command::kSubmitSmResp:
            case command::kGenericNack:
                return answered(header, body);
            case command::kEnquireLink:
                return connection_.send(encodeHeaderOnly(command::kEnquireLinkResp, 0, header.sequence));
            case command::kUnbind:
                connection_.send(encodeHeaderOnly(command::kUnbindResp, 0, header.sequence));
                return false;
            case command::kDeliverSm: {
                if (!connection_.send(encodeDeliverSmResp(header.sequence))) return false;
                if (const auto deliver = readDeliverSm(body); deliver && deliver->isReceipt()) {
                    const std::string text(deliver->shortMessage.begin(), deliver->shortMessage.end());
                    const auto parsed = readReceiptText(text);
                    const std::string id = deliver->receiptedMessageId ? *deliver->receiptedMessageId
                                           : parsed                    ? parsed->id
                                                                       : std::string();
                    if (!id.empty()) {
                        ++receipts_;
                        listener_.receipt(id, receiptWord(deliver->messageState, parsed ? parsed->stat : ""));
                    }
                }
                return true;
            }
            default:
                // A request this client does not know gets generic_nack.
                if ((header.id & 0x80000000u) == 0)
                    return connection_.send(encodeHeaderOnly(command::kGenericNack, 0x03, header.sequence));
                return true;
        }
    }

    bool answered(const Header& header, std::span<const std::uint8_t> body) {
        const auto found = outstanding_.find(header.sequence);
        if (found == outstanding_.end()) return true;  // an answer to an enquire_link or a stray one
        const std::size_t index = found->second;
        outstanding_.erase(found);
        sentAt_.erase(header.sequence);
        if (header.status == kStatusThrottled || header.status == kStatusMessageQueueFull) {
            pending_.push_front(index);
            throttledUntil_ = Clock::now() + throttleDelay_;
            throttleDelay_ = std::min(throttleDelay_ * 2, options_.throttleMost);
            return true;
        }
        if (header.status != kStatusOk || header.id == command::kGenericNack) {
            listener_.failed(items_[index].key, statusText(header.status));
            return true;
        }
        throttleDelay_ = options_.throttleFirst;
        const auto id = readRespId(body);
        if (items_[index].fields.registeredDelivery) ++awaited_;
        listener_.accepted(items_[index].key, id.value_or(""));
        return true;
    }

    void waitReceipts() {
        if (options_.waitReceiptsSeconds <= 0 || !connection_.isOpen()) return;
        const auto until = Clock::now() + std::chrono::seconds(options_.waitReceiptsSeconds);
        while (Clock::now() < until && receipts_ < awaited_ && !isCancelled(options_.cancel)) {
            if (!readOne(std::chrono::milliseconds(100))) {
                connection_.close();
                return;
            }
        }
    }

    void unbind() {
        const std::uint32_t sequence = next();
        if (connection_.send(encodeHeaderOnly(command::kUnbind, 0, sequence))) {
            const auto until = Clock::now() + std::chrono::seconds(2);
            Header header;
            std::vector<std::uint8_t> body;
            while (Clock::now() < until && connection_.receive(std::chrono::milliseconds(100), header, body)) {
                if (header.id == command::kUnbindResp) break;
                if (header.id == command::kDeliverSm) connection_.send(encodeDeliverSmResp(header.sequence));
            }
        }
        connection_.close();
    }

    const SmscAddress& address_;
    const std::string& password_;
    const SmppOptions& options_;
    const std::vector<SmppItem>& items_;
    SmppListener& listener_;
    SmppConnection connection_;
    std::deque<std::size_t> pending_;
    std::map<std::uint32_t, std::size_t> outstanding_;
    std::unordered_map<std::uint32_t, Clock::time_point> sentAt_;
    std::vector<std::uint8_t> windowBytes_;
    std::uint32_t sequence_ = 0;
    Clock::time_point throttledUntil_{};
    Clock::time_point nextSend_{};
    Clock::time_point lastActivity_ = Clock::now();
    std::chrono::milliseconds throttleDelay_{1000};
    std::size_t awaited_ = 0;
    std::size_t receipts_ = 0;
};

}  // namespace

bool IsRefusedLogin(std::string_view ended) {
    return ended.starts_with(kBindRefusedReason) || ended == kBindDroppedReason;
}

std::string runSmppSession(const SmscAddress& address, const std::string& password, const SmppOptions& options,
                           const std::vector<SmppItem>& items, SmppListener& listener) {
    Session session(address, password, options, items, listener);
    return session.run();
}

SubmitFields submitFor(const std::vector<std::uint8_t>& userData, bool statusReport, std::uint8_t dataCoding,
                       const std::string& number, const std::string& source) {
    SubmitFields fields;
    fields.source = sourceAddress(source);
    const bool plus = !number.empty() && number.front() == '+';
    fields.destination = {static_cast<std::uint8_t>(plus ? 1 : 0), 1, plus ? number.substr(1) : number};
    fields.registeredDelivery = statusReport;
    fields.dataCoding = dataCoding;
    fields.shortMessage = userData;
    return fields;
}

}  // namespace pelorin::smsc
