/* A point-of-sale host written in C: loads the DLL with LoadLibraryW, finds each of the 22
   exports with GetProcAddress and calls it through a __stdcall pointer with the example
   requests, in one session against the ibox-sim program (its port in IBOX_SIM_PORT). In the
   32-bit build every call goes through a small assembly thunk that compares the stack pointer
   before and after: a callee that does not pop its three arguments (or pops too many) fails.
   Exit code 0 when every call answered as expected (0, or -1 for the two commands the iBox
   does not offer) with a balanced stack.
   Arguments: the DLL, the folder of the example requests. */
#include <windows.h>

#include <oleauto.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

typedef int16_t(__stdcall* CommandFunction)(BSTR, BSTR*, BSTR*);

#if defined(__i386__)
/* int32_t CallMeasuringStack(CommandFunction, BSTR, BSTR*, BSTR*, int16_t* result), cdecl:
   pushes the three arguments, calls, stores the result and answers how many bytes the stack
   pointer moved across the call (0 for __stdcall), then restores it. */
__asm__(
    ".text\n"
    ".globl _CallMeasuringStack\n"
    "_CallMeasuringStack:\n"
    "  pushl %ebp\n"
    "  movl %esp, %ebp\n"
    "  pushl %esi\n"
    "  movl %esp, %esi\n"
    "  pushl 20(%ebp)\n"
    "  pushl 16(%ebp)\n"
    "  pushl 12(%ebp)\n"
    "  call *8(%ebp)\n"
    "  movl 24(%ebp), %ecx\n"
    "  movw %ax, (%ecx)\n"
    "  movl %esp, %eax\n"
    "  subl %esi, %eax\n"
    "  movl %esi, %esp\n"
    "  popl %esi\n"
    "  popl %ebp\n"
    "  ret\n");
int32_t CallMeasuringStack(CommandFunction command, BSTR input, BSTR* output, BSTR* error,
                           int16_t* result);

/* A callee that leaves its arguments on the stack (cdecl): the thunk must see the 12 bytes. */
static int16_t UnbalancedCommand(BSTR input, BSTR* output, BSTR* error) {
  (void)input;
  (void)output;
  (void)error;
  return 0;
}

static int StackCheckSeesImbalance(void) {
  int16_t result;
  return CallMeasuringStack((CommandFunction)(void (*)(void))UnbalancedCommand, NULL, NULL, NULL,
                            &result) == -12;
}
#else
static int StackCheckSeesImbalance(void) { return 1; }

static int32_t CallMeasuringStack(CommandFunction command, BSTR input, BSTR* output, BSTR* error,
                                  int16_t* result) {
  *result = command(input, output, error);
  return 0;
}
#endif

/* The commands in the order of one shop session; each names its example request file
   (VERSION takes the driver name) and, for the commands the iBox does not offer, the error
   text of their -1. */
static const struct {
  const char* name;
  const char* file;
  const char* refusal;
} kCommands[] = {
    {"OPEN", "open.xml", NULL},
    {"GETSTATUS", "getstatus.xml", NULL},
    {"SET", "set.xml", NULL},
    {"SETDATETIME", "setdatetime.xml", "Set Date and Time is not supported"},
    {"GETVATTABLE", "getvattable.xml", NULL},
    {"SETVATTABLE", "setvattable.xml", NULL},
    {"GETDEPTTABLE", "getdepttable.xml", NULL},
    {"SETDEPTTABLE", "setdepttable.xml", NULL},
    {"DISPLAY", "display.xml", NULL},
    {"OPENDR", "opendr.xml", NULL},
    {"GETDRSTATUS", "getdrstatus.xml", NULL},
    {"PRINTFR", "receipt.xml", NULL},
    {"PRINTNFR", "printnfr.xml", NULL},
    {"REPRINTFR", "reprintfr.xml", "Reprint Receipt is not supported"},
    {"GETLOTTERYRCPTSTATUS", "getlotteryrcptstatus.xml", NULL},
    {"PAY", "pay.xml", NULL},
    {"PRINTXR", "printxr.xml", NULL},
    {"EJREPORT", "ejreport.xml", NULL},
    {"GETEJFILES", "getejfiles.xml", NULL},
    {"PRINTZR", "printzr.xml", NULL},
    {"VERSION", NULL, NULL},
    {"CLOSE", "close.xml", NULL},
};

/* Whether a command answered as expected: 0, or -1 with the refusal's text. */
static int AnsweredAsExpected(size_t command, int16_t result, BSTR error) {
  wchar_t refusal[128];
  if (kCommands[command].refusal == NULL) return result == 0;
  MultiByteToWideChar(CP_UTF8, 0, kCommands[command].refusal, -1, refusal, 128);
  return result == -1 && error != NULL && wcscmp(error, refusal) == 0;
}

static char* ReadFileText(const char* path) {
  FILE* file = fopen(path, "rb");
  long size;
  char* text;
  if (file == NULL) return NULL;
  fseek(file, 0, SEEK_END);
  size = ftell(file);
  fseek(file, 0, SEEK_SET);
  text = malloc((size_t)size + 1);
  if (fread(text, 1, (size_t)size, file) != (size_t)size) size = 0;
  text[size] = '\0';
  fclose(file);
  return text;
}

/* `text` with its first `from` replaced by `to` (a new string). */
static char* Replaced(const char* text, const char* from, const char* to) {
  const char* at = strstr(text, from);
  size_t head;
  char* result;
  if (at == NULL) return _strdup(text);
  head = (size_t)(at - text);
  result = malloc(strlen(text) - strlen(from) + strlen(to) + 1);
  memcpy(result, text, head);
  strcpy(result + head, to);
  strcat(result, at + strlen(from));
  return result;
}

static BSTR Utf8ToBstr(const char* text) {
  const int length = MultiByteToWideChar(CP_UTF8, 0, text, -1, NULL, 0);
  BSTR result = SysAllocStringLen(NULL, (UINT)(length - 1));
  MultiByteToWideChar(CP_UTF8, 0, text, -1, result, length);
  return result;
}

static void PrintBstr(const char* label, BSTR value) {
  const int length =
      WideCharToMultiByte(CP_UTF8, 0, value, (int)SysStringLen(value), NULL, 0, NULL, NULL);
  char* text = malloc((size_t)length + 1);
  WideCharToMultiByte(CP_UTF8, 0, value, (int)SysStringLen(value), text, length, NULL, NULL);
  text[length] = '\0';
  fprintf(stderr, "%s: [%.600s]\n", label, text);
  free(text);
}

/* The handle in OPEN's fragment, or 0. */
static int HandleOf(BSTR fragment) {
  const wchar_t* at = wcsstr(fragment, L"<Handle>");
  return at != NULL ? _wtoi(at + 8) : 0;
}

/* The request of one command: the example file with the simulator's port and the session's
   handle filled in. */
static char* RequestOf(const char* examples, const char* file, const char* port, int handle) {
  char path[MAX_PATH], handleElement[64];
  char *text, *withPort, *request;
  if (file == NULL) return _strdup("NVRP_RORERER_10");
  snprintf(path, sizeof path, "%s\\%s", examples, file);
  text = ReadFileText(path);
  if (text == NULL) return NULL;
  withPort = Replaced(text, "<Port>PORT</Port>", port);
  snprintf(handleElement, sizeof handleElement, "<Handle>%d</Handle>", handle);
  request = Replaced(withPort, "<Handle>0</Handle>", handleElement);
  free(text);
  free(withPort);
  return request;
}

int main(int argc, char** argv) {
  wchar_t dllPath[MAX_PATH];
  char portElement[64];
  const char* port = getenv("IBOX_SIM_PORT");
  HMODULE dll;
  int handle = 0, failures = 0;
  size_t i;

  if (argc != 3 || port == NULL) {
    fprintf(stderr, "usage: IBOX_SIM_PORT=<port> dll_c_host <DLL> <examples folder>\n");
    return 2;
  }
  if (!StackCheckSeesImbalance()) {
    fprintf(stderr, "the stack check does not see a callee that leaves its arguments\n");
    return 2;
  }
  MultiByteToWideChar(CP_UTF8, 0, argv[1], -1, dllPath, MAX_PATH);
  dll = LoadLibraryW(dllPath);
  if (dll == NULL) {
    fprintf(stderr, "LoadLibraryW(%s) failed: %lu\n", argv[1], GetLastError());
    return 2;
  }
  snprintf(portElement, sizeof portElement, "<Port>%s</Port>", port);
  for (i = 0; i < sizeof kCommands / sizeof kCommands[0]; ++i) {
    CommandFunction command =
        (CommandFunction)(void (*)(void))GetProcAddress(dll, kCommands[i].name);
    char* request = RequestOf(argv[2], kCommands[i].file, portElement, handle);
    BSTR input, output = NULL, error = NULL;
    int16_t result = -2;
    int32_t drift;
    if (command == NULL || request == NULL) {
      fprintf(stderr, "%s: %s\n", kCommands[i].name, command == NULL ? "no export" : "no request");
      return 2;
    }
    input = Utf8ToBstr(request);
    drift = CallMeasuringStack(command, input, &output, &error, &result);
    if (drift != 0 || !AnsweredAsExpected(i, result, error)) {
      fprintf(stderr, "%s answered %d, the stack moved by %ld bytes\n", kCommands[i].name, result,
              (long)drift);
      PrintBstr("output", output);
      PrintBstr("error", error);
      ++failures;
    }
    if (i == 0) handle = HandleOf(output);
    SysFreeString(input);
    SysFreeString(output);
    SysFreeString(error);
    free(request);
  }
  FreeLibrary(dll);
  printf("%d of %u calls failed%s\n", failures, (unsigned)(sizeof kCommands / sizeof kCommands[0]),
#if defined(__i386__)
         ", stack checked after each"
#else
         ""
#endif
  );
  return failures == 0 ? 0 : 1;
}
