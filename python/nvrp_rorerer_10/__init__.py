"""Python binding of the NVRP_RORERER_10 fiscal-printer driver library (Epson iBox).

    import nvrp_rorerer_10 as fiscal

    connection = fiscal.Connection(address="127.0.0.1", port=8080)
    with fiscal.Device.open(connection, log_id="till1") as device:
        answer = device.print_receipt(fiscal.Receipt(
            lines=[fiscal.Sale("Freddo Espresso", price="2.50", quantity=2)],
            payments=[fiscal.Payment("cash", "5.00")]))
        print(answer.receipt_number, answer.receipt_date_time)
        z = device.print_z_report()
        print(z.z_report_number, z.day_total_amount)

The library is loaded with ctypes from $NVRP_LIBRARY, else as the system finds
libNVRP_RORERER_10.so; pass Library(path) to Device.open to choose another. Failures raise
FiscalError carrying the library's error text.
"""

from ._library import Library, RawAnswer
from .answers import (Answer, DateTimeAnswer, DepartmentEntry, DepartmentTableAnswer,
                      DrawerAnswer, FiscalError, JournalFilesAnswer, JournalReportAnswer,
                      LotteryStatusAnswer, NonFiscalAnswer, OpenAnswer, PaymentAnswer,
                      ReceiptAnswer, StatusAnswer, VatEntry, VatTableAnswer, XReportAnswer,
                      ZReportAnswer)
from .device import Device, shared_library
from .documents import (Barcode, Connection, Department, Discount, Line, Markup, Payment,
                        Receipt, ReceiptReference, Return, Sale, SubTotal, Tax, Text,
                        TextLine, TrailerBarcode, TrailerText, Vat, request_text)

__all__ = [name for name in dir() if not name.startswith("_")]
