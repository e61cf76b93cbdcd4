"""An open iBox and its commands."""

import xml.etree.ElementTree as ET

from . import answers
from ._library import Library
from .documents import (Connection, ReceiptReference, add, date_time_text, request_text)

DRIVER = "NVRP_RORERER_10"

_shared_library = None


def shared_library():
    """The process's library, loaded on first use ($NVRP_LIBRARY or the installed one)."""
    global _shared_library
    if _shared_library is None:
        _shared_library = Library()
    return _shared_library


def _answer_or_raise(command, raw, answer_type):
    if raw.result != 0:
        log_file_name = ""
        try:
            log_file_name = answers.read_answer(answers.Answer, raw.fragment).log_file_name
        except ET.ParseError:
            pass
        raise answers.FiscalError(command, raw.error_text, raw, log_file_name)
    answer = answers.read_answer(answer_type, raw.fragment)
    answer.raw = raw
    return answer


class Device:
    """A device opened with Device.open; close it with close() or use it in a with block.

    Every method sends one command and returns its typed answer, or raises FiscalError
    with the library's error text when the command answers -1.
    """

    def __init__(self, library, handle, log_file_name="", driver=DRIVER):
        self.library = library
        self.handle = handle
        self.log_file_name = log_file_name
        self.driver = driver

    @classmethod
    def open(cls, connection: Connection, *, log_id="", parameters=None, library=None,
             driver=DRIVER):
        """Opens a device; `parameters` are envelope parameters by name (HexLog, ...)."""
        library = library or shared_library()
        request = request_text(0, (), parameters, driver, log_id, connection)
        answer = _answer_or_raise("OPEN", library.call("OPEN", request), answers.OpenAnswer)
        return cls(library, answer.handle, answer.log_file_name, driver)

    def __enter__(self):
        return self

    def __exit__(self, *exception):
        if self.handle:
            self.close()

    def send(self, command, documents=(), parameters=None, answer_type=answers.Answer):
        """Sends any command on this device: the documents are objects with to_xml or
        callables that add their element to the request's root."""
        request = request_text(self.handle, documents, parameters, self.driver)
        return _answer_or_raise(command, self.library.call(command, request), answer_type)

    def close(self):
        answer = self.send("CLOSE")
        self.handle = 0
        return answer

    # --- Receipts and reports ---------------------------------------------------------------

    def print_receipt(self, receipt, *, text=False, image=False) -> answers.ReceiptAnswer:
        """Prints a fiscal receipt; `text` and `image` ask for the printed text and a JPEG
        picture of it in the answer."""
        parameters = {}
        if text:
            parameters["GetReceiptText"] = True
        if image:
            parameters["GetReceiptImage"] = True
        return self.send("PRINTFR", [receipt], parameters, answers.ReceiptAnswer)

    def print_x_report(self, store_code="", till_code="") -> answers.XReportAnswer:
        """The day's figures; the day stays open."""
        return self.send("PRINTXR", [_codes("XReport", store_code, till_code)], None,
                         answers.XReportAnswer)

    def print_z_report(self, store_code="", till_code="") -> answers.ZReportAnswer:
        """Closes the fiscal day; the answer carries the day's figures and the report text."""
        return self.send("PRINTZR", [_codes("ZReport", store_code, till_code)], None,
                         answers.ZReportAnswer)

    def print_non_fiscal(self, lines, header=(), footer=()) -> answers.NonFiscalAnswer:
        """A non-fiscal document of Text and Barcode lines."""

        def document(root):
            receipt = ET.SubElement(root, "NFReceipt")
            for name, items in (("Header", header), (None, lines), ("Footer", footer)):
                section = ET.SubElement(receipt, name) if name else receipt
                body = ET.SubElement(section, "Lines")
                for item in items:
                    item.to_xml(body)

        return self.send("PRINTNFR", [document], None, answers.NonFiscalAnswer)

    def reprint(self, reference: ReceiptReference) -> answers.Answer:
        return self.send("REPRINTFR", [reference])

    def journal_report(self, report_type, start, end, *, destination="printer", start_number=0,
                       end_number=0) -> answers.JournalReportAnswer:
        """report_type: zreport, fiscalreceipt, nonfiscalreceipt, creditnote or invoice."""

        def document(root):
            report = ET.SubElement(root, "EJReport")
            add(report, "ReportType", report_type)
            add(report, "ReportDestination", destination)
            add(report, "StartDate", date_time_text(start))
            add(report, "EndDate", date_time_text(end))
            add(report, "StartNumber", str(start_number))
            add(report, "EndNumber", str(end_number))

        return self.send("EJREPORT", [document], None, answers.JournalReportAnswer)

    def journal_files(self, output_dir, start=None, end=None) -> answers.JournalFilesAnswer:
        def document(root):
            request = ET.SubElement(root, "EJRequest")
            add(request, "RequestType", "xml")
            add(request, "StartDate", start)
            add(request, "EndDate", end)
            add(request, "OutputDir", str(output_dir))

        return self.send("GETEJFILES", [document], None, answers.JournalFilesAnswer)

    def lottery_status(self, reference: ReceiptReference) -> answers.LotteryStatusAnswer:
        return self.send("GETLOTTERYRCPTSTATUS", [reference], None,
                         answers.LotteryStatusAnswer)

    def pay(self, amount, *, currency="EUR", reference="", copies=0,
            print_location="ECR") -> answers.PaymentAnswer:
        """A payment-terminal payment."""

        def document(root):
            payment = ET.SubElement(root, "Payment")
            add(payment, "Copies", str(copies))
            add(payment, "Reference", reference)
            add(payment, "Amount", amount)
            add(payment, "Currency", currency)
            add(payment, "PrintLocation", print_location)

        return self.send("PAY", [document], None, answers.PaymentAnswer)

    # --- Device service -----------------------------------------------------------------------

    def status(self) -> answers.StatusAnswer:
        return self.send("GETSTATUS", (), None, answers.StatusAnswer)

    def set_training_mode(self, on) -> answers.Answer:
        return self.send("SET", (), {"TrainingMode": bool(on)})

    def set_date_time(self, when) -> answers.DateTimeAnswer:
        return self.send("SETDATETIME", (), {"DateTime": when}, answers.DateTimeAnswer)

    def open_drawer(self, number=1) -> answers.Answer:
        return self.send("OPENDR", [_drawer(number)])

    def drawer_status(self, number=1) -> answers.DrawerAnswer:
        return self.send("GETDRSTATUS", [_drawer(number)], None, answers.DrawerAnswer)

    def display(self, lines, clear=True) -> answers.Answer:
        """Writes Text lines to the customer display."""

        def document(root):
            display = ET.SubElement(root, "Display")
            add(display, "Clear", bool(clear))
            body = ET.SubElement(display, "Lines")
            for line in lines:
                line.to_xml(body)

        return self.send("DISPLAY", [document])

    def vat_table(self) -> answers.VatTableAnswer:
        return self.send("GETVATTABLE", (), None, answers.VatTableAnswer)

    def set_vat_table(self, entries) -> answers.Answer:
        return self.send("SETVATTABLE", [_table("VATTable", entries)])

    def department_table(self) -> answers.DepartmentTableAnswer:
        return self.send("GETDEPTTABLE", (), None, answers.DepartmentTableAnswer)

    def set_department_table(self, entries) -> answers.Answer:
        return self.send("SETDEPTTABLE", [_table("DeptTable", entries)])


def _codes(name, store_code, till_code):
    def document(root):
        report = ET.SubElement(root, name)
        add(report, "StoreCode", store_code)
        add(report, "TillCode", till_code)

    return document


def _drawer(number):
    def document(root):
        add(ET.SubElement(root, "Drawer"), "Number", str(number))

    return document


def _table(name, entries):
    def document(root):
        table = ET.SubElement(root, name)
        for entry in entries:
            entry.to_xml(table)

    return document
