/* A 32-bit Windows host linked against the release's import library (NVRP_RORERER_10.lib with
 * clang and lld-link, libNVRP_RORERER_10.a with MinGW): it calls the DLL's commands through
 * the imports, as an integrator's program does.
 *
 *   win32_host [PORT]
 *
 * Prints the VERSION answer; with the port of a device simulator on 127.0.0.1 it also runs
 * OPEN, PRINTFR and CLOSE. Exit status 0 when every command returned 0, else 1.
 *
 * Built with NVRP_HOST_WITHOUT_CRT it needs no C runtime (the lld-link build links nothing but
 * the import libraries), so the program writes with WriteFile and keeps its buffers small.
 */
#include <nvrp_rorerer_10.h>

enum { kRequestSize = 1024 };

static void WriteAscii(const char* text) {
  DWORD length = 0, written = 0;
  while (text[length] != '\0') ++length;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text, length, &written, NULL);
}

/* The string's code units, non-ASCII as '?'. */
static void WriteBstr(BSTR value) {
  char buffer[256];
  UINT length = SysStringLen(value), i, used = 0;
  for (i = 0; i < length; ++i) {
    buffer[used++] = value[i] >= 32 && value[i] < 127 ? (char)value[i] : '?';
    if (used == sizeof buffer - 1) {
      buffer[used] = '\0';
      WriteAscii(buffer);
      used = 0;
    }
  }
  buffer[used] = '\0';
  WriteAscii(buffer);
}

static void Append(WCHAR* target, UINT* used, const WCHAR* text) {
  while (*text != 0 && *used < kRequestSize - 1) target[(*used)++] = *text++;
  target[*used] = 0;
}

/* Sends one request and prints "NAME result: output | error"; `output` (when not NULL) keeps
 * the answer for the caller, who frees it. */
static int Send(const char* name, NVRP_COMMAND_FUNCTION command, const WCHAR* request,
                BSTR* output) {
  BSTR input = SysAllocString(request);
  BSTR answer = NULL, error = NULL;
  const int16_t result = command(input, &answer, &error);
  SysFreeString(input);
  WriteAscii(name);
  WriteAscii(result == 0 ? " 0: " : " -1: ");
  WriteBstr(answer);
  WriteAscii(" | ");
  WriteBstr(error);
  WriteAscii("\n");
  if (output != NULL) {
    *output = answer;
  } else {
    SysFreeString(answer);
  }
  SysFreeString(error);
  return result == 0 ? 0 : 1;
}

/* The digits of the OPEN answer's <Handle> element, at most 15. */
static void HandleOf(BSTR answer, WCHAR* digits) {
  static const WCHAR kTag[] = L"<Handle>";
  UINT length = SysStringLen(answer), i = 0, used = 0;
  for (; i + 8 <= length; ++i) {
    UINT k = 0;
    while (k < 8 && answer[i + k] == kTag[k]) ++k;
    if (k == 8) break;
  }
  for (i += 8; i < length && used < 15 && answer[i] >= '0' && answer[i] <= '9'; ++i) {
    digits[used++] = answer[i];
  }
  digits[used] = 0;
}

/* The last word of the command line: the port, or the program's own name when none is given. */
static const WCHAR* LastArgument(const WCHAR* line, int* given) {
  const WCHAR* last = line;
  const WCHAR* p;
  int words = 0, inWord = 0;
  for (p = line; *p != 0; ++p) {
    if (*p == ' ' || *p == '\t') {
      inWord = 0;
    } else if (!inWord) {
      inWord = 1;
      ++words;
      last = p;
    }
  }
  *given = words > 1;
  return last;
}

static int PrintReceipt(const WCHAR* port) {
  WCHAR request[kRequestSize], handle[16];
  UINT used = 0;
  BSTR opened = NULL;
  int failures;
  Append(request, &used,
         L"<Request><Driver>NVRP_RORERER_10</Driver><Handle>0</Handle><LogId>win32</LogId>"
         L"<Connection><Type>http</Type><Address>127.0.0.1</Address><Port>");
  Append(request, &used, port);
  Append(request, &used, L"</Port><ConnectTimeout>10</ConnectTimeout></Connection></Request>");
  failures = Send("OPEN", OPEN, request, &opened);
  HandleOf(opened, handle);
  SysFreeString(opened);
  if (failures != 0 || handle[0] == 0) return 1;

  used = 0;
  Append(request, &used, L"<Request><Handle>");
  Append(request, &used, handle);
  Append(request, &used,
         L"</Handle><Receipt><Type>Sale</Type><Lines><ProductSale>"
         L"<Description>Freddo Espresso</Description><Quantity>2</Quantity>"
         L"<Department>1</Department><Price>2.50</Price><Amount>5.00</Amount></ProductSale>"
         L"</Lines><Taxes/><Payments><Payment><Type>Cash</Type><Amount>5.00</Amount></Payment>"
         L"</Payments></Receipt></Request>");
  failures += Send("PRINTFR", PRINTFR, request, NULL);

  used = 0;
  Append(request, &used, L"<Request><Handle>");
  Append(request, &used, handle);
  Append(request, &used, L"</Handle></Request>");
  failures += Send("CLOSE", CLOSE, request, NULL);
  return failures;
}

static int HostMain(void) {
  int portGiven = 0;
  const WCHAR* port = LastArgument(GetCommandLineW(), &portGiven);
  int failures = Send("VERSION", VERSION, L"NVRP_RORERER_10", NULL);
  if (portGiven) failures += PrintReceipt(port);
  return failures == 0 ? 0 : 1;
}

#if defined(NVRP_HOST_WITHOUT_CRT)
/* The entry point of the build without a C runtime (lld-link /entry:HostStart). */
void __stdcall HostStart(void) { ExitProcess((UINT)HostMain()); }
#else
int main(void) { return HostMain(); }
#endif
