/* A point-of-sale program in C: opens an iBox, prints a fiscal receipt, an X report and a Z
 * report, and closes the device. Every answer is printed as the library gives it.
 *
 *   print_day ADDRESS PORT [COMMAND...]
 *
 * ADDRESS and PORT reach the device (for the simulator: 127.0.0.1 and the port it prints).
 * The COMMANDs to run between OPEN and CLOSE default to PRINTFR PRINTXR PRINTZR.
 * Exit status: 0 when every command succeeded, 1 otherwise, 2 on bad arguments.
 *
 * Build against an installed library with CMake (examples/c/CMakeLists.txt) or with
 *   cc print_day.c $(pkg-config --cflags --libs NVRP_RORERER_10) -o print_day
 */
#include <nvrp_rorerer_10.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

/* UTF-8 text to a new OLE string; the caller frees it with SysFreeString. */
static NVRP_BSTR ToBstr(const char* text) {
  const size_t length = strlen(text);
  NVRP_OLECHAR* units = malloc((length + 1) * sizeof(NVRP_OLECHAR));
  size_t in = 0, out = 0;
  NVRP_BSTR result;
  while (in < length) {
    const unsigned char lead = (unsigned char)text[in];
    unsigned long code = lead;
    int extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
    if (extra > 0) code = lead & (0x3F >> extra);
    ++in;
    while (extra-- > 0 && in < length) code = (code << 6) | ((unsigned char)text[in++] & 0x3F);
    if (code >= 0x10000) { /* outside the basic plane: a surrogate pair */
      code -= 0x10000;
      units[out++] = (NVRP_OLECHAR)(0xD800 + (code >> 10));
      code = 0xDC00 + (code & 0x3FF);
    }
    units[out++] = (NVRP_OLECHAR)code;
  }
  result = SysAllocStringLen(units, (uint32_t)out);
  free(units);
  return result;
}

/* Writes an OLE string to a file as UTF-8. */
static void PrintBstr(FILE* file, NVRP_BSTR value) {
  const uint32_t length = SysStringLen(value);
  uint32_t i;
  for (i = 0; i < length; ++i) {
    unsigned long code = value[i];
    if (code >= 0xD800 && code < 0xDC00 && i + 1 < length) {
      code = 0x10000 + ((code - 0xD800) << 10) + (value[++i] - 0xDC00);
    }
    if (code < 0x80) {
      fputc((int)code, file);
    } else if (code < 0x800) {
      fputc((int)(0xC0 | (code >> 6)), file);
      fputc((int)(0x80 | (code & 0x3F)), file);
    } else if (code < 0x10000) {
      fputc((int)(0xE0 | (code >> 12)), file);
      fputc((int)(0x80 | ((code >> 6) & 0x3F)), file);
      fputc((int)(0x80 | (code & 0x3F)), file);
    } else {
      fputc((int)(0xF0 | (code >> 18)), file);
      fputc((int)(0x80 | ((code >> 12) & 0x3F)), file);
      fputc((int)(0x80 | ((code >> 6) & 0x3F)), file);
      fputc((int)(0x80 | (code & 0x3F)), file);
    }
  }
}

/* Sends one request, prints the answer and returns the command's result. */
static int Send(const char* name, NVRP_COMMAND_FUNCTION command, const char* request) {
  NVRP_BSTR input = ToBstr(request);
  NVRP_BSTR output = NULL;
  NVRP_BSTR error = NULL;
  const int16_t result = command(input, &output, &error);
  SysFreeString(input);
  printf("== %s\n", name);
  PrintBstr(stdout, output);
  printf("\nError text: ");
  PrintBstr(stdout, error);
  printf("\nResult: %d\n", result);
  SysFreeString(output);
  SysFreeString(error);
  return result;
}

/* The Handle element of an OPEN answer, 0 when there is none. */
static long OpenDevice(const char* address, const char* port) {
  char request[1024];
  NVRP_BSTR input, output = NULL, error = NULL;
  long handle = 0;
  snprintf(request, sizeof request,
           "<Request><Driver>NVRP_RORERER_10</Driver><Handle>0</Handle><LogId>till1</LogId>"
           "<Connection><Type>http</Type><Address>%s</Address><Port>%s</Port>"
           "<ConnectTimeout>10</ConnectTimeout><ReadTimeout>60</ReadTimeout></Connection>"
           "</Request>",
           address, port);
  input = ToBstr(request);
  if (OPEN(input, &output, &error) == 0 && output != NULL) {
    /* The fragment is ASCII up to the handle: "<Handle>1</Handle>..." */
    char digits[16] = {0};
    uint32_t i;
    for (i = 8; i < SysStringLen(output) && i < 20 && output[i] != '<'; ++i) {
      digits[i - 8] = (char)output[i];
    }
    handle = strtol(digits, NULL, 10);
  }
  printf("== OPEN\n");
  PrintBstr(stdout, output);
  printf("\nError text: ");
  PrintBstr(stdout, error);
  printf("\n");
  SysFreeString(input);
  SysFreeString(output);
  SysFreeString(error);
  return handle;
}

static const char kReceipt[] =
    "<Receipt><Type>Sale</Type><Number>1</Number>"
    "<Lines>"
    "<ProductSale><Code>100</Code><Description>Freddo Espresso</Description>"
    "<Quantity>2</Quantity><Department>1</Department><TaxCode>A</TaxCode>"
    "<Price>2.50</Price><Amount>5.00</Amount></ProductSale>"
    "<ProductSale><Code>200</Code><Description>Spanakopita</Description>"
    "<Quantity>1</Quantity><Department>2</Department><TaxCode>B</TaxCode>"
    "<Price>3.20</Price><Amount>3.20</Amount></ProductSale>"
    "</Lines>"
    "<Taxes/>"
    "<Payments><Payment><Type>Cash</Type><Amount>10.00</Amount></Payment>"
    "<Payment><Type>Change</Type><Amount>1.80</Amount></Payment></Payments>"
    "<TrailerMessages><Text><Value>Thank you!</Value><Alignment>center</Alignment></Text>"
    "</TrailerMessages>"
    "</Receipt>";

/* Runs one command of the list on the open device; -1 for a name it does not know. */
static int RunCommand(const char* name, long handle) {
  char request[4096];
  const char* document = "";
  NVRP_COMMAND_FUNCTION command = NULL;
  if (strcmp(name, "PRINTFR") == 0) {
    command = PRINTFR;
    document = kReceipt;
  } else if (strcmp(name, "PRINTXR") == 0) {
    command = PRINTXR;
  } else if (strcmp(name, "PRINTZR") == 0) {
    command = PRINTZR;
  } else if (strcmp(name, "GETSTATUS") == 0) {
    command = GETSTATUS;
  } else {
    fprintf(stderr, "print_day: unknown command %s\n", name);
    return -1;
  }
  snprintf(request, sizeof request, "<Request><Handle>%ld</Handle>%s</Request>", handle, document);
  return Send(name, command, request);
}

int main(int argc, char** argv) {
  static const char* const kDefaultCommands[] = {"PRINTFR", "PRINTXR", "PRINTZR"};
  const char* const* commands = kDefaultCommands;
  int count = 3, i, status = 0;
  char close_request[128];
  long handle;

  if (argc < 3) {
    fprintf(stderr, "usage: print_day ADDRESS PORT [COMMAND...]\n");
    return 2;
  }
  if (argc > 3) {
    commands = (const char* const*)(argv + 3);
    count = argc - 3;
  }
  handle = OpenDevice(argv[1], argv[2]);
  if (handle <= 0) return 1;
  for (i = 0; i < count; ++i) {
    if (RunCommand(commands[i], handle) != 0) status = 1;
  }
  snprintf(close_request, sizeof close_request, "<Request><Handle>%ld</Handle></Request>", handle);
  if (Send("CLOSE", CLOSE, close_request) != 0) status = 1;
  return status;
}
