/* A host written in C, as point-of-sale software would be: loads the library by path, opens a
   device through the exported functions, checks the OPEN fragment byte for byte and closes the
   device. Exit code 0 on success. Arguments: the library, the host directory for the logs. */
#define _POSIX_C_SOURCE 200809L
#include <dlfcn.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

typedef uint16_t* BSTR;
typedef int16_t (*CommandFunction)(BSTR, BSTR*, BSTR*);
typedef BSTR (*AllocStringLenFunction)(const uint16_t*, uint32_t);
typedef uint32_t (*StringLenFunction)(BSTR);
typedef void (*FreeStringFunction)(BSTR);

static AllocStringLenFunction gAllocStringLen;
static StringLenFunction gStringLen;
static FreeStringFunction gFreeString;

/* Stores the export's address into the function pointer at `function` (the POSIX idiom). */
static void Resolve(void* library, const char* name, void* function) {
  void* symbol = dlsym(library, name);
  if (symbol == NULL) {
    fprintf(stderr, "missing export %s\n", name);
    exit(2);
  }
  memcpy(function, &symbol, sizeof symbol);
}

/* ASCII only: enough for the requests and fragments of this host. */
static BSTR ToBstr(const char* text) {
  const uint32_t length = (uint32_t)strlen(text);
  uint16_t* units = malloc((length + 1) * sizeof(uint16_t));
  uint32_t i;
  BSTR result;
  for (i = 0; i < length; ++i) units[i] = (uint16_t)(unsigned char)text[i];
  result = gAllocStringLen(units, length);
  free(units);
  return result;
}

static char* FromBstr(BSTR value) {
  const uint32_t length = gStringLen(value);
  char* text = malloc(length + 1);
  uint32_t i;
  for (i = 0; i < length; ++i) text[i] = value[i] < 0x80 ? (char)value[i] : '?';
  text[length] = '\0';
  return text;
}

static int Call(CommandFunction command, const char* request, char** output, char** error) {
  BSTR input = ToBstr(request);
  BSTR out = NULL;
  BSTR err = NULL;
  const int16_t result = command(input, &out, &err);
  gFreeString(input);
  *output = FromBstr(out);
  *error = FromBstr(err);
  gFreeString(out);
  gFreeString(err);
  return result;
}

static int Fail(const char* what, const char* output, const char* error) {
  fprintf(stderr, "%s\noutput: [%s]\nerror: [%s]\n", what, output, error);
  return 1;
}

/* The first device's fragment: handle 1 and its log, named after driver, log id and today. */
static void ExpectedOpenFragment(const char* hostDirectory, char* fragment, size_t size) {
  char day[9];
  const time_t now = time(NULL);
  strftime(day, sizeof day, "%Y%m%d", localtime(&now));
  snprintf(fragment, size,
           "<Handle>1</Handle>\r\n<Error>False</Error>\r\n<ErrorText></ErrorText>\r\n"
           "<LogFileName>%s/LogFiles/FiscalPrinter/TEST_DEVICE_c_host_%s.log</LogFileName>",
           hostDirectory, day);
}

int main(int argc, char** argv) {
  void* library;
  CommandFunction openCommand, closeCommand;
  char *output, *error;
  char expectedOpen[4096];
  int result, status = 0;

  if (argc != 3) return Fail("usage: c_host <library> <host directory>", "", "");
  /* Logs go to the given directory instead of beside this program. */
  setenv("NVRP_HOST_DIR", argv[2], 1);
  library = dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
  if (library == NULL) return Fail("dlopen failed", dlerror(), "");
  Resolve(library, "SysAllocStringLen", &gAllocStringLen);
  Resolve(library, "SysStringLen", &gStringLen);
  Resolve(library, "SysFreeString", &gFreeString);
  Resolve(library, "OPEN", &openCommand);
  Resolve(library, "CLOSE", &closeCommand);

  result = Call(openCommand,
                "<Request><Driver>TEST_DEVICE</Driver><Handle>0</Handle>"
                "<LogId>c_host</LogId></Request>",
                &output, &error);
  ExpectedOpenFragment(argv[2], expectedOpen, sizeof expectedOpen);
  if (result != 0 || strcmp(output, expectedOpen) != 0 || error[0] != '\0') {
    status = Fail("OPEN fragment", output, error);
  }
  free(output);
  free(error);

  result = Call(closeCommand, "<Request><Handle>1</Handle></Request>", &output, &error);
  if (result != 0 || strncmp(output, "<Error>False</Error>\r\n", 22) != 0) {
    status = Fail("CLOSE fragment", output, error);
  }
  free(output);
  free(error);

  result = Call(closeCommand, "<Request><Handle>1</Handle></Request>", &output, &error);
  if (result != -1 || strcmp(error, "Printer Handle not found") != 0) {
    status = Fail("CLOSE of a closed handle", output, error);
  }
  free(output);
  free(error);

  dlclose(library);
  return status;
}
