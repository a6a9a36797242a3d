// pelorin-cli: the program's core on the command line, without the editor.

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "commands.h"
#include "interrupt.h"

namespace {

constexpr const char* kUsage = R"(Usage: pelorin-cli COMMAND [ARGUMENTS]
       pelorin-cli --help | --version

Commands:
  encode KIND --to NUMBER [--network MCC-MNC] [--text TEXT] [--report] [FILE]
      Print the messages a send of KIND would write to the phone: for each
      message, in sending order, the AT+CMGS command (without "\r\n") on one
      line and the PDU text (without the Ctrl-Z) on the next.
  send KIND --to NUMBER [--network MCC-MNC] [--text TEXT] [--report]
       --port NAME [--fast] [--slow-writes] [--smsc-number NUMBER]
       [--pin-file FILE] [--log FILE] [FILE]
      Send KIND to the phone on serial port NAME: "COMn:" is /dev/ttyS(n-1),
      a name beginning with "/" is a device path (such as /dev/ttyUSB0 or the
      pseudo-terminal of pelorin-phone). Prints each caption and status line
      as it comes and the outcome as the last line; exits with status 0 when
      every message was accepted and 1 otherwise. A failure may add one line
      before the outcome: the phone's +CMS ERROR or +CME ERROR code and its
      meaning, or why the port did not open and what to do. The phone must
      echo commands; each message may wait up to 30 s for its
      acknowledgement. Without --fast the editor's fixed waits are kept (a
      second after each command, rounds of two seconds for each
      acknowledgement); with --fast each step goes on as soon as the phone's
      reply is complete (same bytes, same outcomes, same upper bounds).
      SIGINT, SIGTERM, SIGHUP or SIGPIPE stop the send at its next wait:
      a phone waiting for a message's text is sent ESC, the port is given
      back, and the exit status is 128 + the signal's number.
      When the phone asks for the SIM's PIN (+CME ERROR: 11, +CMS ERROR:
      311) it is given the PIN from the first line of --pin-file FILE, or
      else from the environment variable PELORIN_PIN (never from an
      argument), once: a wrong one is not tried again, since three wrong
      PINs lock the SIM; a SIM that wants its PUK ends the send. The job
      then starts again from AT+CMGF=0. A phone without an SMS centre
      number (+CMS ERROR: 330, or 500 right after AT+CMGS) is given
      --smsc-number ("+" and digits) and the message is sent once more. A
      busy SIM (+CME ERROR: 14, +CMS ERROR: 314) gets the same command
      again every second for up to 10 s. --slow-writes writes in pieces of
      18 bytes, 10 ms apart, for phones that drop characters (a picture
      message takes about 0.35 s longer). --log FILE writes every byte on
      the line, both ways, with the time and direction ("<1A>" for bytes
      that are not printable, any PIN masked). A phone that behaves gets the
      same bytes whatever of these is given.
      Several --to (or --to-file) send to each number in turn, then print a
      line a number (tab-separated: the number, "sent" or "failed" and the
      outcome) and "N sent, N failed, N unknown".
  send KIND --smsc URL (--to NUMBER)... [--to-file FILE] [--journal FILE]
       [--resend-unknown] [--password-file FILE] [--window N] [--rate N]
       [--wait-receipts SECONDS] [--network MCC-MNC] [--text TEXT] [--report]
       [FILE]
      Send KIND through an SMS centre over SMPP 3.4. URL is
      smpp://SYSTEM_ID@HOST[:PORT][?system-type=T&source=S] (port 2775);
      the password comes from PELORIN_SMSC_PASSWORD or the first line of
      --password-file, never from URL. --to-file: one number a line, blank
      lines and # comments skipped; every number is checked first. --window:
      submits awaiting their answer (default 10); --rate: parts a second at
      most; --wait-receipts: stay bound that long for delivery receipts.
      Prints a line a recipient, tab-separated: the number, then "sent" and
      the message ids (and the receipt's state), "failed" and the reason, or
      "unknown" (sent, no answer came); then "N sent, N failed, N unknown".
      Exits with 0 when every recipient was sent, 1 otherwise. The journal
      (--journal, default NAME.journal beside --to-file NAME, needed for
      several numbers) records every message before it goes out and the
      centre's answer: started again with it, nothing accepted is sent again,
      and a message on its way when the run ended stays unknown unless
      --resend-unknown is given. A journal of another job is refused.
  network --port NAME [--fast] [--log FILE]
      Ask the phone on NAME which network it is on (AT+COPS=3,2, then
      AT+COPS?) and print "MCC-MNC country operator", the names from the
      built-in tables or "unknown". Exits with 0, with 1 when the phone does
      not name a network (the reason on standard error), 2 for bad
      arguments.
  receive --port NAME [--out DIR] [--delete] [--fast] [--log FILE]
      Read the messages the phone on NAME holds (AT+CMGF=0, then AT+CPMS and
      AT+CMGL=4 for its memories "SM" and "ME") and print one line for each,
      fields separated by tabs: the memory and the indices of its parts
      ("SM:4,5,6"), the sender, the time stamp, the kind (operator-logo,
      group-graphic, picture-message, text, other or skipped) and then the
      size ("72x14", with the network code of an operator logo and the text
      of a picture message), the text of a text message, or what the message
      is or why it was skipped (a part that cannot be read, a part missing).
      Tabs, line ends, backslashes and control characters are escaped.
      With --out each logo of a size Pelorin edits is written to DIR
      (created if missing) as MEMORY-INDEX-KIND.plr, a picture message's
      text beside it as .txt, never over an existing file; the path is a
      last field (for a logo of another size, "not written" and why).
      With --delete (only with --out) the parts of each logo that was
      written are deleted from the phone after its files are safely
      written; nothing else is deleted. --fast and --log as for send. Exits
      with 0, with 1 when the phone cannot be read or a file cannot be
      written (the reason on standard error), 2 for bad arguments.
  ports [NAME...]
      Find the phone: ask every serial port the Settings dialog offers (or
      the NAMEs given) at once whether it answers AT, and what ATI and
      AT+CGMM name, waiting at most 1 s for each answer. One line for each,
      tab-separated: the port, then one of: answers (and a third field,
      the maker and model it names); silent; busy (in use by another
      program); no access (join group dialout); cannot be used: and why.
      A port is only written to when it opened for this program alone, and
      its settings are given back. Exits with 0 when some port answers, 1 otherwise.
  show FILE
      Import FILE as the editor's File, Open would and print its kind and
      size on one line ("operator 72x14", "picture 72x28" or
      "large-operator 78x21"), then the logo, one line a row, top row first:
      '#' a set pixel, '.' a clear one. A file that cannot be imported
      prints the reason on standard error and exits with status 1.
  convert IN OUT [--kind K] [--fit F] [--threshold N|auto] [--dither D]
                 [--invert] [--scale N] [--depth 1|8]
      Import IN and write the logo to OUT, whose extension picks the format:
      .plr (Pelorin document), .bmp (8-bit bitmap, index 0 black; with
      --scale a black-on-white picture at that scale; with --depth 1 a
      bitmap of 1 bit a pixel, index 0 black, at --scale, as Gammu takes
      it), .png (black on white,
      --scale N pixels a cell, default 1), or .nlm, .ngg, .nol (phone-logo
      files, 72 x 14 logos only). A logo file as IN is imported like show.
      Any other picture (PNG, JPEG, GIF, BMP, ICO, PBM, PGM, PPM, XPM, SVG)
      is fitted into a canvas and turned black and white:
        --kind K         operator, picture or large-operator (default: the
                         one nearest the picture's aspect ratio)
        --fit F          contain (whole picture, white around; the default),
                         cover (fill, cut the overflow) or stretch
        --threshold N    grey levels below N (0 to 255) become set pixels;
                         auto (the default) picks N by Otsu's method, or
                         128 with a dithering
        --dither D       none (the default), floyd-steinberg, atkinson or
                         ordered
        --invert         swap set and clear pixels
      SVG, compressed or not, is read up to 8 MB; an SVG that names another
      file or address is refused. A failure exits with status 1 and writes
      nothing; bad options or an unknown OUT extension exit with 2.
  text TEXT OUT [--font NAME] [--kind K] [--scale N] [--depth 1|8]
      Write TEXT centred on a blank canvas of kind K (default operator) in a
      pixel font: 3x5, 5x7 (the default) or bold-7. A line break in TEXT
      starts a new line; text that does not fit is cut at the canvas edge.
      OUT as for convert.

Importable files (chosen by the extension, in any case): .bmp Windows
bitmaps of 72 x 14, 72 x 28 or 78 x 21 pixels (1, 2, 4 or 8 bits per pixel;
colour index 0 is a set pixel); .nlm, .ngg, .nol 72 x 14 phone logos; any
other extension a Pelorin document of 126, 252 or 205 bytes. convert also
takes pictures, as above.

KIND is one of:
  operator-logo          72 x 14 operator logo, one message (needs a network)
  group-graphic          72 x 14 caller-group graphic, one message
  restore-operator-logo  the fixed "restore operator logo" message (no FILE)
  picture-message        72 x 28 picture with up to 100 characters of text,
                         three messages
  large-operator-logo    78 x 21 operator logo, two messages (needs a network)
  ringtone               a ringtone to port 0x1581 from FILE (.rtttl, .txt,
                         .ott or .mid): one message of 133 octets, or 2 or 3
                         concatenated ones; longer tunes are refused with the
                         notes that fit (status 1); --scale-every-note puts
                         the scale before every note. show and convert take
                         ringtone files too: show prints the RTTTL, notes,
                         octets, messages and warnings; convert writes
                         .rtttl, .txt, .ott, .mid, .imy or .wav (RTTTL
                         octaves 4 to 7 are the format's scales 1 to 4).
                         receive lists ringtones as "ringtone" and with
                         --out writes them as MEMORY-INDEX-ringtone.rtttl.

Options:
  --to NUMBER         destination number as typed; a leading "+" makes it
                      international
  --network MCC-MNC   country and operator code of an operator logo, such
                      as 262-02 (default 000-00)
  --text TEXT         picture-message text; empty is sent as one space,
                      more than 100 characters are cut to 100; characters
                      above U+00FF are sent as "?"
  --report            ask for a delivery report (in the last message)
  --port NAME         the serial port of the phone (send only)
  FILE                a Pelorin document (.plr) of the kind's size: 126
                      bytes for 72 x 14, 252 for 72 x 28, 205 for 78 x 21;
                      without FILE a blank canvas is sent

Arguments are UTF-8. Bad arguments (an unknown kind or option, a missing
--to, an unreadable FILE or one of the wrong size) print one line on
standard error and exit with status 2. -h or --help in the place of an
option prints this text; as the value of an option it is that value. A
failed write to standard output is reported on standard error and exits
with status 1.
)";

}  // namespace

namespace {

// The subcommand's status, or usage when it was asked for help.
int runCommand(const std::string& command, const std::vector<std::string>& args) {
    // Signals while the phone's port is open stop the dialogue instead of
    // leaving the port and the phone as they were at that moment.
    if (command == "send" || command == "network" || command == "receive") pelorin::cli::catchInterrupts();
    int status = pelorin::cli::kExitBadArguments;
    if (command == "encode") {
        status = pelorin::cli::runEncode(args);
    } else if (command == "send") {
        status = pelorin::cli::runSend(args);
    } else if (command == "show") {
        status = pelorin::cli::runShow(args);
    } else if (command == "convert") {
        status = pelorin::cli::runConvert(args);
    } else if (command == "network") {
        status = pelorin::cli::runNetwork(args);
    } else if (command == "text") {
        status = pelorin::cli::runText(args);
    } else if (command == "receive") {
        status = pelorin::cli::runReceive(args);
    } else if (command == "ports") {
        status = pelorin::cli::runPorts(args);
    } else {
        std::cerr << "pelorin-cli: unknown command " << command << " (try --help)\n";
    }
    if (status == pelorin::cli::kShowUsage) {
        std::cout << kUsage;
        status = 0;
    }
    return status;
}

// Everything written to standard output must have arrived: a full disk or a
// closed pipe is a failure even when the work itself went well.
int withOutputChecked(int status) {
    const bool flushed = std::fflush(stdout) == 0;
    if (flushed && !std::ferror(stdout) && std::cout.good()) return status;
    const int error = errno;  // of the write that failed: nothing else runs in between
    std::cerr << "pelorin-cli: cannot write to standard output" << (error != 0 ? ": " : "")
              << (error != 0 ? std::strerror(error) : "") << "\n";
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    int status = 0;
    if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        std::cout << kUsage;
        status = args.empty() ? pelorin::cli::kExitBadArguments : 0;
    } else if (args[0] == "--version") {
        std::cout << "pelorin-cli " << PELORIN_VERSION_TEXT << "\n";
    } else {
        const std::string command = args[0];
        args.erase(args.begin());
        status = runCommand(command, args);
    }
    if (const int signalNumber = pelorin::cli::interruptSignal()) return 128 + signalNumber;
    return withOutputChecked(status);
}
