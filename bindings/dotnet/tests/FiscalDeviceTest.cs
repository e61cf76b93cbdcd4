// The C# binding against the ibox-sim program, through the real library: the BSTR marshalling
// in both directions, a printed receipt (shown on standard output), the failures as
// FiscalException, a receipt whose answer was lost, and the Z report.
//
// Arguments: the ibox-sim program. Environment: the library's folder on the loader's path
// (LD_LIBRARY_PATH), NVRP_HOST_DIR a folder holding NVRP_RORERER_10.ini.

using System;
using System.Diagnostics;
using System.Net;
using System.Runtime.InteropServices;
using System.Text;
using System.Text.RegularExpressions;
using NvrpRorerer10;

internal static class FiscalDeviceTest
{
    private const string PaperOut = "CHECK THE PRINTER PAPER! - ΕΛΕΓΞΤΕ TO XΑΡΤI ΕΚΤΥΠΩΤΗ! ";

    private static int failures;

    // The library's own string functions (Linux): a BSTR the marshaller made must read back with
    // the library's length, and one the library made must be read and freed by the marshaller.
    [DllImport(NativeMethods.Library, ExactSpelling = true)]
    private static extern uint SysStringLen([MarshalAs(UnmanagedType.BStr)] string value);

    [DllImport(NativeMethods.Library, ExactSpelling = true)]
    [return: MarshalAs(UnmanagedType.BStr)]
    private static extern string SysAllocStringLen([MarshalAs(UnmanagedType.LPWStr)] string text,
                                                   uint length);

    private static void Check(bool ok, string what)
    {
        if (ok) return;
        ++failures;
        Console.Error.WriteLine("FAIL: " + what);
    }

    private static void Equal<T>(T expected, T actual, string what)
    {
        Check(Equals(expected, actual), what + ": expected <" + expected + ">, got <" + actual + ">");
    }

    private static int Main(string[] args)
    {
        var simulator = new Process();
        simulator.StartInfo = new ProcessStartInfo(args[0],
            "--port 0 --clock \"2024-03-01 14:05:09\" --freeze-clock")
        {
            UseShellExecute = false,
            RedirectStandardOutput = true,
        };
        simulator.Start();
        try
        {
            var line = simulator.StandardOutput.ReadLine() ?? "";
            var match = Regex.Match(line, @"^ibox-sim listening on http://127\.0\.0\.1:(\d+)");
            if (!match.Success)
            {
                Console.Error.WriteLine("ibox-sim did not start: " + line);
                return 1;
            }
            var port = int.Parse(match.Groups[1].Value);
            StringsCrossTheBoundaryIntact();
            PrintsReceiptsAndReportsWithTypedAnswers(port);
        }
        catch (Exception error)
        {
            ++failures;
            Console.Error.WriteLine("FAIL: " + error);
        }
        finally
        {
            simulator.Kill();
            simulator.WaitForExit();
        }
        Console.WriteLine(failures == 0 ? "C# binding: all checks passed" : "C# binding: " + failures + " failed");
        return failures == 0 ? 0 : 1;
    }

    private static void StringsCrossTheBoundaryIntact()
    {
        var texts = new[] { "", "A", "Φέτα ΠΟΠ & <Olives>", "\U0001F9FE receipt", new string('x', 70000) };
        foreach (var text in texts)
        {
            var shown = text.Length > 20 ? text.Substring(0, 20) : text;
            Equal((uint)text.Length, SysStringLen(text), "SysStringLen of a marshalled \"" + shown + "\"");
            Equal(text, SysAllocStringLen(text, (uint)text.Length), "library BSTR of \"" + shown + "\"");
        }
        Check(FiscalLibrary.Version().StartsWith("Version "), "VERSION: " + FiscalLibrary.Version());
        // An unknown driver answers no text at all (a NULL BSTR).
        Equal("", FiscalLibrary.Version("OTHER"), "VERSION of another driver");
        string fragment, errorText;
        Equal((short)-1, FiscalLibrary.Call("GETSTATUS", "<Request><Handle>", out fragment, out errorText),
              "a request that is no XML");
        Check(errorText.Length > 0, "a request that is no XML has an error text");
    }

    private static Receipt DeliReceipt()
    {
        var receipt = new Receipt();
        receipt.Lines.Add(new Sale("Freddo Espresso", 2.50m, 2));
        receipt.Lines.Add(new Sale("Φέτα ΠΟΠ Feta 400g", 6.90m, 1, 2));
        receipt.Payments.Add(new Payment("cash", 10m));
        receipt.Payments.Add(new Payment("creditcard", 1.90m));
        return receipt;
    }

    private static void PrintsReceiptsAndReportsWithTypedAnswers(int port)
    {
        var connection = new Connection { Address = "127.0.0.1", Port = port };
        using (var device = FiscalDevice.Open(connection, "csharp"))
        {
            Check(device.Handle > 0, "OPEN answers a handle");
            Equal("SIM00000001", device.GetStatus().SerialNumber, "GETSTATUS serial number");

            var printed = device.PrintReceipt(DeliReceipt(), text: true);
            Console.WriteLine(printed.ReceiptText);
            Equal("1", printed.ReceiptNumber, "receipt number");
            Equal(new DateTime(2024, 3, 1, 14, 5, 9), printed.ReceiptDateTime, "receipt date");
            Equal("", printed.MessageText, "MessageText of a receipt whose payments have codes");
            Check(printed.ReceiptText.Contains("Freddo Espresso"), "receipt text");

            ExpectFailure(device, WithAmount(5m),
                          "Line 1: Amount 5.00 is not Quantity 2 x Price 2.00 = 4.00, which the device would print",
                          false);
            Inject(port, "device-error:101@PLU");
            ExpectFailure(device, DeliReceipt(), PaperOut, false);

            // The payment closes the receipt on the device and its answer is lost: the driver
            // finds it counted, so it is printed, with what failed in MessageText.
            Inject(port, "drop-after@Order=PAY");
            var lost = device.PrintReceipt(OnePayment());
            Equal("2", lost.ReceiptNumber, "receipt whose answer was lost");
            Check(lost.MessageText.Length > 0, "MessageText names the lost answer");

            // Nothing reached the device: the receipt is known not to be printed.
            Inject(port, "drop@Status", sticky: true);
            ExpectFailure(device, OnePayment(), "Empty reply from server Unknown", false);
            Post(port, "/ui/faults/clear", "");

            var z = device.PrintZReport();
            Equal("1", z.ZReportNumber, "Z report number");
            Check(z.DayReceiptsNumber >= 2, "Z report receipts: " + z.DayReceiptsNumber);
            Check(z.ReportText.Count > 0, "Z report text");
        }
    }

    private static Receipt WithAmount(decimal amount)
    {
        var receipt = DeliReceipt();
        receipt.Lines[0].Amount = amount;
        receipt.Lines[0].Price = 2.00m;
        return receipt;
    }

    private static Receipt OnePayment()
    {
        var receipt = DeliReceipt();
        receipt.Payments.Clear();
        receipt.Payments.Add(new Payment("cash", 11.90m));
        return receipt;
    }

    private static void ExpectFailure(FiscalDevice device, Receipt receipt, string errorText,
                                      bool mayHavePrinted)
    {
        try
        {
            device.PrintReceipt(receipt);
            Check(false, "no FiscalException for " + errorText);
        }
        catch (FiscalException error)
        {
            Equal("PRINTFR", error.Command, "command of the failure");
            Equal(errorText, error.ErrorText, "ErrorText");
            Equal(mayHavePrinted, error.MayHavePrinted, "MayHavePrinted for " + errorText);
            Check(error.LogFileName.Length > 0, "the failure names the device log");
            Check(error.Fragment.Contains("<Error>True</Error>"), "the failure's fragment");
        }
    }

    private static void Inject(int port, string fault, bool sticky = false)
    {
        Post(port, "/ui/fault" + (sticky ? "?sticky=1" : ""), fault);
    }

    private static void Post(int port, string path, string body)
    {
        var request = (HttpWebRequest)WebRequest.Create("http://127.0.0.1:" + port + path);
        request.Method = "POST";
        request.Proxy = null;
        var bytes = Encoding.UTF8.GetBytes(body);
        using (var stream = request.GetRequestStream()) stream.Write(bytes, 0, bytes.Length);
        request.GetResponse().Close();
    }
}
