#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <memory>

namespace pelorin {

// A pelorin-phone started for this run of the editor: a simulated phone on a
// pseudo-terminal, reached through a link in a temporary folder, storing what
// it receives in a folder of the user's choice or a new temporary one (which
// is kept afterwards, so that what was sent can be looked at). The phone ends
// when this object goes, or by itself should the editor die, since it watches
// its standard input.
class SimulatedPhone {
public:
    // The options `pelorin --simulated-phone` starts its phone with:
    // registered with a network, so that "From phone" has one to find, and
    // filing what it is sent in its own inbox, so that File > Import from
    // phone reads back what the editor sent.
    static QStringList editorOptions();

    // The account of the SMS centre that startForEditor's phone runs.
    static constexpr const char* kCentreAccount = "pelorin";
    static constexpr const char* kCentrePassword = "pelorin";

    // The phone of `pelorin --simulated-phone`: editorOptions(), and an SMS
    // centre (pelorin-phone --smpp) on a free loopback port with the account
    // above, named by centreAddress().
    static std::unique_ptr<SimulatedPhone> startForEditor(const QString& program, const QString& storeDir,
                                                          QString& why);

    // Starts `program`; empty `storeDir` makes a new temporary folder.
    // `options` go to the phone as well (such as --quiet or a fault).
    // Nothing when the phone does not start; `why` then says why.
    static std::unique_ptr<SimulatedPhone> start(const QString& program, const QString& storeDir, QString& why,
                                                 const QStringList& options = {});

    ~SimulatedPhone();
    SimulatedPhone(const SimulatedPhone&) = delete;
    SimulatedPhone& operator=(const SimulatedPhone&) = delete;

    // The port to send through: the link to the phone's terminal device.
    const QString& port() const { return port_; }
    const QString& storeDir() const { return storeDir_; }
    // The phone's own device path, as it printed it.
    const QString& devicePath() const { return devicePath_; }
    // smpp://pelorin@127.0.0.1:PORT for a phone of startForEditor; empty
    // otherwise.
    const QString& centreAddress() const { return centreAddress_; }

private:
    SimulatedPhone() = default;

    QTemporaryDir linkDir_;
    QProcess process_;
    QString port_;
    QString storeDir_;
    QString devicePath_;
    QString centreAddress_;
};

// The phone program installed or built beside the running editor.
QString simulatedPhoneBesideEditor();

}  // namespace pelorin
