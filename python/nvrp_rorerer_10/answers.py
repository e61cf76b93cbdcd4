"""Typed answers: the result fragment of each command read into a dataclass.

Date-times are datetime.datetime (None for the empty date 1899-12-30T00:00:00), amounts
decimal.Decimal, counts int, flags bool; numbers the device reports as text (receipt and
report numbers) stay str. Every answer carries `log_file_name`, the device's log.
"""

import base64
import datetime
import decimal
import re
import xml.etree.ElementTree as ET
from dataclasses import dataclass, field, fields
from typing import List, Optional

EMPTY_DATE_TIME = "1899-12-30T00:00:00"
# PRINTFR's answer when it failed part-way and the device could not tell whether it counted
# the receipt.
RECEIPT_UNCERTAIN = "The receipt may have been printed: check the device before printing it again"


class FiscalError(Exception):
    """A command answered -1. `text` is the library's error text, `command` the command,
    `answer` the RawAnswer (fragment included) and `log_file_name` the device's log."""

    def __init__(self, command, text, answer=None, log_file_name=""):
        super().__init__("%s: %s" % (command, text))
        self.command = command
        self.text = text
        self.answer = answer
        self.log_file_name = log_file_name

    @property
    def may_have_printed(self):
        """True when a receipt may have been printed after all: look at the device before
        printing the sale again."""
        return self.text == RECEIPT_UNCERTAIN


def parse_fragment(fragment):
    """The fragment's elements under one root element. Some values are written without
    escaping (receipt numbers); a stray "&" in them is read as itself."""
    try:
        return ET.fromstring("<Answer>" + fragment + "</Answer>")
    except ET.ParseError:
        repaired = re.sub(r"&(?!(amp|lt|gt|quot|apos|#[0-9]+|#x[0-9a-fA-F]+);)", "&amp;",
                          fragment)
        return ET.fromstring("<Answer>" + repaired + "</Answer>")


def _text(node):
    if node is None:
        return ""
    return node.text or ""


def to_date_time(text):
    if not text or text == EMPTY_DATE_TIME:
        return None
    return datetime.datetime.strptime(text, "%Y-%m-%dT%H:%M:%S")


def to_amount(text):
    # Exchange rates come with the host's decimal separator, which may be ",".
    return decimal.Decimal(text.replace(",", ".")) if text else decimal.Decimal(0)


def to_int(text):
    return int(text) if text else 0


def to_bool(text):
    return text == "True"


def to_lines(element):
    return [_text(line) for line in element.findall("Line")] if element is not None else []


def to_image(text):
    return base64.b64decode(text) if text else b""


def element(name, convert=str, default=None):
    """A field read from the fragment's element `name` through `convert`."""
    kwargs = {"default_factory": list} if default is list else {"default": default}
    return field(metadata={"element": name, "convert": convert}, **kwargs)


def read(cls, root):
    values = {}
    for item in fields(cls):
        name = item.metadata.get("element")
        if name is None:
            continue
        node = root.find(name)
        convert = item.metadata["convert"]
        values[item.name] = convert(node) if convert is to_lines else convert(_text(node))
    return cls(**values)


@dataclass
class Answer:
    """An answer without data of its own (CLOSE, SET, OPENDR, DISPLAY, the table writes)."""

    log_file_name: str = element("LogFileName", default="")
    # The call as the library answered it (result, fragment, error text).
    raw: object = field(default=None, repr=False, compare=False)


@dataclass
class OpenAnswer(Answer):
    handle: int = element("Handle", to_int, 0)
    # OPEN may succeed with a message: the device opened but its first status read failed.
    error_text: str = element("ErrorText", default="")


@dataclass
class ReceiptAnswer(Answer):
    receipt_date_time: Optional[datetime.datetime] = element("ReceiptDateTime", to_date_time)
    receipt_number: str = element("ReceiptNumber", default="")
    device_serial_number: str = element("DeviceSerialNumber", default="")
    ej_number: str = element("EJNumber", default="")
    ej_closing_number: str = element("EJClosingNumber", default="")
    server_serial_number: str = element("ServerSerialNumber", default="")
    receipt_text: str = element("ReceiptText", default="")
    receipt_image: bytes = field(default=b"", repr=False,  # JPEG
                                 metadata={"element": "ReceiptImage", "convert": to_image})
    invoice_number: str = element("InvoiceNumber", default="")
    invoice_date_time: Optional[datetime.datetime] = element("InvoiceDateTime", to_date_time)
    message_text: str = element("MessageText", default="")


@dataclass
class XReportAnswer(Answer):
    x_report_date_time: Optional[datetime.datetime] = element("XReportDateTime", to_date_time)
    x_report_number: str = element("XReportNumber", default="")
    device_serial_number: str = element("DeviceSerialNumber", default="")
    server_serial_number: str = element("ServerSerialNumber", default="")
    ej_number: str = element("EJNumber", default="")
    ej_closing_number: str = element("EJClosingNumber", default="")


@dataclass
class ZReportAnswer(Answer):
    z_report_date_time: Optional[datetime.datetime] = element("ZReportDateTime", to_date_time)
    z_report_number: str = element("ZReportNumber", default="")
    device_serial_number: str = element("DeviceSerialNumber", default="")
    server_serial_number: str = element("ServerSerialNumber", default="")
    ej_number: str = element("EJNumber", default="")
    ej_closing_number: str = element("EJClosingNumber", default="")
    # What failed on the way to a closed day, or before "the day may have been closed".
    message_text: str = element("MessageText", default="")
    grand_total_amount: decimal.Decimal = element("GrandTotalAmount", to_amount, 0)
    grand_total_refunds_amount: decimal.Decimal = element("GrandTotalRefundsAmount", to_amount, 0)
    grand_total_voids_amount: decimal.Decimal = element("GrandTotalVoidsAmount", to_amount, 0)
    day_total_amount: decimal.Decimal = element("DayTotalAmount", to_amount, 0)
    day_discounts_amount: decimal.Decimal = element("DayDiscountsAmount", to_amount, 0)
    day_returns_amount: decimal.Decimal = element("DayReturnsAmount", to_amount, 0)
    day_refunds_amount: decimal.Decimal = element("DayRefundsAmount", to_amount, 0)
    day_voids_amount: decimal.Decimal = element("DayVoidsAmount", to_amount, 0)
    day_receipts_number: int = element("DayReceiptsNumber", to_int, 0)
    day_refunds_number: int = element("DayRefundsNumber", to_int, 0)
    text: List[str] = element("Text", to_lines, list)  # the printed report, line by line


@dataclass
class NonFiscalAnswer(Answer):
    nf_receipt_date_time: Optional[datetime.datetime] = element("NFReceiptDateTime",
                                                                to_date_time)
    nf_receipt_number: str = element("NFReceiptNumber", default="")


@dataclass
class JournalReportAnswer(Answer):
    text: List[str] = element("Text", to_lines, list)


@dataclass
class JournalFilesAnswer(Answer):
    files_count: int = element("FilesCount", to_int, 0)


@dataclass
class LotteryStatusAnswer(Answer):
    correctly_sent: bool = element("CorrectlySent", to_bool, False)
    status_code: str = element("StatusCode", default="")
    status_description: str = element("StatusDescription", default="")
    reference_id: str = element("ReferenceId", default="")


@dataclass
class PaymentAnswer(Answer):
    device_id: str = element("DeviceId", default="")
    payment_date_time: Optional[datetime.datetime] = element("PaymentDateTime", to_date_time)
    payment_number: str = element("PaymentNumber", default="")
    payment_amount: decimal.Decimal = element("PaymentAmount", to_amount, 0)
    payment_currency: str = element("PaymentCurrency", default="")
    exchange_rate: decimal.Decimal = element("ExchangeRate", to_amount, 0)
    payment_amount_currency: decimal.Decimal = element("PaymentAmountCurrency", to_amount, 0)
    masked_pan: str = element("MaskedPAN", default="")
    payment_network: str = element("PaymentNetwork", default="")
    transaction_type: str = element("TransactionType", default="")
    auth_code: str = element("AuthCode", default="")
    trace_audit_id: str = element("TraceAuditId", default="")
    raw_response: str = element("RawResponse", default="")
    receipt_text: str = element("ReceiptText", default="")


@dataclass
class StatusAnswer(Answer):
    day_opened: bool = element("DayOpened", to_bool, False)
    date_time: Optional[datetime.datetime] = element("DateTime", to_date_time)
    paper_end: bool = element("PaperEnd", to_bool, False)
    paper_near_end: bool = element("PaperNearEnd", to_bool, False)
    cover_open: bool = element("CoverOpen", to_bool, False)
    fiscal_receipt_open: bool = element("FiscalReceiptOpen", to_bool, False)
    receipt_open: bool = element("ReceiptOpen", to_bool, False)
    training_mode: bool = element("TrainingMode", to_bool, False)
    firmware_version: str = element("FirmwareVersion", default="")
    serial_number: str = element("SerialNumber", default="")
    fiscal_mode: str = element("FiscalMode", default="")


@dataclass
class DateTimeAnswer(Answer):
    date_time: Optional[datetime.datetime] = element("DateTime", to_date_time)


@dataclass
class DrawerAnswer(Answer):
    is_open: bool = element("IsOpen", to_bool, False)


@dataclass
class VatEntry:
    index: int = element("Index", to_int, 0)
    code: str = element("Code", default="")
    description: str = element("Description", default="")
    rate: decimal.Decimal = element("Rate", to_amount, 0)


@dataclass
class DepartmentEntry:
    index: int = element("Index", to_int, 0)
    code: str = element("Code", default="")
    description: str = element("Description", default="")
    vat_code: str = element("VATCode", default="")
    sales_type: str = element("SalesType", default="")
    ea_code: str = element("EACode", default="")
    ea_description: str = element("EADescription", default="")
    ea_vat_mode: str = element("EAVATMode", default="")


@dataclass
class VatTableAnswer(Answer):
    entries: List[VatEntry] = field(default_factory=list)


@dataclass
class DepartmentTableAnswer(Answer):
    entries: List[DepartmentEntry] = field(default_factory=list)


def read_answer(cls, fragment):
    root = parse_fragment(fragment)
    answer = read(cls, root)
    if cls is VatTableAnswer:
        answer.entries = [read(VatEntry, vat) for vat in root.findall("VATTable/VAT")]
    elif cls is DepartmentTableAnswer:
        answer.entries = [read(DepartmentEntry, department)
                          for department in root.findall("DeptTable/Department")]
    return answer
