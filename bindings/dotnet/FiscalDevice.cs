// A typed layer over NativeMethods: requests built from objects, answers read into classes,
// and one exception type for every command that answers -1.
//
// Written for .NET Framework 4.x and .NET 6 or later alike (System.Xml.Linq only).

using System;
using System.Collections.Generic;
using System.Globalization;
using System.Linq;
using System.Text.RegularExpressions;
using System.Xml.Linq;

namespace NvrpRorerer10
{
    /// <summary>A command answered -1.</summary>
    public class FiscalException : Exception
    {
        /// <summary>PRINTFR's error text when the device could not tell whether it counted the
        /// receipt.</summary>
        public const string ReceiptUncertain =
            "The receipt may have been printed: check the device before printing it again";

        public FiscalException(string command, string errorText, string fragment)
            : base(command + ": " + errorText)
        {
            Command = command;
            ErrorText = errorText;
            Fragment = fragment;
            var answer = Answers.TryParse(fragment);
            LogFileName = Answers.Text(answer, "LogFileName");
            MessageText = Answers.Text(answer, "MessageText");
        }

        public string Command { get; private set; }
        /// <summary>The library's error text.</summary>
        public string ErrorText { get; private set; }
        /// <summary>The result fragment the failed command answered.</summary>
        public string Fragment { get; private set; }
        public string LogFileName { get; private set; }
        /// <summary>What failed first, when the receipt may have been printed.</summary>
        public string MessageText { get; private set; }

        /// <summary>True when the receipt may have been printed after all: look at the device
        /// (its last receipt, or GetStatus) before printing the sale again.</summary>
        public bool MayHavePrinted
        {
            get { return ErrorText == ReceiptUncertain; }
        }
    }

    /// <summary>How the driver reaches the iBox.</summary>
    public class Connection
    {
        public string Address = "";
        public int Port;
        public string Url = "";
        public string AuthType = "none";
        public string User = "";
        public string Password = "";
        /// <summary>Seconds; 0 leaves the driver's default.</summary>
        public int ConnectTimeout = 10;
        /// <summary>Seconds for each answer; the iBox answers an order once it has printed it.</summary>
        public int ReadTimeout = 60;

        internal XElement ToXml()
        {
            return new XElement("Connection", new XElement("Type", "http"),
                new XElement("Address", Address), new XElement("Port", Port), new XElement("URL", Url),
                new XElement("AuthType", AuthType), new XElement("User", User),
                new XElement("Password", Password), new XElement("ConnectTimeout", ConnectTimeout),
                new XElement("ReadTimeout", ReadTimeout));
        }
    }

    /// <summary>A product sale line; Amount is Quantity x Price rounded to the cent when not
    /// given.</summary>
    public class Sale
    {
        public Sale(string description, decimal price, decimal quantity = 1, int department = 1)
        {
            Description = description;
            Price = price;
            Quantity = quantity;
            Department = department;
        }

        public string Description;
        public decimal Price;
        public decimal Quantity;
        public int Department;
        public decimal? Amount;
        public string TaxCode = "";

        internal decimal LineAmount
        {
            get { return Amount ?? Math.Round(Quantity * Price, 2, MidpointRounding.AwayFromZero); }
        }

        internal XElement ToXml()
        {
            return new XElement("ProductSale", new XElement("Description", Description),
                new XElement("Quantity", Answers.Number(Quantity)),
                new XElement("Department", Department), new XElement("TaxCode", TaxCode),
                new XElement("Price", Answers.Number(Price)),
                new XElement("Amount", Answers.Number(LineAmount)));
        }
    }

    /// <summary>A payment: Type is cash, cheque, creditcard, debitcard, credit, giftcard,
    /// voucher, mealvoucher, nhscard, change ...; its code comes from NVRP_RORERER_10.ini.</summary>
    public class Payment
    {
        public Payment(string type, decimal amount)
        {
            Type = type;
            Amount = amount;
        }

        public string Type;
        public decimal Amount;
        public string Description = "";

        internal XElement ToXml()
        {
            return new XElement("Payment", new XElement("Type", Type),
                new XElement("Description", Description),
                new XElement("Amount", Answers.Number(Amount)));
        }
    }

    /// <summary>A fiscal sale receipt.</summary>
    public class Receipt
    {
        public List<Sale> Lines = new List<Sale>();
        public List<Payment> Payments = new List<Payment>();
        /// <summary>Null: the total of the lines.</summary>
        public decimal? TotalAmount;

        internal XElement ToXml()
        {
            var receipt = new XElement("Receipt", new XElement("Type", "Sale"));
            if (TotalAmount.HasValue)
            {
                receipt.Add(new XElement("TotalAmount", Answers.Number(TotalAmount.Value)));
            }
            receipt.Add(new XElement("Lines", Lines.Select(line => line.ToXml())),
                new XElement("Taxes"), new XElement("Payments", Payments.Select(p => p.ToXml())));
            return receipt;
        }
    }

    /// <summary>An answer: the fragment's elements by name.</summary>
    public class Answer
    {
        internal Answer(string fragment)
        {
            Fragment = fragment;
            Elements = Answers.TryParse(fragment) ?? new XElement("Answer");
        }

        /// <summary>The result fragment as the library answered it.</summary>
        public string Fragment { get; private set; }
        protected XElement Elements { get; private set; }
        public string LogFileName { get { return Text("LogFileName"); } }

        /// <summary>The text of the fragment's element `name`, empty when it has none.</summary>
        public string Text(string name)
        {
            return Answers.Text(Elements, name);
        }

        protected DateTime? DateTimeOf(string name)
        {
            var text = Text(name);
            if (text.Length == 0 || text == "1899-12-30T00:00:00") return null;
            return DateTime.ParseExact(text, "yyyy-MM-dd'T'HH:mm:ss", CultureInfo.InvariantCulture);
        }

        protected decimal AmountOf(string name)
        {
            var text = Text(name).Replace(',', '.');
            return text.Length == 0 ? 0m : decimal.Parse(text, NumberStyles.Number, CultureInfo.InvariantCulture);
        }

        protected int IntegerOf(string name)
        {
            var text = Text(name);
            return text.Length == 0 ? 0 : int.Parse(text, CultureInfo.InvariantCulture);
        }

        protected bool FlagOf(string name)
        {
            return Text(name) == "True";
        }

        protected List<string> LinesOf(string name)
        {
            var element = Elements.Element(name);
            return element == null ? new List<string>()
                                   : element.Elements("Line").Select(line => line.Value).ToList();
        }
    }

    public class OpenAnswer : Answer
    {
        internal OpenAnswer(string fragment) : base(fragment) { }
        public int Handle { get { return IntegerOf("Handle"); } }
        /// <summary>OPEN may succeed with a message: the device opened but its first status read
        /// failed.</summary>
        public string ErrorText { get { return Text("ErrorText"); } }
    }

    public class ReceiptAnswer : Answer
    {
        internal ReceiptAnswer(string fragment) : base(fragment) { }
        public DateTime? ReceiptDateTime { get { return DateTimeOf("ReceiptDateTime"); } }
        public string ReceiptNumber { get { return Text("ReceiptNumber"); } }
        public string DeviceSerialNumber { get { return Text("DeviceSerialNumber"); } }
        public string EJNumber { get { return Text("EJNumber"); } }
        public string EJClosingNumber { get { return Text("EJClosingNumber"); } }
        public string ReceiptText { get { return Text("ReceiptText"); } }
        /// <summary>The receipt's picture, a JPEG; empty unless asked for.</summary>
        public byte[] ReceiptImage { get { return Convert.FromBase64String(Text("ReceiptImage")); } }
        /// <summary>What failed on the way, or a payment sent with a code it has no line for;
        /// the receipt is printed all the same.</summary>
        public string MessageText { get { return Text("MessageText"); } }
    }

    public class XReportAnswer : Answer
    {
        internal XReportAnswer(string fragment) : base(fragment) { }
        public DateTime? XReportDateTime { get { return DateTimeOf("XReportDateTime"); } }
        public string XReportNumber { get { return Text("XReportNumber"); } }
    }

    public class ZReportAnswer : Answer
    {
        internal ZReportAnswer(string fragment) : base(fragment) { }
        public DateTime? ZReportDateTime { get { return DateTimeOf("ZReportDateTime"); } }
        public string ZReportNumber { get { return Text("ZReportNumber"); } }
        public string EJClosingNumber { get { return Text("EJClosingNumber"); } }
        public decimal DayTotalAmount { get { return AmountOf("DayTotalAmount"); } }
        public int DayReceiptsNumber { get { return IntegerOf("DayReceiptsNumber"); } }
        public string MessageText { get { return Text("MessageText"); } }
        /// <summary>The printed report, line by line.</summary>
        public List<string> ReportText { get { return LinesOf("Text"); } }
    }

    public class StatusAnswer : Answer
    {
        internal StatusAnswer(string fragment) : base(fragment) { }
        public bool DayOpened { get { return FlagOf("DayOpened"); } }
        public DateTime? DateTime { get { return DateTimeOf("DateTime"); } }
        public bool PaperEnd { get { return FlagOf("PaperEnd"); } }
        public bool FiscalReceiptOpen { get { return FlagOf("FiscalReceiptOpen"); } }
        public string SerialNumber { get { return Text("SerialNumber"); } }
        public string FiscalMode { get { return Text("FiscalMode"); } }
    }

    /// <summary>Calls of the loaded library.</summary>
    public static class FiscalLibrary
    {
        public const string Driver = "NVRP_RORERER_10";

        /// <summary>Calls one export; answers its result code, fragment and error text.</summary>
        public static short Call(string command, string request, out string fragment, out string errorText)
        {
            NativeMethods.Command function;
            if (!NativeMethods.Commands.TryGetValue(command, out function))
            {
                throw new ArgumentException("unknown command: " + command, "command");
            }
            string output, error;
            var result = function(request, out output, out error);
            fragment = output ?? "";
            errorText = error ?? "";
            return result;
        }

        /// <summary>The driver's version text ("Version 1.8 - ..."), empty for an unknown
        /// driver.</summary>
        public static string Version(string driver = Driver)
        {
            string fragment, errorText;
            Call("VERSION", driver, out fragment, out errorText);
            return fragment;
        }
    }

    /// <summary>An open iBox. Every method sends one command and answers it typed, or throws
    /// FiscalException when the command answers -1. Dispose closes the device.</summary>
    public sealed class FiscalDevice : IDisposable
    {
        private FiscalDevice(int handle, string logFileName, string logId)
        {
            Handle = handle;
            LogFileName = logFileName;
            LogId = logId;
        }

        public int Handle { get; private set; }
        public string LogFileName { get; private set; }
        public string LogId { get; private set; }

        /// <summary>Opens a device; parameters are envelope parameters by name (HexLog ...).</summary>
        public static FiscalDevice Open(Connection connection, string logId = "",
                                        IDictionary<string, object> parameters = null)
        {
            var request = Envelope(0, logId, parameters, connection.ToXml());
            var answer = new OpenAnswer(Exchange("OPEN", request));
            return new FiscalDevice(answer.Handle, answer.LogFileName, logId);
        }

        /// <summary>Prints a fiscal receipt; text and image ask for its printed text and
        /// picture in the answer.</summary>
        public ReceiptAnswer PrintReceipt(Receipt receipt, bool text = false, bool image = false)
        {
            var parameters = new Dictionary<string, object>();
            if (text) parameters["GetReceiptText"] = true;
            if (image) parameters["GetReceiptImage"] = true;
            return new ReceiptAnswer(Fragment("PRINTFR", parameters, receipt.ToXml()));
        }

        /// <summary>The day's figures; the day stays open.</summary>
        public XReportAnswer PrintXReport()
        {
            return new XReportAnswer(Fragment("PRINTXR", null, new XElement("XReport")));
        }

        /// <summary>Closes the fiscal day; the answer carries the day's figures.</summary>
        public ZReportAnswer PrintZReport()
        {
            return new ZReportAnswer(Fragment("PRINTZR", null, new XElement("ZReport")));
        }

        public StatusAnswer GetStatus()
        {
            return new StatusAnswer(Fragment("GETSTATUS", null));
        }

        /// <summary>Any command on this device, with its documents; answers the fragment.</summary>
        public Answer Send(string command, IDictionary<string, object> parameters, params XElement[] documents)
        {
            if (Handle == 0) throw new ObjectDisposedException("FiscalDevice");
            return new Answer(Exchange(command, Envelope(Handle, LogId, parameters, documents)));
        }

        public void Close()
        {
            if (Handle == 0) return;
            Send("CLOSE", null);
            Handle = 0;
        }

        public void Dispose()
        {
            Close();
        }

        private string Fragment(string command, IDictionary<string, object> parameters,
                                params XElement[] documents)
        {
            return Send(command, parameters, documents).Fragment;
        }

        private static string Exchange(string command, string request)
        {
            string fragment, errorText;
            if (FiscalLibrary.Call(command, request, out fragment, out errorText) != 0)
            {
                throw new FiscalException(command, errorText, fragment);
            }
            return fragment;
        }

        private static string Envelope(int handle, string logId, IDictionary<string, object> parameters,
                                       params XElement[] documents)
        {
            var values = new XElement("Parameters");
            if (parameters != null)
            {
                foreach (var parameter in parameters)
                {
                    values.Add(new XElement(parameter.Key, Answers.ParameterText(parameter.Value)));
                }
            }
            var request = new XElement("Request", new XElement("Driver", FiscalLibrary.Driver),
                new XElement("Handle", handle), new XElement("LogId", logId));
            foreach (var document in documents.Where(d => d != null && d.Name == "Connection"))
            {
                request.Add(document);
            }
            request.Add(values);
            request.Add(documents.Where(d => d != null && d.Name != "Connection"));
            return request.ToString(SaveOptions.DisableFormatting);
        }
    }

    /// <summary>Texts of requests and answers.</summary>
    internal static class Answers
    {
        // Some values are written without escaping (receipt numbers): a stray "&" is itself.
        private static readonly Regex StrayAmpersand =
            new Regex("&(?!(amp|lt|gt|quot|apos|#[0-9]+|#x[0-9a-fA-F]+);)");

        internal static XElement TryParse(string fragment)
        {
            if (string.IsNullOrEmpty(fragment)) return null;
            try
            {
                return XElement.Parse("<Answer>" + StrayAmpersand.Replace(fragment, "&amp;") + "</Answer>");
            }
            catch (System.Xml.XmlException)
            {
                return null;
            }
        }

        internal static string Text(XElement answer, string name)
        {
            var element = answer == null ? null : answer.Element(name);
            return element == null ? "" : element.Value;
        }

        /// <summary>An amount or quantity as the requests write it: a point, no exponent.</summary>
        internal static string Number(decimal value)
        {
            return value.ToString("0.############", CultureInfo.InvariantCulture);
        }

        internal static string ParameterText(object value)
        {
            if (value is bool) return (bool)value ? "true" : "false";
            if (value is decimal) return Number((decimal)value);
            return Convert.ToString(value, CultureInfo.InvariantCulture);
        }
    }
}
