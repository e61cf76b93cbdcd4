/* NVRP_RORERER_10: fiscal-printer driver library for the Epson iBox.
 *
 * Every command is one function of the same shape:
 *
 *   int16_t COMMAND(NVRP_BSTR aXml, NVRP_BSTR* aOutput, NVRP_BSTR* aErrorMessage);
 *
 * - aXml: the request, an XML text as an OLE automation string (length-prefixed UTF-16,
 *   made with SysAllocString or SysAllocStringLen). It stays the caller's: free it after the
 *   call. VERSION takes a driver name instead of XML.
 * - aOutput: receives the result fragment, a sequence of XML elements without a root
 *   element (see docs/requests.md).
 * - aErrorMessage: receives the error text, empty on success.
 * - result: 0 on success, -1 on failure.
 *
 * Pass two variables set to NULL; the library stores a new string in each (an empty text
 * may arrive as NULL, which SysStringLen reads as length 0). Free both with SysFreeString.
 * Call one command at a time per process.
 *
 * On Windows the functions use the __stdcall convention and the string functions are
 * OleAut32's (<oleauto.h>); elsewhere the library exports its own SysAllocString,
 * SysAllocStringLen, SysStringLen and SysFreeString with the same behaviour.
 */
#ifndef NVRP_RORERER_10_H
#define NVRP_RORERER_10_H

#include <stdint.h>

#if defined(_WIN32)
#include <windows.h>
/* After windows.h: BSTR, OLECHAR and the Sys*String functions. */
#include <oleauto.h>
typedef OLECHAR NVRP_OLECHAR;
typedef BSTR NVRP_BSTR;
#define NVRP_CALL __stdcall
#define NVRP_API __declspec(dllimport)
#else
#if !defined(__cplusplus)
#include <uchar.h>
#endif
/* One UTF-16 code unit. */
typedef char16_t NVRP_OLECHAR;
/* An OLE automation string: points at the first code unit; the byte length is stored in
   the four bytes before it, and a 16-bit NUL follows the text. NULL is the empty text. */
typedef NVRP_OLECHAR* NVRP_BSTR;
#define NVRP_CALL
#define NVRP_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* The type of every command, for hosts that look the functions up at run time
   (dlsym, GetProcAddress). */
typedef int16_t(NVRP_CALL* NVRP_COMMAND_FUNCTION)(NVRP_BSTR aXml, NVRP_BSTR* aOutput,
                                                  NVRP_BSTR* aErrorMessage);

#define NVRP_DECLARE_COMMAND(Name) \
  NVRP_API int16_t NVRP_CALL Name(NVRP_BSTR aXml, NVRP_BSTR* aOutput, NVRP_BSTR* aErrorMessage)

/* Receipts and reports. */
NVRP_DECLARE_COMMAND(PRINTFR);   /* fiscal receipt */
NVRP_DECLARE_COMMAND(REPRINTFR); /* copy of an earlier receipt */
NVRP_DECLARE_COMMAND(PRINTNFR);  /* non-fiscal receipt */
NVRP_DECLARE_COMMAND(PRINTXR);   /* X report: the day's figures, the day stays open */
NVRP_DECLARE_COMMAND(PRINTZR);   /* Z report: closes the fiscal day */
NVRP_DECLARE_COMMAND(EJREPORT);  /* electronic-journal report */
NVRP_DECLARE_COMMAND(GETEJFILES);
NVRP_DECLARE_COMMAND(GETLOTTERYRCPTSTATUS);
NVRP_DECLARE_COMMAND(PAY); /* payment-terminal payment */

/* Device. */
NVRP_DECLARE_COMMAND(OPEN); /* answers the handle that later requests name */
NVRP_DECLARE_COMMAND(CLOSE);
NVRP_DECLARE_COMMAND(GETSTATUS);
NVRP_DECLARE_COMMAND(SET);
NVRP_DECLARE_COMMAND(SETDATETIME);
NVRP_DECLARE_COMMAND(DISPLAY);
NVRP_DECLARE_COMMAND(OPENDR);
NVRP_DECLARE_COMMAND(GETDRSTATUS);
NVRP_DECLARE_COMMAND(GETVATTABLE);
NVRP_DECLARE_COMMAND(SETVATTABLE);
NVRP_DECLARE_COMMAND(GETDEPTTABLE);
NVRP_DECLARE_COMMAND(SETDEPTTABLE);

/* aXml is a driver name ("NVRP_RORERER_10"); aOutput receives its version text, or stays
   empty for an unknown name. Always returns 0. */
NVRP_DECLARE_COMMAND(VERSION);

#if !defined(_WIN32)
/* The string allocator, with OLE automation semantics. */
NVRP_API NVRP_BSTR SysAllocString(const NVRP_OLECHAR* aText); /* NUL-terminated; NULL gives NULL */
NVRP_API NVRP_BSTR SysAllocStringLen(const NVRP_OLECHAR* aText, uint32_t aLength);
NVRP_API uint32_t SysStringLen(NVRP_BSTR aValue); /* in code units; 0 for NULL */
NVRP_API void SysFreeString(NVRP_BSTR aValue);    /* NULL is allowed */
#endif

#ifdef __cplusplus
}
#endif

#endif /* NVRP_RORERER_10_H */
