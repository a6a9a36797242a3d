// Test fixture: SCTP sockets as TCP ones, for peer programs run under
// LD_PRELOAD on a kernel without SCTP.
//
// Some network programs the peer tests start (an MSC's SGs server, its
// SIGTRAN link) open SCTP sockets and stop when the kernel refuses them, even
// though the tests never use those links. Preloaded into such a program,
// this library changes nothing where the kernel has SCTP. Where socket()
// refuses IPPROTO_SCTP, it opens a TCP stream socket of the same family
// instead and remembers the descriptor. On such a descriptor:
//   - the SCTP options set or read at level IPPROTO_SCTP succeed and change
//     nothing (a read answers zeros);
//   - the bindx option (what sctp_bindx() sets) binds to the first address
//     given, and the connectx options (what sctp_connectx() uses) connect to
//     the first address, so that listening and connecting behave as with
//     one-homed SCTP;
//   - close() forgets it.
// Messages sent over such a socket are a byte stream: a reader that needs
// SCTP's message boundaries must not rely on this.
#include <dlfcn.h>
#include <errno.h>
#include <netinet/in.h>
#include <string.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>

#ifndef IPPROTO_SCTP
#define IPPROTO_SCTP 132
#endif

// The Linux socket option numbers sctp_bindx() and sctp_connectx() use.
enum {
    kBindxAdd = 100,
    kConnectxOld = 107,
    kConnectx = 110,
    kConnectx3 = 111,
};

namespace {

constexpr int kMaxDescriptors = 65536;
std::atomic<bool> adapted[kMaxDescriptors];

bool isAdapted(int fd) { return fd >= 0 && fd < kMaxDescriptors && adapted[fd].load(); }

void mark(int fd, bool value) {
    if (fd >= 0 && fd < kMaxDescriptors) adapted[fd].store(value);
}

template <typename Function>
Function* next(const char* name) {
    return reinterpret_cast<Function*>(dlsym(RTLD_NEXT, name));
}

// The size of the first address in a packed list of sockaddrs, 0 when none fits.
socklen_t firstAddressLength(const void* addresses, socklen_t length) {
    sockaddr first{};
    if (addresses == nullptr || length < static_cast<socklen_t>(sizeof first.sa_family)) return 0;
    memcpy(&first, addresses, sizeof first.sa_family);
    socklen_t size = 0;
    if (first.sa_family == AF_INET) size = sizeof(sockaddr_in);
    if (first.sa_family == AF_INET6) size = sizeof(sockaddr_in6);
    return size <= length ? size : 0;
}

}  // namespace

extern "C" {

int socket(int domain, int type, int protocol) {
    auto* real = next<int(int, int, int)>("socket");
    int fd = real(domain, type, protocol);
    if (fd >= 0 || protocol != IPPROTO_SCTP || (errno != EPROTONOSUPPORT && errno != ESOCKTNOSUPPORT)) return fd;
    const int flags = type & (SOCK_NONBLOCK | SOCK_CLOEXEC);
    fd = real(domain, SOCK_STREAM | flags, IPPROTO_TCP);
    if (fd >= 0) mark(fd, true);
    return fd;
}

int setsockopt(int fd, int level, int name, const void* value, socklen_t length) {
    auto* real = next<int(int, int, int, const void*, socklen_t)>("setsockopt");
    if (level != IPPROTO_SCTP || !isAdapted(fd)) return real(fd, level, name, value, length);
    if (name == kBindxAdd || name == kConnectx || name == kConnectxOld) {
        const socklen_t size = firstAddressLength(value, length);
        if (size == 0) {
            errno = EINVAL;
            return -1;
        }
        if (name == kBindxAdd) return bind(fd, static_cast<const sockaddr*>(value), size);
        const int rc = connect(fd, static_cast<const sockaddr*>(value), size);
        return rc == 0 ? 1 : rc;  // the association id sctp_connectx() reports
    }
    return 0;
}

int getsockopt(int fd, int level, int name, void* value, socklen_t* length) {
    auto* real = next<int(int, int, int, void*, socklen_t*)>("getsockopt");
    if (level != IPPROTO_SCTP || !isAdapted(fd)) return real(fd, level, name, value, length);
    if (name == kConnectx3 && length != nullptr) {
        // struct sctp_getaddrs_old: an association id, the addresses' size in
        // bytes, then a pointer to them.
        struct {
            int assoc;
            int count;
            const sockaddr* addresses;
        } request;
        if (value == nullptr || *length < static_cast<socklen_t>(sizeof request)) {
            errno = EINVAL;
            return -1;
        }
        memcpy(&request, value, sizeof request);
        const socklen_t size = firstAddressLength(request.addresses, static_cast<socklen_t>(request.count));
        if (size == 0) {
            errno = EINVAL;
            return -1;
        }
        const int rc = connect(fd, request.addresses, size);
        if (rc != 0 && errno != EINPROGRESS) return rc;
        request.assoc = 1;
        memcpy(value, &request, sizeof request);
        return rc;
    }
    if (value != nullptr && length != nullptr) memset(value, 0, *length);
    return 0;
}

int close(int fd) {
    auto* real = next<int(int)>("close");
    mark(fd, false);
    return real(fd);
}

}  // extern "C"
