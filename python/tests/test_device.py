"""The Python binding against the ibox-sim program, through the real driver library.

Environment: NVRP_LIBRARY (the library), IBOX_SIM (the simulator program).
"""

import datetime
import decimal
import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest
import urllib.request

import nvrp_rorerer_10 as fiscal

PAPER_OUT = "CHECK THE PRINTER PAPER! - ΕΛΕΓΞΤΕ TO XΑΡΤI ΕΚΤΥΠΩΤΗ! "
DEVICE_CLOCK = datetime.datetime(2024, 3, 1, 14, 5, 9)

# The library writes its logs into the host directory and reads its payment codes there.
HOST_DIR = tempfile.mkdtemp(prefix="nvrp-python-")
os.environ["NVRP_HOST_DIR"] = HOST_DIR
with open(os.path.join(HOST_DIR, "NVRP_RORERER_10.ini"), "w") as ini:
    ini.write("cash=1\ncreditcard=3\n")


def deli_receipt(**changes):
    receipt = fiscal.Receipt(
        number="1042",
        lines=[fiscal.Sale("Freddo Espresso", price="2.50", quantity=2, department="1"),
               fiscal.Sale("Fish & Chips <large>", price=6.9, department="2"),
               fiscal.Discount("0.40", "Loyalty")],
        payments=[fiscal.Payment("cash", 10), fiscal.Payment("creditcard", "4.00"),
                  fiscal.Payment("change", "0.50")],
        trailer=[fiscal.TrailerText("Thank you!")])
    for name, value in changes.items():
        setattr(receipt, name, value)
    return receipt


class SimulatorTest(unittest.TestCase):
    def setUp(self):
        self.simulator = subprocess.Popen(
            [os.environ["IBOX_SIM"], "--port", "0", "--clock", "2024-03-01 14:05:09",
             "--freeze-clock"], stdout=subprocess.PIPE, text=True)
        self.addCleanup(self.stop_simulator)
        line = self.simulator.stdout.readline()
        match = re.match(r"ibox-sim listening on http://127\.0\.0\.1:(\d+)", line)
        self.assertIsNotNone(match, line)
        self.port = int(match.group(1))
        self.connection = fiscal.Connection(address="127.0.0.1", port=self.port)

    def stop_simulator(self):
        self.simulator.terminate()
        self.simulator.wait(timeout=10)
        self.simulator.stdout.close()

    def inject(self, fault, sticky=False):
        self.post("/ui/fault" + ("?sticky=1" if sticky else ""), fault)

    def clear_faults(self):
        self.post("/ui/faults/clear", "")

    def post(self, path, body):
        request = urllib.request.Request("http://127.0.0.1:%d%s" % (self.port, path),
                                         data=body.encode(), method="POST")
        urllib.request.urlopen(request, timeout=10).close()

    def test_receipt_x_and_z_report_give_typed_answers(self):
        with fiscal.Device.open(self.connection, log_id="py") as device:
            self.assertGreater(device.handle, 0)
            self.assertTrue(device.log_file_name.endswith(".log"))
            receipt = device.print_receipt(deli_receipt(), text=True, image=True)
            self.assertEqual(receipt.receipt_number, "1")
            self.assertEqual(receipt.receipt_date_time, DEVICE_CLOCK)
            self.assertEqual(receipt.ej_closing_number, "1")
            self.assertIn("Fish & Chips <large>", receipt.receipt_text)
            self.assertRegex(receipt.receipt_text, r"TOTAL +11,50")
            self.assertRegex(receipt.receipt_text, r"CREDIT CARD +4,00")
            self.assertIn("RECEIPT 0001", receipt.receipt_text)
            self.assertEqual(receipt.receipt_image[:2], b"\xff\xd8")
            self.assertIsNone(receipt.invoice_date_time)
            self.assertEqual(receipt.raw.result, 0)

            x_report = device.print_x_report()
            self.assertIsInstance(x_report.x_report_date_time, datetime.datetime)

            z_report = device.print_z_report()
            self.assertEqual(z_report.z_report_number, "1")
            self.assertEqual(z_report.z_report_date_time, DEVICE_CLOCK)
            self.assertEqual(z_report.day_receipts_number, 1)
            self.assertEqual(z_report.day_total_amount, decimal.Decimal("11.50"))
            self.assertIsInstance(z_report.grand_total_amount, decimal.Decimal)
            self.assertIn("                   Z REPORT", z_report.text)
            self.assertEqual(z_report.message_text, "")
            self.assertRegex("\n".join(z_report.text), r"DAY TOTAL +11,50")
        self.assertEqual(device.handle, 0)

    def test_status_drawer_tables_display_non_fiscal_and_payment(self):
        with fiscal.Device.open(self.connection) as device:
            status = device.status()
            self.assertEqual(status.serial_number, "SIM00000001")
            self.assertEqual(status.date_time, DEVICE_CLOCK)
            self.assertFalse(status.day_opened)
            self.assertFalse(status.receipt_open)
            self.assertEqual(status.fiscal_mode, "MF")

            device.open_drawer()
            self.assertIsInstance(device.drawer_status().is_open, bool)
            device.set_training_mode(False)
            device.display([fiscal.Text("Freddo Espresso"), fiscal.Text("5.00", "right")])
            device.set_vat_table([fiscal.Vat("A", "VAT 24%", "24.00")])
            self.assertEqual(device.vat_table().entries, [])
            device.set_department_table([fiscal.Department("1", "Coffee", "A", ea_code="56.30",
                                                           ea_description="Beverages")])
            self.assertEqual(device.department_table().entries, [])

            slip = device.print_non_fiscal([fiscal.Text("Table 4 & 5"), fiscal.Barcode("77")],
                                           header=[fiscal.Text("KITCHEN", "center", 2, "bold")])
            self.assertEqual(slip.nf_receipt_date_time, DEVICE_CLOCK)
            payment = device.pay("9.00")
            self.assertEqual(payment.transaction_type, "MANUAL")
            self.assertEqual(payment.payment_amount, decimal.Decimal(0))

            refusals = [(lambda: device.set_training_mode(True),
                         "Training mode is not supported by the device"),
                        (lambda: device.set_date_time(DEVICE_CLOCK),
                         "Set Date and Time is not supported")]
            for call, text in refusals:
                with self.subTest(text), self.assertRaises(fiscal.FiscalError) as caught:
                    call()
                self.assertEqual(caught.exception.text, text)

    def test_journal_lottery_and_reprint_requests_reach_the_device(self):
        day = datetime.datetime(2024, 3, 1)
        reference = fiscal.ReceiptReference("1", ej_closing_number="1", receipt_date_time=day)
        with fiscal.Device.open(self.connection) as device:
            journal = device.journal_report("fiscalreceipt", day, day.replace(hour=23),
                                            start_number=1, end_number=10)
            self.assertEqual(journal.text, [])
            self.assertEqual(device.journal_files("journal", start=day).files_count, 0)
            lottery = device.lottery_status(reference)
            self.assertFalse(lottery.correctly_sent)
            self.assertEqual(lottery.status_code, "")
            with self.assertRaises(fiscal.FiscalError) as caught:
                device.reprint(reference)
            self.assertEqual(caught.exception.text, "Reprint Receipt is not supported")
            self.assertFalse(caught.exception.may_have_printed)
            with self.assertRaises(fiscal.FiscalError) as caught:
                device.journal_report("everything", day, day)
            self.assertEqual(caught.exception.text, "ReportType everything is invalid")

    def test_failures_raise_one_error_type_with_the_library_text(self):
        cases = [
            ("refund", None, deli_receipt(type="Refund"),
             "Receipt Type must be SALE. Other types are unsupported"),
            ("unknown payment", None, deli_receipt(payments=[fiscal.Payment("card", 1)]),
             "PaymentType card is invalid"),
            ("paper out", "device-error:101@PLU", deli_receipt(), PAPER_OUT),
        ]
        with fiscal.Device.open(self.connection) as device:
            for name, fault, receipt, text in cases:
                with self.subTest(name):
                    if fault:
                        self.inject(fault)
                    with self.assertRaises(fiscal.FiscalError) as caught:
                        device.print_receipt(receipt)
                    self.assertEqual(caught.exception.text, text)
                    self.assertEqual(caught.exception.command, "PRINTFR")
                    self.assertEqual(caught.exception.answer.result, -1)
                    self.assertIn("<Error>True</Error>", caught.exception.answer.fragment)
            # After the failures the device prints normally.
            self.assertEqual(device.print_receipt(deli_receipt()).receipt_number, "1")
            handle = device.handle
        closed = fiscal.Device(fiscal.shared_library(), handle)
        with self.assertRaises(fiscal.FiscalError) as caught:
            closed.print_x_report()
        self.assertEqual(caught.exception.text, "Printer Handle not found")
        self.assertEqual(caught.exception.log_file_name, "")

    def test_a_receipt_whose_answer_is_lost_is_confirmed_against_the_device(self):
        with fiscal.Device.open(self.connection) as device:
            # The only payment closes the receipt on the device; its answer is lost.
            self.inject("drop-after@Order=PAY")
            printed = device.print_receipt(deli_receipt(payments=[fiscal.Payment("cash", 20)]))
            self.assertEqual(printed.receipt_number, "1")
            self.assertNotEqual(printed.message_text, "")

            # Nothing reached the device: the receipt is known not to be printed.
            self.inject("drop@Status", sticky=True)
            with self.assertRaises(fiscal.FiscalError) as caught:
                device.print_receipt(deli_receipt())
            self.assertFalse(caught.exception.may_have_printed, caught.exception.text)
            self.clear_faults()

    def test_open_failures(self):
        cases = [
            (dict(driver="nvrp_rorerer_10"),
             "Fiscal Printer Driver [nvrp_rorerer_10] not registered."),
            (dict(connection=fiscal.Connection(type="tcp", address="127.0.0.1", port=1)),
             "Invalid class typecast"),
        ]
        for options, text in cases:
            with self.subTest(text):
                connection = options.pop("connection", self.connection)
                with self.assertRaises(fiscal.FiscalError) as caught:
                    fiscal.Device.open(connection, **options)
                self.assertEqual(caught.exception.text, text)
                self.assertEqual(caught.exception.command, "OPEN")


class LibraryTest(unittest.TestCase):
    def test_raw_calls_and_version(self):
        library = fiscal.shared_library()
        self.assertRegex(library.version(), r"^Version \S+ - ")
        self.assertEqual(library.version("NO_SUCH_DRIVER"), "")
        raw = library.call("CLOSE", "<Request><Handle>0</Handle></Request>")
        self.assertEqual(raw.result, -1)
        self.assertEqual(raw.error_text, "Fiscal Printer has not previously opened")
        raw = library.call("OPEN", "not xml \U0001F600")
        self.assertEqual(raw.result, -1)
        self.assertNotEqual(raw.error_text, "")
        with self.assertRaises(ValueError):
            library.call("PRINT", "")


class RequestTextTest(unittest.TestCase):
    def test_numbers_use_a_point_and_no_exponent(self):
        cases = [(0.1, "0.1"), (2, "2"), ("2.500", "2.500"), (decimal.Decimal("1E+2"), "100"),
                 (-0.25, "-0.25"), (1e-5, "0.00001")]
        for value, text in cases:
            with self.subTest(value=value):
                self.assertEqual(fiscal.documents.number_text(value), text)
        for bad in (float("nan"), "1,5", "abc"):
            with self.subTest(bad=bad), self.assertRaises((ValueError, decimal.InvalidOperation)):
                fiscal.documents.number_text(bad)

    def test_line_kinds_and_escaping(self):
        request = fiscal.request_text(3, [fiscal.Receipt(
            lines=[fiscal.Sale("A & B", price="1.005", quantity=3),
                   fiscal.Discount("1", percentage=10, on_subtotal=True),
                   fiscal.Markup("0.50"), fiscal.SubTotal(), fiscal.TextLine("<note>"),
                   fiscal.Return("Bottle", price="0.10", department="5")],
            payments=[fiscal.Payment("cash", "3.00")])], {"HexLog": True})
        for part in ("<Handle>3</Handle>", "<HexLog>true</HexLog>",
                     "<Description>A &amp; B</Description>", "<Amount>3.02</Amount>",
                     "<DiscountPercentageOnSubtotal><Percentage>10</Percentage>",
                     "<MarkupAmount><Amount>0.50</Amount>", "<SubTotal />",
                     "<Description>&lt;note&gt;</Description>", "<ProductReturn>",
                     "<Department>5</Department>"):
            self.assertIn(part, request)


class LibraryLookupTest(unittest.TestCase):
    """Without NVRP_LIBRARY: the library installed beside the package is found, and a library
    that is nowhere gives an error that names NVRP_LIBRARY."""

    def version_without_variable(self, package_parent):
        environment = dict(os.environ)
        environment.pop("NVRP_LIBRARY", None)
        environment["PYTHONPATH"] = package_parent
        return subprocess.run(
            [sys.executable, "-c", "import nvrp_rorerer_10 as f; print(f.Library().version())"],
            env=environment, cwd=package_parent, capture_output=True, text=True, timeout=60)

    def test_installed_library_is_found_and_a_missing_one_names_the_variable(self):
        source = os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))),
                              "nvrp_rorerer_10")
        with tempfile.TemporaryDirectory() as prefix:
            packages = os.path.join(prefix, "lib", "python3", "dist-packages")
            shutil.copytree(source, os.path.join(packages, "nvrp_rorerer_10"))
            missing = self.version_without_variable(packages)
            self.assertNotEqual(missing.returncode, 0)
            self.assertIn("NVRP_LIBRARY", missing.stderr)

            shutil.copy(os.environ["NVRP_LIBRARY"],
                        os.path.join(prefix, "lib", "libNVRP_RORERER_10.so"))
            found = self.version_without_variable(packages)
            self.assertEqual(found.returncode, 0, found.stderr)
            self.assertTrue(found.stdout.startswith("Version "), found.stdout)


if __name__ == "__main__":
    unittest.main()
