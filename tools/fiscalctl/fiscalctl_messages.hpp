#pragma once

#include <string_view>

// Every fixed text of fiscalctl: usage, labels and messages.
namespace nvrp::fiscalctl {

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

// Commands with a rule of their own: VERSION takes a driver name, OPEN answers a handle.
inline constexpr std::string_view kVersionCommand = "VERSION";
inline constexpr std::string_view kOpenCommand = "OPEN";
// The driver whose version VERSION asks for when no name is given.
inline constexpr std::string_view kDefaultDriverName = "NVRP_RORERER_10";
inline constexpr std::string_view kLibraryVariable = "NVRP_LIBRARY";
inline constexpr std::string_view kStandardInput = "-";
inline constexpr std::string_view kHandleElement = "Handle";
inline constexpr std::string_view kImageElement = "ReceiptImage";
// A ReceiptImage longer than this is shortened on screen unless --full-image is given.
inline constexpr size_t kShownImageCharacters = 60;

// Usage text; "%LIBRARY%" stands for the library path compiled in.
inline constexpr std::string_view kUsage =
    R"(Usage: fiscalctl [OPTIONS] COMMAND [FILE|-] [COMMAND [FILE|-] ...]

Sends XML requests to the NVRP_RORERER_10 driver library the way a point-of-sale program
does: the library is loaded with dlopen and every COMMAND is called through its export, with
the request built by the library's SysAllocStringLen.

FILE holds the request as UTF-8 XML; "-" or no FILE reads it from standard input. VERSION
takes a driver name instead of a request (NVRP_RORERER_10 when none is given).
Several commands run in one process, in order, on the same loaded library, so a device that
OPEN opened stays open for the next ones: the Handle that a successful OPEN returns is written
into the Handle element of every later request.

For every command it prints the result fragment, the error text and the result code.
Exit status: 0 when every command returned 0, 1 otherwise, 2 on a usage error.

Commands:
  PRINTFR REPRINTFR PRINTNFR PRINTXR PRINTZR DISPLAY OPENDR GETDRSTATUS GETSTATUS SET
  SETDATETIME OPEN CLOSE GETVATTABLE SETVATTABLE GETDEPTTABLE SETDEPTTABLE EJREPORT
  GETEJFILES GETLOTTERYRCPTSTATUS PAY VERSION

Options:
  --library PATH      the library to load (default: $NVRP_LIBRARY, else
                      %LIBRARY%)
  --set NAME=VALUE    before sending, replace the text of the first element NAME of every
                      request that has one (repeatable), e.g. --set Port=8080
  --save-image FILE   write the receipt picture of an answer (its ReceiptImage) as a JPEG file
  --full-image        print the ReceiptImage text in full instead of shortened
  --help              show this text

Environment:
  NVRP_LIBRARY        the library to load when --library is not given
  NVRP_HOST_DIR       where the library writes its LogFiles (default: beside fiscalctl)

Examples (a device simulator listening on port 8080):
  fiscalctl --set Port=8080 --save-image receipt.jpg \
      OPEN examples/open.xml PRINTFR examples/receipt.xml CLOSE examples/close.xml
  fiscalctl VERSION NVRP_RORERER_10
  fiscalctl check --url http://192.0.2.10

A device is checked with "fiscalctl check"; "fiscalctl check --help" explains it.
)";

inline constexpr std::string_view kCheckCommand = "check";
inline constexpr std::string_view kCheckUsage =
    R"(Usage: fiscalctl check (--url http://HOST[:PORT] [--user U --password P] | --open FILE)
                       [--print none|paper|fiscal] [--yes] [--json] [--slow MS]
                       [--clock-tolerance S] [--library PATH]

Checks a device through the library's exports, as a point-of-sale program drives it, and
prints one line per check: its name, passed, failed or skipped, the time it took, and what
was seen when it failed; then the device log the run wrote and "N passed, N failed".

  --url URL           an iBox reached over HTTP (basic authentication with --user)
  --open FILE         the OPEN request to use instead, for any connection type; its LogId
                      is replaced so that the run writes a device log of its own
  --print none        (default) nothing that changes the device's fiscal memory: OPEN with
                      its status refresh, GETSTATUS, GETDRSTATUS, the VAT and department
                      tables, the device clock against the host's, every status answer (the
                      elements the driver reads), the device errors they report, the
                      content type of the status answer and how long every answer took
  --print paper       adds paper without fiscal record: a non-fiscal receipt with text, a
                      barcode and a QR code, a display message and an X report
  --print fiscal      adds one fiscal receipt of 0.01 paid in cash; asks on the terminal
                      first unless --yes is given. No check ever sends a Z report.
  --slow MS           an answer that takes longer fails answer-time (default 3000)
  --clock-tolerance S how far the device clock may be off the host's (default 120)
  --json              the same report as JSON

Exit status: 0 when every check passed, 1 otherwise, 2 on a usage error.
)";
inline constexpr std::string_view kLibraryPlaceholder = "%LIBRARY%";

// Usage errors.
inline constexpr std::string_view kNoCommand = "no command given";
inline constexpr std::string_view kUnknownCommand = "unknown command: ";
inline constexpr std::string_view kUnexpectedArgument =
    "unexpected argument (a command expected): ";
inline constexpr std::string_view kUnknownOption = "unknown option: ";
inline constexpr std::string_view kMissingValue = "missing value for ";
inline constexpr std::string_view kBadSetting = "--set expects NAME=VALUE, got: ";
inline constexpr std::string_view kStandardInputTwice = "standard input can be read only once";
inline constexpr std::string_view kSettingUnused = "--set names an element that no request has: ";
inline constexpr std::string_view kSeeHelp = "Try 'fiscalctl --help'.";

// Other failures.
inline constexpr std::string_view kProgramPrefix = "fiscalctl: ";
inline constexpr std::string_view kCannotRead = "cannot read request file ";
inline constexpr std::string_view kIsDirectory = "is a directory";
inline constexpr std::string_view kNotXml = "request is not well-formed XML, cannot apply --set: ";
inline constexpr std::string_view kCannotLoad = "cannot load the library: ";
inline constexpr std::string_view kNoImage = "no answer held a ReceiptImage; not written: ";
inline constexpr std::string_view kBadImage = "ReceiptImage is not valid Base64: ";
inline constexpr std::string_view kCannotWriteImage = "cannot write the receipt picture: ";

// check.
inline constexpr std::string_view kConfirmFiscal =
    "fiscalctl check --print fiscal prints a fiscal receipt of 0.01 paid in cash; it stays in "
    "the device's fiscal memory. Type yes to go on: ";
inline constexpr std::string_view kNotConfirmed = "not confirmed; nothing was sent";
inline constexpr std::string_view kFiscalNeedsTerminal =
    "--print fiscal asks for confirmation on a terminal; without one give --yes";
inline constexpr std::string_view kDeviceLogLabel = "device log: ";
inline constexpr std::string_view kSeeCheckHelp = "Try 'fiscalctl check --help'.";

// Output labels.
inline constexpr std::string_view kStepMark = "== ";
inline constexpr std::string_view kErrorTextLabel = "Error text: ";
inline constexpr std::string_view kResultLabel = "Result: ";
inline constexpr std::string_view kImageWritten = "Receipt picture written to ";
inline constexpr std::string_view kShortenedImageStart = "... (";
inline constexpr std::string_view kShortenedImageEnd = " characters; --full-image shows all)";

}  // namespace nvrp::fiscalctl
