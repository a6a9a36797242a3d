#include "smsc/smpp_client.h"

#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <deque>
#include <map>
#include <thread>
#include <unordered_map>

namespace pelorin::smsc {

namespace {

using Clock = std::chrono::steady_clock;

class Connection {
public:
    Connection() = default;
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    ~Connection() { close(); }

    bool open(const std::string& host, std::uint16_t port, std::string& why) {
        close();
        addrinfo hints{};
        hints.ai_socktype = SOCK_STREAM;
        addrinfo* found = nullptr;
        const int lookup = ::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found);
        if (lookup != 0) {
            why = "cannot find " + host + ": " + ::gai_strerror(lookup);
            return false;
        }
        int error = 0;
        for (addrinfo* at = found; at != nullptr && fd_ < 0; at = at->ai_next) {
            const int fd = ::socket(at->ai_family, at->ai_socktype | SOCK_CLOEXEC, at->ai_protocol);
            if (fd < 0) continue;
            if (::connect(fd, at->ai_addr, at->ai_addrlen) == 0) {
                fd_ = fd;
            } else {
                error = errno;
                ::close(fd);
            }
        }
        ::freeaddrinfo(found);
        if (fd_ < 0) why = "cannot connect to " + host + ":" + std::to_string(port) + ": " + std::strerror(error);
        buffer_.clear();
        return fd_ >= 0;
    }

    void close() {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }
    bool isOpen() const { return fd_ >= 0; }

    bool send(const std::vector<std::uint8_t>& pdu) {
        std::size_t done = 0;
        while (done < pdu.size()) {
            const ssize_t n = ::send(fd_, pdu.data() + done, pdu.size() - done, MSG_NOSIGNAL);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) return false;
            done += static_cast<std::size_t>(n);
        }
        return true;
    }

    // The next whole PDU, waiting at most timeout. Returns false when the
    // line is lost or the centre sends a header that cannot be true; true
    // with pdu empty when nothing came in time.
    bool receive(std::chrono::milliseconds timeout, Header& header, std::vector<std::uint8_t>& body) {
        body.clear();
        header = {};
        const auto until = Clock::now() + timeout;
        for (;;) {
            if (buffer_.size() >= kHeaderSize) {
                const auto read = readHeader(buffer_);
                if (!read) return false;
                if (buffer_.size() >= read->length) {
                    header = *read;
                    body.assign(buffer_.begin() + kHeaderSize, buffer_.begin() + read->length);
                    buffer_.erase(buffer_.begin(), buffer_.begin() + read->length);
                    return true;
                }
            }
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now());
            pollfd poller{fd_, POLLIN, 0};
            const int ready = ::poll(&poller, 1, static_cast<int>(std::max<long long>(0, left.count())));
            if (ready < 0 && errno == EINTR) continue;
            if (ready < 0) return false;
            if (ready == 0) return true;
            std::uint8_t chunk[4096];
            const ssize_t n = ::recv(fd_, chunk, sizeof chunk, 0);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) return false;
            buffer_.insert(buffer_.end(), chunk, chunk + n);
        }
    }

private:
    int fd_ = -1;
    std::vector<std::uint8_t> buffer_;
};

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
        // Windows of at least half the size, so that the journal is flushed
        // once for many parts rather than once for each.
        const std::size_t wanted = std::min(pending_.size(), std::max<std::size_t>(1, window / 2));
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
        for (std::size_t n = 0; n < batch.size(); ++n) {
            if (options_.rate > 0) {
                const auto now = Clock::now();
                if (nextSend_ > now) std::this_thread::sleep_for(nextSend_ - now);
                nextSend_ = std::max(nextSend_, now) + std::chrono::duration_cast<Clock::duration>(
                                                           std::chrono::duration<double>(1.0 / options_.rate));
            }
            const std::uint32_t sequence = next();
            outstanding_[sequence] = batch[n];
            sentAt_[sequence] = Clock::now();
            if (!connection_.send(encodeSubmit(items_[batch[n]].fields, sequence))) {
                // The rest of the window was never written: it goes back to
                // the queue; what was written is unknown.
                for (std::size_t m = batch.size(); m-- > n + 1;) pending_.push_front(batch[m]);
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
    Connection connection_;
    std::deque<std::size_t> pending_;
    std::map<std::uint32_t, std::size_t> outstanding_;
    std::unordered_map<std::uint32_t, Clock::time_point> sentAt_;
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
