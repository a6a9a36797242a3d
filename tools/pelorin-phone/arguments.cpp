#include "arguments.h"

#include <algorithm>
#include <charconv>
#include <fstream>
#include <string_view>

#include "phone/inbox.h"

namespace pelorin::phone {

const char* const kHelpText = R"(Usage: pelorin-phone [options]

A simulated GSM phone on a pseudo-terminal. It prints the terminal's device
path on the first line of standard output and then answers AT commands in
PDU mode the way a phone on a serial line does, until SIGTERM or SIGINT (or,
with --exit-on-stdin-eof, until standard input ends).

Dialogue:
  Commands end at CR; a LF right after the CR is accepted and swallowed (not
  echoed). Command echo is on at start; every other received character is
  echoed except Ctrl-Z and ESC, also while a PDU is typed. Answers: "\r\nOK\r\n"
  to AT, ATE0, ATE1 (echo off and on), ATZ, AT&F and AT&F0 (echo and settings
  as at start), AT+CMGF=0 (AT+CMGF? gives 0, AT+CMGF=? gives (0): PDU mode
  only) and AT+CMGS=?.
  Several commands may follow one "AT", separated by ";"
  (AT+CMEE=1;+CREG=2): their answers come together with one final result,
  and the first command that fails ends the line with its error.
  Standard commands: ATI, AT+CGMI, +CGMM, +CGMR, +CGSN (identification),
  AT+CMEE=0|1|2 (and ? and =?), AT+CPIN? (READY), AT+CPAS (0: ready),
  AT+CSQ (20,99), AT+IFC (kept and reported), AT+CSCS (GSM, IRA, UCS2),
  AT+CSCA? (+491710760000), AT+CSMS (service 0), AT+CNMI (see below),
  AT+CIMI (an IMSI beginning with the --network's MCC and MNC, 001-01
  without one), AT+CFUN=1 and AT+CFUN?, AT+CLIP=0|1, AT+CNUM ("+CNUM:
  "","NUMBER",TYPE" with the --own-number), AT+CHUP=?,
  AT+COPS? / =? / =0 / =3,n, AT+CREG=0|1|2 and AT+CGREG=0|1|2 (? gives the
  registration with the --network in the mode set, mode 2 adding the
  location area "1A2B" and the cell "00C3D4E5"; =? gives (0-2)) and
  AT+CGATT? (attached when registered).
  Message memories: "SM" holds the inbox (250 places), "ME" nothing (10
  places), "MT" is both; "SM" is selected at start. AT+CPMS=m1[,m2[,m3]]
  answers the used and total places of each, AT+CPMS? and =? as usual.
  AT+CMGL[=stat] (stat 0 received unread, the default, 1 received read,
  2 stored unsent, 3 stored sent, 4 all) lists "+CMGL: index,stat,,length"
  and the PDU on the next line; AT+CMGR=index gives "+CMGR: stat,,length"
  and the PDU; both turn unread messages into read ones. AT+CMGD=index
  deletes one message, AT+CMGD=index,flag with flag 1 every read message,
  2 also the sent, 3 also the unsent, 4 all. An empty index gets
  "\r\n+CMS ERROR: 321\r\n", a status or flag out of range "+CMS ERROR: 304".
  Answers of any length are written as the terminal side reads them; while
  more than 64 KiB of them wait unread, the phone reads no further input.
  The answers of one command line may add up to 1 MiB; past that the rest
  of the line is not run and the line ends with the error.

  New messages (from --inbox-from-stdin and --echo-to-inbox) are announced
  as AT+CNMI=<mode>,<mt> asks, never before the first AT+CNMI (nor after
  ATZ) and never inside a command line, a PDU or an answer: with mode 1, 2
  or 3 and mt 1 the message is filed and "\r\n+CMTI: \"SM\",INDEX\r\n" follows;
  with mt 2 a message of no class or of class 0, 1 or 3 is not filed but
  handed over as "\r\n+CMT: ,LENGTH\r\nPDU\r\n" (mt 3: only class 3), others
  are filed and announced with +CMTI. Mode 0 or mt 0: filed, nothing said.
  Anything else, AT+CMGF=1 included, gets "\r\nERROR\r\n", or after AT+CMEE=1
  "\r\n+CME ERROR: 4\r\n" (after AT+CMEE=2 "+CME ERROR: operation not
  supported"). AT+CMGS=n (n from 1 to 255) answers "\r\n> " and
  takes PDU text up to Ctrl-Z: hex digits, the service-centre field first, n
  being the octet count after that field, decodable as an SMS-SUBMIT (octets
  beyond the user data length it declares are ignored, as phones do). A good
  PDU gets "\r\n+CMGS: REF\r\n\r\nOK\r\n" (REF counts 1, 2, ... modulo 256), a
  bad one "\r\n+CMS ERROR: 304\r\n" (and "\r\n+CMS ERROR: 500\r\n" when the
  store folder cannot be written). ESC during PDU entry abandons the message
  silently: no answer, back to command mode. Ctrl-Z and ESC outside PDU entry
  are ignored.

  Concatenated parts are put together by (number, reference, total); a part
  that arrives again replaces the earlier one. Completed messages to ports
  0x1582 (operator logo), 0x1583 (caller-group graphic) and 0x158A (picture
  message) are read as logos.

  The device stays usable across many connections: the phone keeps its own
  descriptor of the terminal open, so a program may open and close the
  device path as often as it likes. Answers that were not read before the
  device was closed stay queued for the next reader.

Options:
  --link PATH          also make a symbolic link PATH to the device (removed
                       at exit; an existing link is replaced)
  --store DIR          write every received logo to DIR (created if missing;
                       not a symbolic link, and your own folder unless you
                       are root); without --store a new folder only you can
                       enter, $TMPDIR/pelorin-phone-XXXXXX (or under /tmp),
                       named on standard error unless --quiet:
                         logo-NNNN.plr  the packed bitmap octets exactly
                         logo-NNNN.txt  one line per row, '#' set, '.' clear
                         log.txt        one line per completed message
                       All of it is written before the phone answers OK.
                       A log.txt line holds tab-separated key=value fields,
                       always all of them and in this order:
                         file kind size number mcc mnc text report
                         report-parts parts port error
                       kind: operator-logo (72x14 and 78x21 alike),
                       group-graphic, picture-message; "invalid" for a message
                       to a logo port that could not be read (error says why),
                       text-message for plain text (GSM 7-bit or UCS-2, its
                       text in text), "other" for any other message. size: WxH. number: the
                       destination, "+" first when international. mcc, mnc:
                       the network code of an operator logo ("262", "02").
                       text: the picture message's text. report: 1 when any
                       part asked for a status report; report-parts: that
                       flag for each part in order (e.g. "001"). parts: the
                       number of parts. port: the destination port in hex.
                       Values are UTF-8; backslash, tab, LF, CR and other
                       control characters are escaped as \\ \t \n \r \xHH.
  --transcript FILE    append every byte the terminal side sends to FILE, as
                       it arrives (to compare what two programs put on the
                       line)
  --network MCC-MNC    the network the phone is registered with, such as
                       262-02 (three digits, then two or three); without it
                       the phone is not registered (AT+COPS? gives "+COPS: 0")
  --inbox FILE         the messages the phone holds at start, in "SM": one
                       PDU a line as hex digit pairs, the service-centre field
                       first, then the TPDU (an SMS-DELIVER, which the phone
                       reports as it is without reading it), optionally
                       preceded by a status and a comma ("1,0791...");
                       without one a message is received and unread. Blank
                       lines and lines beginning with '#' are skipped. A PDU
                       longer than an SMS can be (176 octets), more than 250
                       messages or a file over 1 MiB are refused.
  --inbox-from-stdin   also read messages arriving while the phone runs from
                       standard input, one a line in the --inbox form; each is
                       filed (or handed over) and announced as AT+CNMI asks
                       the moment its line ends (echo LINE >&3 into a pipe
                       held open on the phone's input, for example). A line
                       that is no message is named on standard error and
                       skipped.
  --echo-to-inbox      also file every part the phone accepts in its inbox, as
                       an SMS-DELIVER from its own number with the part's
                       user data unchanged (a loopback for round trips),
                       announced after the part's +CMGS as AT+CNMI asks
  --own-number NUMBER  the phone's own number (default +491701234567): digits,
                       "+" first when international
  --exit-on-stdin-eof  also end when standard input reaches its end
  --quiet              no notes on standard error about each message part

Faults (parts are counted from 1 over the phone's whole run; every PDU that
ends with Ctrl-Z counts, good or bad):
  --no-echo            command echo off at start (as after ATE0); a terminal
                       that looks for the echo of its command fails
  --cmgf-error         "ERROR" to every AT+CMGF command
  --no-prompt          no answer at all to AT+CMGS=n; the phone stays in
                       command mode
  --pdu-error[=N]      "ERROR" instead of +CMGS after the PDU, for every part
                       or only for part N; the part is not delivered
  --silent-after-pdu[=N]
                       no answer at all after the PDU, for every part or only
                       part N; the part is not delivered
  --ok-in-pieces       the answer to a PDU comes in two pieces:
                       "\r\n+CMGS: REF\r\n\r\nO" at once and "K\r\n" after the
                       piece delay (other answers are not split)
  --piece-delay-ms MS  the piece delay (default 3000)
  --hang-up-after N    when the Ctrl-Z of part N arrives, the phone answers
                       nothing, does not deliver that part, closes the
                       terminal (whoever has it open sees it hang up: reads
                       give end of file or EIO, writes EIO) and exits with 0
  --unsolicited-lines N
                       before the answer to every PDU, N unsolicited result
                       codes: "\r\n+CMTI: \"ME\",K\r\n" for odd K and
                       "\r\nRING\r\n" for even K (K from 1 to N)

Quirks of the phones and modems people own (each off by default):
  --pin NNNN           the SIM wants this PIN (4 to 8 digits): AT+CPIN? gives
                       "+CPIN: SIM PIN" and the SIM's commands (AT+CMGS,
                       +CMGL, +CMGR, +CMGD, +CPMS, +CSCA, +CSMS, +CNMI,
                       +CNUM, +CIMI) "+CME ERROR: 11" until AT+CPIN="NNNN";
                       a wrong PIN gets "+CME ERROR: 16", and after three
                       wrong ones the SIM wants its PUK for good
                       ("+CPIN: SIM PUK", "+CME ERROR: 12"). The PIN is
                       masked in the --transcript.
  --no-smsc-number     the SIM has no SMS centre number: AT+CSCA? gives
                       "+CSCA: \"\",129" and every PDU "+CMS ERROR: 330"
                       until AT+CSCA="NUMBER"[,type] sets one
  --sim-busy-for SECONDS
                       "+CME ERROR: 14" (SIM busy) to every command but a
                       plain AT for that long after start and after the
                       right PIN
  --prompt-style space|bare|newline|same-line
                       the PDU prompt: "\r\n> " (the default), "\r\n>",
                       "\r\n>\r\n", or "> " right after the echo of the
                       AT+CMGS line, whose CR is not echoed
  --drops-fast-writes  characters of a line (command or PDU) that arrive
                       less than 5 ms after 32 others are lost; CR, Ctrl-Z
                       and ESC always arrive
  --model NAME         ATI answers NAME, AT+CGMI its first word (the maker)
                       and AT+CGMM the rest (the model)

  --help               this text

SMS centre (SMPP 3.4 over TCP, beside the terminal):
  --smpp [HOST:]PORT   also listen as an SMS centre on HOST (an IPv4 address,
                       127.0.0.1 by default) and PORT (0: any free port,
                       named on standard error unless --quiet). Each
                       submit_sm is read as the SMS-SUBMIT it stands for and
                       goes to the same store and log as a PDU at the
                       terminal; its answer carries a new message id, and
                       with registered_delivery a transceiver gets a
                       deliver_sm receipt (stat:DELIVRD).
  --smpp-account ID:PASSWORD
                       the one account that may bind (needed with --smpp)
  --smpp-throttle-every N
                       answer every Nth submit (over the whole run) with
                       ESME_RTHROTTLED, storing nothing
  --smpp-drop-after N  close a connection when its Nth submit arrives,
                       without answering or storing that submit
  --smpp-fail NUMBER=STATUS
                       answer submits to NUMBER (as sent, without "+") with
                       STATUS (a name such as ESME_RINVDSTADR or a number);
                       may be given more than once
  --smpp-receipt-delay MS
                       send each receipt MS milliseconds after its submit
)";

namespace {

bool parseNumber(std::string_view text, unsigned& value) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() && !text.empty();
}

// A full inbox of the longest messages is under 90 KB; what is far beyond
// that is not an inbox and is not read into memory.
constexpr std::streamsize kMaxInboxFile = 1024 * 1024;

bool readInbox(const std::string& path, std::vector<StoredMessage>& inbox, std::string& why) {
    std::ifstream in{std::filesystem::path(path), std::ios::binary};
    std::string content(static_cast<std::size_t>(kMaxInboxFile) + 1, '\0');
    in.read(content.data(), kMaxInboxFile + 1);
    if (in.bad() || (!in && !in.eof())) {
        why = "--inbox: cannot read " + path;
        return false;
    }
    content.resize(static_cast<std::size_t>(in.gcount()));
    if (content.size() > static_cast<std::size_t>(kMaxInboxFile)) {
        why = "--inbox " + path + ": larger than " + std::to_string(kMaxInboxFile / 1024) + " KiB";
        return false;
    }
    auto messages = parseInboxText(content);
    if (!messages) {
        why = "--inbox " + path + ": " + messages.error();
        return false;
    }
    if (messages->size() > Inbox::kSimCapacity) {
        why = "--inbox " + path + ": more than " + std::to_string(Inbox::kSimCapacity) + " messages";
        return false;
    }
    inbox = std::move(messages.value());
    return true;
}

}  // namespace

std::optional<ProgramArguments> parseArguments(int argc, char** argv, std::string& why) {
    ProgramArguments arguments;
    for (int i = 1; i < argc; ++i) {
        std::string_view argument = argv[i];
        std::string_view name = argument;
        std::optional<std::string_view> inlineValue;
        if (const auto equals = argument.find('='); argument.starts_with("--") && equals != std::string_view::npos) {
            name = argument.substr(0, equals);
            inlineValue = argument.substr(equals + 1);
        }
        // A value either after "=" or as the next argument.
        const auto value = [&]() -> std::optional<std::string_view> {
            if (inlineValue) return inlineValue;
            if (i + 1 < argc) return std::string_view(argv[++i]);
            why = std::string(name) + " needs a value";
            return std::nullopt;
        };
        const auto number = [&](unsigned& target, bool allowZero) {
            const auto text = value();
            if (!text) return false;
            if (!parseNumber(*text, target) || (!allowZero && target == 0)) {
                why = std::string(name) + ": not a " + (allowZero ? "number" : "positive number") + ": " +
                      std::string(*text);
                return false;
            }
            return true;
        };
        const auto selector = [&](PartSelector& target) {
            target.enabled = true;
            if (!inlineValue) return true;
            if (!parseNumber(*inlineValue, target.part) || target.part == 0) {
                why = std::string(name) + ": not a part number: " + std::string(*inlineValue);
                return false;
            }
            return true;
        };
        const auto flag = [&](bool& target) {
            if (inlineValue) {
                why = std::string(name) + " takes no value";
                return false;
            }
            target = true;
            return true;
        };

        bool ok = true;
        if (name == "--help" || name == "-h") {
            ok = flag(arguments.help);
        } else if (name == "--link") {
            const auto text = value();
            ok = text.has_value();
            if (ok) arguments.link = std::filesystem::path(*text);
        } else if (name == "--store") {
            const auto text = value();
            ok = text.has_value();
            if (ok) arguments.store = std::filesystem::path(*text);
        } else if (name == "--no-echo") {
            bool noEcho = false;
            ok = flag(noEcho);
            arguments.phone.echo = !noEcho;
        } else if (name == "--cmgf-error") {
            ok = flag(arguments.phone.cmgfError);
        } else if (name == "--no-prompt") {
            ok = flag(arguments.phone.noPrompt);
        } else if (name == "--pdu-error") {
            ok = selector(arguments.phone.pduError);
        } else if (name == "--silent-after-pdu") {
            ok = selector(arguments.phone.silentAfterPdu);
        } else if (name == "--ok-in-pieces") {
            ok = flag(arguments.phone.okInPieces);
        } else if (name == "--piece-delay-ms") {
            unsigned milliseconds = 0;
            ok = number(milliseconds, true);
            arguments.phone.pieceDelay = std::chrono::milliseconds(milliseconds);
        } else if (name == "--hang-up-after") {
            ok = number(arguments.phone.hangUpAfter, false);
        } else if (name == "--unsolicited-lines") {
            ok = number(arguments.phone.unsolicitedLines, true);
        } else if (name == "--transcript") {
            const auto text = value();
            ok = text.has_value();
            if (ok) arguments.transcript = std::filesystem::path(*text);
        } else if (name == "--network") {
            const auto text = value();
            ok = text.has_value();
            if (ok) {
                const std::string code(*text);
                const bool digits = code.find_first_not_of("0123456789-") == std::string::npos;
                ok = digits && code.size() >= 6 && code.size() <= 7 && code[3] == '-' &&
                     code.find('-', 4) == std::string::npos;
                if (ok) {
                    arguments.phone.network = code.substr(0, 3) + code.substr(4);
                } else {
                    why = "--network takes MCC-MNC, three digits and two or three digits, such as 262-02: " + code;
                }
            }
        } else if (name == "--inbox") {
            const auto text = value();
            ok = text.has_value() && readInbox(std::string(*text), arguments.phone.inbox, why);
        } else if (name == "--inbox-from-stdin") {
            ok = flag(arguments.inboxFromStdin);
        } else if (name == "--echo-to-inbox") {
            ok = flag(arguments.phone.echoToInbox);
        } else if (name == "--own-number") {
            const auto text = value();
            ok = text.has_value();
            if (ok) {
                const std::string own(*text);
                const std::string digits = own.starts_with("+") ? own.substr(1) : own;
                ok = !digits.empty() && digits.size() <= 20 &&
                     digits.find_first_not_of("0123456789") == std::string::npos;
                if (ok) {
                    arguments.phone.ownNumber = own;
                } else {
                    why = "--own-number takes up to 20 digits, \"+\" first when international: " + own;
                }
            }
        } else if (name.starts_with("--smpp")) {
            if (!arguments.smpp) arguments.smpp = CentreOptions{};
            CentreOptions& centre = *arguments.smpp;
            if (name == "--smpp") {
                const auto text = value();
                ok = text.has_value();
                if (ok) {
                    const std::string where(*text);
                    const auto colon = where.rfind(':');
                    unsigned port = 0;
                    ok = parseNumber(colon == std::string::npos ? where : where.substr(colon + 1), port) &&
                         port <= 65535;
                    if (ok) {
                        centre.port = static_cast<std::uint16_t>(port);
                        if (colon != std::string::npos) centre.host = where.substr(0, colon);
                    } else {
                        why = "--smpp takes [HOST:]PORT: " + where;
                    }
                }
            } else if (name == "--smpp-account") {
                const auto text = value();
                ok = text.has_value();
                if (ok) {
                    const std::string account(*text);
                    const auto colon = account.find(':');
                    ok = colon != std::string::npos && colon > 0 && colon <= 15 && account.size() - colon - 1 <= 8;
                    if (ok) {
                        centre.systemId = account.substr(0, colon);
                        centre.password = account.substr(colon + 1);
                    } else {
                        why = "--smpp-account takes ID:PASSWORD (up to 15 and 8 characters): " + account;
                    }
                }
            } else if (name == "--smpp-throttle-every") {
                ok = number(centre.throttleEvery, false);
            } else if (name == "--smpp-drop-after") {
                ok = number(centre.dropAfter, false);
            } else if (name == "--smpp-receipt-delay") {
                unsigned milliseconds = 0;
                ok = number(milliseconds, true);
                centre.receiptDelay = std::chrono::milliseconds(milliseconds);
            } else if (name == "--smpp-fail") {
                const auto text = value();
                ok = text.has_value();
                if (ok) {
                    const std::string rule(*text);
                    const auto equals = rule.find('=');
                    const auto status =
                        parseCommandStatus(equals == std::string::npos ? std::string() : rule.substr(equals + 1));
                    ok = equals != std::string::npos && equals > 0 && status.ok();
                    if (ok)
                        centre.failFor[rule.substr(0, equals)] = status.value();
                    else
                        why = "--smpp-fail takes NUMBER=STATUS (such as 4917=ESME_RINVDSTADR): " + rule;
                }
            } else {
                why = "unknown option: " + std::string(argument);
                ok = false;
            }
        } else if (name == "--pin") {
            const auto text = value();
            ok = text.has_value();
            if (ok) {
                const std::string pin(*text);
                ok = pin.size() >= 4 && pin.size() <= 8 && pin.find_first_not_of("0123456789") == std::string::npos;
                if (ok) {
                    arguments.phone.quirks.pin = pin;
                } else {
                    why = "--pin takes 4 to 8 digits";
                }
            }
        } else if (name == "--no-smsc-number") {
            ok = flag(arguments.phone.quirks.noSmscNumber);
        } else if (name == "--sim-busy-for") {
            unsigned seconds = 0;
            ok = number(seconds, true);
            arguments.phone.quirks.simBusyFor = std::chrono::seconds(seconds);
        } else if (name == "--prompt-style") {
            const auto text = value();
            ok = text.has_value();
            if (ok) {
                const auto style = promptStyleFromName(*text);
                ok = style.has_value();
                if (ok) {
                    arguments.phone.quirks.prompt = *style;
                } else {
                    why = "--prompt-style takes space, bare, newline or same-line: " + std::string(*text);
                }
            }
        } else if (name == "--drops-fast-writes") {
            ok = flag(arguments.phone.quirks.dropsFastWrites);
        } else if (name == "--model") {
            const auto text = value();
            ok = text.has_value();
            if (ok) {
                const std::string model(*text);
                ok = !model.empty() && model.size() <= 64 &&
                     std::all_of(model.begin(), model.end(), [](char c) { return c >= 0x20 && c < 0x7F; });
                if (ok) {
                    arguments.phone.quirks.model = model;
                } else {
                    why = "--model takes up to 64 printable ASCII characters";
                }
            }
        } else if (name == "--exit-on-stdin-eof") {
            ok = flag(arguments.exitOnStdinEof);
        } else if (name == "--quiet") {
            ok = flag(arguments.quiet);
        } else {
            why = "unknown option: " + std::string(argument);
            ok = false;
        }
        if (!ok) return std::nullopt;
    }
    if (arguments.smpp && arguments.smpp->systemId.empty()) {
        why = "--smpp needs --smpp-account ID:PASSWORD";
        return std::nullopt;
    }
    return arguments;
}

}  // namespace pelorin::phone
