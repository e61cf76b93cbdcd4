"""Requests built from Python objects.

Amounts, prices, quantities and rates may be int, str, float or decimal.Decimal; they are
written with "." as the decimal separator. Date-times are datetime.datetime objects.
"""

import datetime
import decimal
import xml.etree.ElementTree as ET
from dataclasses import dataclass, field
from typing import Optional, Sequence, Union

Number = Union[int, str, float, decimal.Decimal]


def number_text(value):
    """An amount as the request syntax writes it: digits, "." decimals, no exponent."""
    if isinstance(value, float):
        value = repr(value)
    number = decimal.Decimal(value)
    if not number.is_finite():
        raise ValueError("not a finite amount: %r" % (value,))
    return format(number, "f")


def date_time_text(value):
    return value.strftime("%Y-%m-%dT%H:%M:%S")


def boolean_text(value):
    return "true" if value else "false"


def add(parent, name, value):
    """Appends <name>value</name>; None adds nothing. Returns the new element."""
    if value is None:
        return None
    element = ET.SubElement(parent, name)
    if isinstance(value, bool):
        element.text = boolean_text(value)
    elif isinstance(value, (int, float, decimal.Decimal)):
        element.text = number_text(value)
    elif isinstance(value, datetime.datetime):
        element.text = date_time_text(value)
    else:
        element.text = str(value)
    return element


@dataclass
class Connection:
    """How the driver reaches the iBox. Time-outs are in seconds.

    The iBox answers an order only after printing it: a read time-out that fires while it
    prints reports a printed receipt as failed, so keep `read_timeout` generous.
    """

    address: str = ""         # "192.0.2.10" or "http://192.0.2.10"
    port: int = 0             # appended as ":port" when above 0
    url: str = ""             # when set, used instead of address and port
    auth_type: str = "none"   # none, basic or digest
    user: str = ""
    password: str = ""
    connect_timeout: int = 10
    read_timeout: int = 60
    type: str = "http"

    def to_xml(self, parent):
        element = ET.SubElement(parent, "Connection")
        add(element, "Type", self.type)
        add(element, "Address", self.address)
        add(element, "Port", str(self.port))
        add(element, "URL", self.url)
        add(element, "AuthType", self.auth_type)
        add(element, "User", self.user)
        add(element, "Password", self.password)
        add(element, "ConnectTimeout", str(self.connect_timeout))
        add(element, "ReadTimeout", str(self.read_timeout))
        return element


# --- Receipt lines --------------------------------------------------------------------------


@dataclass
class Sale:
    """An item sold. `amount` defaults to price × quantity."""

    description: str
    price: Number
    quantity: Number = 1
    department: str = "1"   # the iBox department the item is booked on (1 to 99)
    code: str = ""
    tax_code: str = ""
    uom: str = ""
    amount: Optional[Number] = None
    free_of_charge: bool = False
    attribute: str = "product"  # product or service
    kind: str = "ProductSale"

    def line_amount(self):
        if self.amount is not None:
            return self.amount
        total = decimal.Decimal(number_text(self.price)) * decimal.Decimal(
            number_text(self.quantity))
        return total.quantize(decimal.Decimal("0.01"), rounding=decimal.ROUND_HALF_UP)

    def to_xml(self, parent):
        line = ET.SubElement(parent, self.kind)
        add(line, "Code", self.code)
        add(line, "Description", self.description)
        add(line, "Quantity", self.quantity)
        add(line, "UOM", self.uom)
        add(line, "Department", self.department)
        add(line, "TaxCode", self.tax_code)
        add(line, "Price", self.price)
        add(line, "Amount", self.line_amount())
        add(line, "FreeOfCharge", self.free_of_charge)
        add(line, "Attribute", self.attribute)
        return line


@dataclass
class Return(Sale):
    """An item taken back (printed as a refund line)."""

    kind: str = "ProductReturn"


@dataclass
class Discount:
    """A discount on the previous item (or on the subtotal), given as a positive amount.

    With `percentage` it is a percentage discount; `amount` is then the computed amount.
    """

    amount: Number
    description: str = ""
    percentage: Optional[Number] = None
    on_subtotal: bool = False
    markup: bool = False

    def to_xml(self, parent):
        kind = "Markup" if self.markup else "Discount"
        kind += "Percentage" if self.percentage is not None else "Amount"
        if self.on_subtotal:
            kind += "OnSubtotal"
        line = ET.SubElement(parent, kind)
        add(line, "Percentage", self.percentage)
        add(line, "Amount", self.amount)
        add(line, "Description", self.description)
        return line


@dataclass
class Markup(Discount):
    """A markup on the previous item (or on the subtotal)."""

    markup: bool = True


@dataclass
class SubTotal:
    amount: Optional[Number] = None

    def to_xml(self, parent):
        line = ET.SubElement(parent, "SubTotal")
        add(line, "Amount", self.amount)
        return line


@dataclass
class TextLine:
    """A free text line among the items."""

    description: str

    def to_xml(self, parent):
        line = ET.SubElement(parent, "Text")
        add(line, "Description", self.description)
        return line


@dataclass
class Line:
    """Any other line kind (VoucherSale, GiftCardRedeem, CollectAmount, ...) with its elements
    by name, for example Line("VoucherSale", {"Description": "Voucher", "Price": 20})."""

    kind: str
    elements: dict = field(default_factory=dict)

    def to_xml(self, parent):
        line = ET.SubElement(parent, self.kind)
        for name, value in self.elements.items():
            add(line, name, value)
        return line


# --- Payments, taxes, trailer ---------------------------------------------------------------


@dataclass
class Payment:
    """A payment. `type` is one of cash, cheque, creditcard, debitcard, credit,
    creditonproducts, creditonservices, giftcard, voucher, mealvoucher, nhscard, change."""

    type: str
    amount: Number
    description: str = ""

    def to_xml(self, parent):
        payment = ET.SubElement(parent, "Payment")
        add(payment, "Type", self.type)
        add(payment, "Description", self.description)
        add(payment, "Amount", self.amount)
        return payment


@dataclass
class Tax:
    code: str
    rate: Number
    taxable_amount: Number
    tax_amount: Number
    total_amount: Number
    description: str = ""
    type: str = "VAT"  # VAT or SalesTax

    def to_xml(self, parent):
        tax = ET.SubElement(parent, "Tax")
        add(tax, "Type", self.type)
        add(tax, "Code", self.code)
        add(tax, "Description", self.description)
        add(tax, "Rate", self.rate)
        add(tax, "TaxableAmount", self.taxable_amount)
        add(tax, "TaxAmount", self.tax_amount)
        add(tax, "TotalAmount", self.total_amount)
        return tax


@dataclass
class TrailerText:
    """A message line after the payments (at most six are printed)."""

    value: str
    alignment: str = "center"  # left, right or center
    size: int = 1              # 2 prints double size

    def to_xml(self, parent):
        text = ET.SubElement(parent, "Text")
        add(text, "Value", self.value)
        add(text, "Size", str(self.size))
        add(text, "Alignment", self.alignment)
        return text


@dataclass
class TrailerBarcode:
    value: str
    type: str = "qrcode"  # ean13, ean8, code39, code128, qrcode, upca, upce, interleaved2of5
    hri: bool = False

    def to_xml(self, parent):
        barcode = ET.SubElement(parent, "Barcode")
        add(barcode, "Value", self.value)
        add(barcode, "Type", self.type)
        add(barcode, "HRI", self.hri)
        return barcode


@dataclass
class Receipt:
    """A fiscal receipt. The iBox prints sales only (type "Sale").

    `header` holds any further receipt element by name (StoreCode, TillCode, OperatorCode,
    CustomerName, ...), written before the lines.
    """

    lines: Sequence = ()
    payments: Sequence = ()
    taxes: Sequence = ()
    trailer: Sequence = ()
    type: str = "Sale"
    number: str = ""
    date_time: Optional[datetime.datetime] = None
    total_amount: Optional[Number] = None
    header: dict = field(default_factory=dict)

    def to_xml(self, parent):
        receipt = ET.SubElement(parent, "Receipt")
        add(receipt, "Type", self.type)
        add(receipt, "Number", self.number)
        add(receipt, "DateTime", self.date_time)
        add(receipt, "TotalAmount", self.total_amount)
        for name, value in self.header.items():
            add(receipt, name, value)
        for name, items in (("Lines", self.lines), ("Taxes", self.taxes),
                            ("Payments", self.payments), ("TrailerMessages", self.trailer)):
            section = ET.SubElement(receipt, name)
            for item in items:
                item.to_xml(section)
        return receipt


# --- Non-fiscal documents and display -------------------------------------------------------


@dataclass
class Text:
    """A line of a non-fiscal receipt or of the customer display."""

    value: str
    alignment: str = "left"
    size: int = 1
    effects: str = ""  # comma-separated: bold, italic, underline, doubleheight, ...

    def to_xml(self, parent):
        text = ET.SubElement(parent, "Text")
        add(text, "Value", self.value)
        add(text, "Size", str(self.size))
        add(text, "Alignment", self.alignment)
        add(text, "Effects", self.effects or None)
        return text


@dataclass
class Barcode:
    """A barcode line of a non-fiscal receipt."""

    value: str
    type: str = "qrcode"

    def to_xml(self, parent):
        barcode = ET.SubElement(parent, "Barcode")
        add(barcode, "Value", self.value)
        add(barcode, "Type", self.type)
        return barcode


@dataclass
class ReceiptReference:
    """An earlier receipt, for REPRINTFR and GETLOTTERYRCPTSTATUS."""

    receipt_number: str
    ej_closing_number: str = ""
    ej_number: str = ""
    receipt_date_time: Optional[datetime.datetime] = None
    device_serial_number: str = ""
    receipt_type: str = "Sale"

    def to_xml(self, parent):
        reference = ET.SubElement(parent, "ReceiptReference")
        add(reference, "ReceiptType", self.receipt_type)
        add(reference, "EJNumber", self.ej_number)
        add(reference, "EJClosingNumber", self.ej_closing_number)
        add(reference, "ReceiptDateTime", self.receipt_date_time)
        add(reference, "ReceiptNumber", self.receipt_number)
        add(reference, "DeviceSerialNumber", self.device_serial_number)
        return reference


@dataclass
class Vat:
    code: str
    description: str
    rate: Number

    def to_xml(self, parent):
        vat = ET.SubElement(parent, "VAT")
        add(vat, "Code", self.code)
        add(vat, "Description", self.description)
        add(vat, "Rate", self.rate)
        return vat


@dataclass
class Department:
    code: str
    description: str
    vat_code: str = ""
    sales_type: str = "product"  # product or service
    ea_code: str = ""
    ea_description: str = ""
    ea_vat_mode: str = ""

    def to_xml(self, parent):
        department = ET.SubElement(parent, "Department")
        add(department, "Code", self.code)
        add(department, "Description", self.description)
        add(department, "VATCode", self.vat_code)
        add(department, "SalesType", self.sales_type)
        add(department, "EACode", self.ea_code)
        add(department, "EADescription", self.ea_description)
        add(department, "EAVATMode", self.ea_vat_mode)
        return department


def request_text(handle, documents=(), parameters=None, driver="NVRP_RORERER_10", log_id="",
                 connection=None):
    """The whole request: envelope, then the documents (objects with to_xml, or callables
    that add their element to the root)."""
    root = ET.Element("Request")
    add(root, "Driver", driver)
    add(root, "Handle", str(handle))
    add(root, "LogId", log_id)
    if connection is not None:
        connection.to_xml(root)
    if parameters:
        element = ET.SubElement(root, "Parameters")
        for name, value in parameters.items():
            add(element, name, value)
    for document in documents:
        if callable(document):
            document(root)
        else:
            document.to_xml(root)
    return ET.tostring(root, encoding="unicode")
