#include "smsc/kannel_client.h"

#include <curl/curl.h>

#include <memory>
#include <mutex>
#include <span>

#include "sms/deliver_pdu.h"
#include "smsc/smsc_address.h"

namespace pelorin::smsc {

namespace {

constexpr std::size_t kMaxReplyText = 200;
constexpr std::size_t kMaxReplyBody = 64 * 1024;
constexpr std::uint8_t kDefaultAlphabetCoding = 0x00;
constexpr std::uint8_t kUcs2Coding = 0x08;

bool unreserved(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
           c == '_' || c == '~';
}

void appendOctet(std::string& out, unsigned char octet) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    out.push_back('%');
    out.push_back(kDigits[octet >> 4]);
    out.push_back(kDigits[octet & 0x0F]);
}

// Text as a query value: unreserved characters as they are, the rest %XX.
std::string escaped(std::string_view text) {
    std::string out;
    for (char c : text) {
        const auto octet = static_cast<unsigned char>(c);
        if (unreserved(octet)) {
            out.push_back(c);
        } else {
            appendOctet(out, octet);
        }
    }
    return out;
}

// Every octet %XX: binary data that no step may read as text.
std::string allOctets(const std::uint8_t* data, std::size_t size) {
    std::string out;
    for (std::size_t i = 0; i < size; ++i) appendOctet(out, data[i]);
    return out;
}

void addParameter(std::string& target, std::string_view name, const std::string& value) {
    target.push_back(target.find('?') == std::string::npos ? '?' : '&');
    target.append(name);
    target.push_back('=');
    target.append(value);
}

void initialiseCurlOnce() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

std::size_t collectBody(char* data, std::size_t size, std::size_t count, void* user) {
    auto* body = static_cast<std::string*>(user);
    const std::size_t bytes = size * count;
    if (body->size() + bytes > kMaxReplyBody) return 0;  // a reply this long is no sendsms answer
    body->append(data, bytes);
    return bytes;
}

int checkCancel(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    return isCancelled(static_cast<const CancelToken*>(user)) ? 1 : 0;
}

struct CurlDeleter {
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};

}  // namespace

std::optional<KannelAddress> parseKannelAddress(std::string_view url, std::string& error) {
    constexpr std::string_view kScheme = "kannel://";
    constexpr const char* kForm = "kannel://USER@HOST[:PORT][?smsc=ID&from=S]";
    const auto split =
        splitCentreUrl(url,
                       {kScheme, std::string("a Kannel address must be ") + kForm,
                        std::string("the Kannel address needs the sendsms user: ") + kForm, "the Kannel address"},
                       error);
    if (!split) return std::nullopt;
    KannelAddress address;
    address.user = split->user;
    std::string_view hostPort = split->hostPort;
    if (!hostPort.empty() && hostPort.front() == '[') {
        const auto close = hostPort.find(']');
        if (close == std::string_view::npos) {
            error = "the Kannel address has an unclosed [ in its host";
            return std::nullopt;
        }
        address.host = std::string(hostPort.substr(0, close + 1));  // kept in brackets for the URL
        hostPort.remove_prefix(close + 1);
    } else {
        const auto colon = hostPort.find(':');
        address.host = std::string(hostPort.substr(0, colon));
        hostPort = colon == std::string_view::npos ? std::string_view() : hostPort.substr(colon);
    }
    if (!hostPort.empty()) {
        const auto port = hostPort.front() == ':' ? readPort(hostPort.substr(1)) : std::nullopt;
        if (!port) {
            error = "the Kannel port must be a number from 1 to 65535";
            return std::nullopt;
        }
        address.port = *port;
    }
    if (address.host.empty() || address.host == "[]" || address.host.find_first_of("/@ ") != std::string::npos) {
        error = std::string("the Kannel address needs a host: ") + kForm;
        return std::nullopt;
    }
    for (const auto& [key, value] : split->settings) {
        if (key == "smsc") {
            address.smsc = value;
        } else if (key == "from") {
            address.from = value;
        } else {
            error = "the Kannel address has an unknown setting \"" + std::string(key) + "\" (smsc and from are known)";
            return std::nullopt;
        }
    }
    return address;
}

std::string sendsmsTarget(const KannelAddress& address, const std::string& password, const SubmitFields& part) {
    std::string target = "/cgi-bin/sendsms";
    addParameter(target, "username", escaped(address.user));
    addParameter(target, "password", escaped(password));
    if (!address.smsc.empty()) addParameter(target, "smsc", escaped(address.smsc));
    if (!address.from.empty()) addParameter(target, "from", escaped(address.from));
    const std::string to = (part.destination.ton == 1 ? "+" : "") + part.destination.digits;
    addParameter(target, "to", escaped(to));
    // The header is its length octet and that many octets; the rest is the
    // data behind it.
    const auto& data = part.shortMessage;
    const std::size_t headerSize = data.empty() ? 0 : std::min<std::size_t>(data.size(), std::size_t{data[0]} + 1);
    addParameter(target, "udh", allOctets(data.data(), headerSize));
    const std::span<const std::uint8_t> body(data.data() + headerSize, data.size() - headerSize);
    if (part.dataCoding == kDefaultAlphabetCoding) {
        // One GSM code an octet: Kannel takes 7-bit text as characters and
        // codes them into the default alphabet itself.
        addParameter(target, "text", escaped(gsm7Text(body)));
        addParameter(target, "coding", "0");
        addParameter(target, "charset", "UTF-8");
    } else if (part.dataCoding == kUcs2Coding) {
        addParameter(target, "text", allOctets(body.data(), body.size()));
        addParameter(target, "coding", "2");
        addParameter(target, "charset", "UTF-16BE");
    } else {
        addParameter(target, "text", allOctets(body.data(), body.size()));
        addParameter(target, "coding", "1");
        addParameter(target, "mclass", "1");
        addParameter(target, "alt-dcs", "1");
    }
    addParameter(target, "validity", "1440");
    // Delivered or undeliverable: the report the part asks the network for.
    if (part.registeredDelivery) addParameter(target, "dlr-mask", "3");
    return target;
}

SendsmsReply readSendsmsReply(std::string_view body) {
    SendsmsReply reply;
    const std::string_view line = body.substr(0, body.find_first_of("\r\n"));
    for (char c : line.substr(0, kMaxReplyText)) {
        const auto octet = static_cast<unsigned char>(c);
        reply.text.push_back(octet < 0x20 || octet == 0x7F ? ' ' : c);
    }
    if (reply.text.empty()) reply.text = "an empty answer";
    constexpr std::string_view kAccepted = "0: Accepted for delivery";
    constexpr std::string_view kQueued = "3: Queued for later delivery";
    reply.queued = line.substr(0, kQueued.size()) == kQueued;
    reply.accepted = reply.queued || line.substr(0, kAccepted.size()) == kAccepted;
    return reply;
}

std::string runKannelSession(const KannelAddress& address, const std::string& password, const KannelOptions& options,
                             const std::vector<SmppItem>& items, SmppListener& listener) {
    initialiseCurlOnce();
    const std::unique_ptr<CURL, CurlDeleter> curl(curl_easy_init());
    if (!curl) return "cannot start an HTTP client";
    const std::string origin = "http://" + address.host + ":" + std::to_string(address.port);
    std::string body;
    char curlError[CURL_ERROR_SIZE] = {};
    curl_easy_setopt(curl.get(), CURLOPT_WRITEFUNCTION, collectBody);
    curl_easy_setopt(curl.get(), CURLOPT_WRITEDATA, &body);
    curl_easy_setopt(curl.get(), CURLOPT_ERRORBUFFER, curlError);
    curl_easy_setopt(curl.get(), CURLOPT_TIMEOUT, options.timeoutSeconds);
    curl_easy_setopt(curl.get(), CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl.get(), CURLOPT_PROTOCOLS_STR, "http");
    curl_easy_setopt(curl.get(), CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl.get(), CURLOPT_XFERINFOFUNCTION, checkCancel);
    curl_easy_setopt(curl.get(), CURLOPT_XFERINFODATA, const_cast<CancelToken*>(options.cancel));

    for (const SmppItem& item : items) {
        if (isCancelled(options.cancel)) return "cancelled";
        const std::size_t key = item.key;
        if (!listener.beforeWindow({&key, 1})) return "the journal cannot be written";
        const std::string url = origin + sendsmsTarget(address, password, item.fields);
        body.clear();
        curlError[0] = '\0';
        curl_easy_setopt(curl.get(), CURLOPT_URL, url.c_str());
        const CURLcode code = curl_easy_perform(curl.get());
        if (code == CURLE_OK) {
            const SendsmsReply reply = readSendsmsReply(body);
            if (reply.accepted) {
                listener.accepted(key, reply.queued ? "queued" : "accepted");
            } else {
                listener.failed(key, "Kannel: " + reply.text);
            }
            continue;
        }
        const std::string why = curlError[0] != '\0' ? curlError : curl_easy_strerror(code);
        if (code == CURLE_COULDNT_CONNECT || code == CURLE_COULDNT_RESOLVE_HOST) {
            // Nothing of this part reached Kannel: it stays unsent.
            return "cannot reach Kannel's smsbox at " + address.host + ":" + std::to_string(address.port) + ": " + why;
        }
        // The request may have reached Kannel: whether it was taken is unknown.
        listener.unknown(key);
        if (code == CURLE_ABORTED_BY_CALLBACK) return "cancelled";
        return "Kannel's smsbox did not answer: " + why;
    }
    return {};
}

}  // namespace pelorin::smsc
