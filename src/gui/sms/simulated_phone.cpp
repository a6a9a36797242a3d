#include "sms/simulated_phone.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>

namespace pelorin {

namespace {

constexpr int kStartTimeoutMs = 10000;
constexpr int kStopTimeoutMs = 3000;

// A loopback port nobody listens on now: the system's choice for a socket
// bound to port 0, which is then closed for the phone to take. 0 when there
// is none to be had.
quint16 freeLoopbackPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return 0;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    quint16 port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    ::close(fd);
    return port;
}

}  // namespace

QStringList SimulatedPhone::editorOptions() {
    return {QStringLiteral("--network"), QStringLiteral("262-02"), QStringLiteral("--echo-to-inbox")};
}

std::unique_ptr<SimulatedPhone> SimulatedPhone::startForEditor(const QString& program, const QString& storeDir,
                                                               QString& why) {
    const quint16 port = freeLoopbackPort();
    if (port == 0) {
        why = QStringLiteral("no free loopback port for its SMS centre");
        return nullptr;
    }
    const QString account = QString::fromLatin1(kCentreAccount);
    auto phone = start(program, storeDir, why,
                       editorOptions() << QStringLiteral("--smpp") << QStringLiteral("127.0.0.1:%1").arg(port)
                                       << QStringLiteral("--smpp-account")
                                       << account + QLatin1Char(':') + QString::fromLatin1(kCentrePassword));
    if (phone) phone->centreAddress_ = QStringLiteral("smpp://%1@127.0.0.1:%2").arg(account).arg(port);
    return phone;
}

std::unique_ptr<SimulatedPhone> SimulatedPhone::start(const QString& program, const QString& storeDir, QString& why,
                                                      const QStringList& options) {
    std::unique_ptr<SimulatedPhone> phone(new SimulatedPhone);
    if (!phone->linkDir_.isValid()) {
        why = QStringLiteral("cannot make a temporary folder: ") + phone->linkDir_.errorString();
        return nullptr;
    }
    phone->storeDir_ = storeDir;
    if (phone->storeDir_.isEmpty()) {
        QTemporaryDir store(QDir::tempPath() + QStringLiteral("/pelorin-phone-XXXXXX"));
        if (!store.isValid()) {
            why = QStringLiteral("cannot make a temporary folder: ") + store.errorString();
            return nullptr;
        }
        store.setAutoRemove(false);
        phone->storeDir_ = store.path();
    }
    phone->port_ = phone->linkDir_.filePath(QStringLiteral("phone"));

    QProcess& process = phone->process_;
    // Its notes about each message it receives go to our own standard error.
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(program, QStringList{QStringLiteral("--link"), phone->port_, QStringLiteral("--store"),
                                       phone->storeDir_, QStringLiteral("--exit-on-stdin-eof")}
                               << options);
    if (!process.waitForStarted(kStartTimeoutMs)) {
        why = program + QStringLiteral(": ") + process.errorString();
        return nullptr;
    }
    // The first line it prints is its terminal device; by then the link is made.
    QElapsedTimer waited;
    waited.start();
    while (!process.canReadLine() && waited.elapsed() < kStartTimeoutMs && process.state() == QProcess::Running)
        process.waitForReadyRead(100);
    if (!process.canReadLine()) {
        why = program + QStringLiteral(" did not start its terminal");
        return nullptr;
    }
    phone->devicePath_ = QString::fromLocal8Bit(process.readLine()).trimmed();
    return phone;
}

SimulatedPhone::~SimulatedPhone() {
    if (process_.state() == QProcess::NotRunning) return;
    process_.terminate();
    if (!process_.waitForFinished(kStopTimeoutMs)) {
        process_.kill();
        process_.waitForFinished(kStopTimeoutMs);
    }
}

QString simulatedPhoneBesideEditor() {
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("pelorin-phone"));
}

}  // namespace pelorin
