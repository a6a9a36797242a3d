#include "sms/simulated_phone.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>

namespace pelorin {

namespace {

constexpr int kStartTimeoutMs = 10000;
constexpr int kStopTimeoutMs = 3000;

}  // namespace

QStringList SimulatedPhone::editorOptions() {
    return {QStringLiteral("--network"), QStringLiteral("262-02"), QStringLiteral("--echo-to-inbox")};
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
