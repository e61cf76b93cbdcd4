"""The simulator's paper-roll page in a real browser.

Starts the ibox-sim program, prints part of a receipt on it, and lets Debian's headless
Chromium load /ui: the page must show the open receipt's lines while it prints, then the
closed receipt with its number, an injected fault and the drawer state.

Usage: python3 paper_roll_test.py IBOX_SIM_PROGRAM SCRATCH_DIRECTORY
"""

import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest
import urllib.request

IBOX_SIM = None
SCRATCH = None

CHROMIUM_FLAGS = [
    "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
    "--disable-background-networking", "--disable-component-update", "--disable-sync",
]


def find_chromium():
    for name in ("chromium", "chromium-browser"):
        path = shutil.which(name)
        if path:
            return path
    raise unittest.SkipTest("chromium is not installed (scripts/setup.sh installs it)")


class PaperRollPage(unittest.TestCase):
    def setUp(self):
        self.chromium = find_chromium()
        self.simulator = subprocess.Popen(
            [IBOX_SIM, "--port", "0", "--clock", "2024-03-01 14:05:09", "--freeze-clock",
             "--drawer-close-ms", "0"],
            stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
        self.addCleanup(self.stop_simulator)
        line = self.simulator.stdout.readline()
        match = re.match(r"ibox-sim listening on (http://\S+)", line)
        self.assertIsNotNone(match, "ibox-sim printed: " + line)
        self.base = match.group(1)
        self.seq_no = 0

    def stop_simulator(self):
        self.simulator.terminate()
        self.simulator.wait(timeout=10)
        self.simulator.stdout.close()

    def order(self, params):
        """One device order, sent as the driver sends it."""
        self.seq_no += 1
        url = "%s/db_otf_xml.xml?%s&SeqNo=%d&Do=&Sync=&makexmlotf=stat" % (
            self.base, params, self.seq_no)
        with urllib.request.urlopen(urllib.request.Request(url, method="POST"), timeout=10):
            pass

    def post(self, path, body):
        request = urllib.request.Request(self.base + path, data=body.encode(), method="POST")
        with urllib.request.urlopen(request, timeout=10) as answer:
            self.assertEqual(answer.status, 200)

    def page_text(self):
        """The page's DOM after its script has fetched the state, as Chromium renders it."""
        profile = tempfile.mkdtemp(dir=SCRATCH, prefix="chromium-profile-")
        try:
            result = subprocess.run(
                [self.chromium, *CHROMIUM_FLAGS, "--user-data-dir=" + profile,
                 "--virtual-time-budget=5000", "--dump-dom", self.base + "/ui"],
                capture_output=True, text=True, timeout=90)
        finally:
            shutil.rmtree(profile, ignore_errors=True)
        self.assertEqual(result.returncode, 0, result.stderr)
        return result.stdout.split("<script>")[0]  # the rendered page, without its script

    def test_shows_the_receipt_while_it_prints_and_once_it_is_closed(self):
        self.order("Order=PLU&Use=Sale&Code=1&Quant=2,000&Price=1,75")
        self.order("Order=COMMENT&Descr=Greek%20Yogurt%20%26%20Honey&Use=Line")
        printing = self.page_text()
        self.assertIn('<p class="caption">fiscal receipt printing ...</p>', printing)
        self.assertIn("Greek Yogurt &amp; Honey", printing)
        self.assertRegex(printing, r"DEPT 1 +3,50")
        self.assertIn("2024-03-01 14:05:09", printing)

        self.order("Order=PAY&Amount=5,00&Code=1")
        self.post("/ui/fault?sticky=1", "http-status:503:busy@PAY")
        self.post("/ui/drawer", "open")
        printed = self.page_text()
        self.assertNotIn("printing ...", printed)
        self.assertIn("receipt 1 of day 1, total 3.50", printed)
        for line in (r"Greek Yogurt &amp; Honey", r"CASH +5,00", r"CHANGE +1,50",
                     r"RECEIPT 0001 +Z 0001"):
            self.assertRegex(printed, line)
        self.assertIn("http-status:503:busy@PAY (sticky)", printed)
        self.assertRegex(printed, r'<span id="drawer">open</span>')


if __name__ == "__main__":
    IBOX_SIM, SCRATCH = sys.argv[1], sys.argv[2]
    os.makedirs(SCRATCH, exist_ok=True)
    unittest.main(argv=sys.argv[:1], verbosity=2)
