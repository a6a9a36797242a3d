#include "sms/smsc_passwords.h"

#include <qt6keychain/keychain.h>

#include <QEventLoop>
#include <QInputDialog>
#include <QLineEdit>

#include "app/qt_text.h"

namespace pelorin {

namespace {

enum class Secret { Found, Missing, NoStore };

// Runs a keychain job to its end; the secret service answers over D-Bus.
void runJob(QKeychain::Job& job) {
    job.setAutoDelete(false);
    job.setInsecureFallback(false);  // never a plain file instead
    QEventLoop loop;
    QObject::connect(&job, &QKeychain::Job::finished, &loop, &QEventLoop::quit);
    job.start();
    loop.exec();
}

Secret readSecret(const std::string& address, std::string& password) {
    QKeychain::ReadPasswordJob job(QString::fromLatin1(kSecretStoreService));
    job.setKey(toQString(address));
    runJob(job);
    if (job.error() == QKeychain::NoError) {
        password = toUtf8(job.textData());
        return Secret::Found;
    }
    return job.error() == QKeychain::EntryNotFound ? Secret::Missing : Secret::NoStore;
}

void writeSecret(const std::string& address, const std::string& password) {
    QKeychain::WritePasswordJob job(QString::fromLatin1(kSecretStoreService));
    job.setKey(toQString(address));
    job.setTextData(toQString(password));
    runJob(job);
}

}  // namespace

void SmscPasswords::forget(const std::string& address) {
    if (known_.erase(address) == 0) return;
    QKeychain::DeletePasswordJob job(QString::fromLatin1(kSecretStoreService));
    job.setKey(toQString(address));
    runJob(job);
}

std::optional<std::string> SmscPasswords::passwordFor(QWidget* parent, const std::string& address) {
    if (const auto found = known_.find(address); found != known_.end()) return found->second;
    std::string password;
    const Secret secret = readSecret(address, password);
    if (secret == Secret::Found) {
        known_[address] = password;
        return password;
    }
    ++asked_;
    QInputDialog dialog(parent);
    dialog.setObjectName("smscPassword");
    dialog.setWindowTitle(QObject::tr("SMS centre password"));
    dialog.setLabelText(QObject::tr("Password for %1").arg(toQString(address)));
    dialog.setTextEchoMode(QLineEdit::Password);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    password = toUtf8(dialog.textValue());
    known_[address] = password;
    if (secret == Secret::Missing) writeSecret(address, password);
    return password;
}

}  // namespace pelorin
