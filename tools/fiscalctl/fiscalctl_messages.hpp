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

// Output labels.
inline constexpr std::string_view kStepMark = "== ";
inline constexpr std::string_view kErrorTextLabel = "Error text: ";
inline constexpr std::string_view kResultLabel = "Result: ";
inline constexpr std::string_view kImageWritten = "Receipt picture written to ";
inline constexpr std::string_view kShortenedImageStart = "... (";
inline constexpr std::string_view kShortenedImageEnd = " characters; --full-image shows all)";

}  // namespace nvrp::fiscalctl
