#!/usr/bin/env python3
"""sepa-tool statements end to end: the JSON it writes for MT940 and camt files (every
field of a hand-made camt statement, real files against other projects' expected
results), exact amounts, the exit codes, and memory that does not grow with the output.

Usage: sepa_tool_statements_test.py SEPA_TOOL TESTS_DIR SHARED_CAMT_DIR
"""

import csv
import json
import os
import re
import resource
import subprocess
import sys
import tempfile
import unittest
from decimal import Decimal

TOOL, TESTS, SHARED_CAMT = sys.argv[1:4]
del sys.argv[1:4]

FIXTURE = os.path.join(TESTS, "camt", "surfaces_camt053_v08.xml")
AMOUNT_KEYS = ("amount", "openSaldo", "closeSaldo", "charges", "originalAmount", "entryAmount")


def run(path, timeout=60):
    return subprocess.run([TOOL, "statements", path], capture_output=True, timeout=timeout)


def statements(path):
    result = run(path)
    if result.returncode != 0:
        raise AssertionError(f"{path}: exit {result.returncode}: {result.stderr.decode()}")
    return json.loads(result.stdout, parse_float=Decimal), result.stdout.decode()


def shared(name):
    path = os.path.join(SHARED_CAMT, name)
    if not os.path.exists(path):
        raise unittest.SkipTest(f"{path} not found: real camt files are not beside the repository")
    return path


class HandMadeCamt(unittest.TestCase):
    """Every field of the fixture as the header documents its mapping."""

    @classmethod
    def setUpClass(cls):
        cls.doc, cls.text = statements(FIXTURE)

    def test_statement(self):
        self.assertEqual(len(self.doc), 1)
        s = self.doc[0]
        expected = {
            "ref": "STMT-2026-11-03", "account": "DE89370400440532013000", "number": 215,
            "openSaldo": Decimal("1000.00"), "openCurrency": "EUR", "openDate": "2026-11-02",
            "closeSaldo": Decimal("900.01"), "closeCurrency": "EUR", "closeDate": "2026-11-03",
            "messageType": "camt.053.001.08", "messageId": "MSG-SURFACE-1",
            "created": "2026-11-03T08:00:00", "accountCurrency": "EUR", "accountBic": "COBADEFFXXX",
            "ownerName": "Muster & Söhne GmbH", "legalNumber": 44,
        }
        for key, value in expected.items():
            with self.subTest(key=key):
                self.assertEqual(s.get(key), value)
        self.assertEqual(len(s["tx"]), 4)

    def test_lines(self):
        long_name = ("Überlange Firmenbezeichnung & Partner Gesellschaft mit beschränkter Haftung "
                     "für Handel, Logistik und Dienstleistungen aller Art")
        expected = [
            {"valuta": "2026-11-04", "booked": "2026-11-03", "amount": Decimal("250.01"), "currency": "EUR",
             "reversal": False, "status": "BOOK", "code": "TRF", "gvc": 166, "primanota": "9310",
             "bankref": "BANKREF-1", "ref": "E2E-INV-1", "eref": "E2E-INV-1", "endToEndId": "E2E-INV-1",
             "bank": "BYLADEM1001", "account": "DE02120300000000202051", "name": long_name,
             "abwa": "Ultimate Payer", "purp": "SALA", "svwz": "Invoice 4711 paid in full",
             "creditorRef": "RF18539007547034", "entryRef": "N-1",
             "bankTxCode": {"domain": "PMNT", "family": "RCDT", "subFamily": "ESCT",
                            "proprietary": "NTRF+166+9310"}},
            {"amount": Decimal("-100.00"), "currency": "EUR", "code": "MSC", "gvc": 191, "primanota": "9320",
             "mref": "MANDATE-1", "cred": "DE98ZZZ09999999999", "name": "Stadtwerke Musterstadt",
             "account": "DE02500105170137075030", "svwz": "Abschlag November", "entryIndex": 1,
             "entryTxCount": 2, "entryAmount": Decimal("-300.00"), "bankTxCode": {"proprietary": "NMSC+191+9320"}},
            {"amount": Decimal("-200.00"), "name": "Vermieter", "entryIndex": 2, "entryTxCount": 2,
             "entryAmount": Decimal("-300.00"), "endToEndId": "E2E-B-2"},
            {"amount": Decimal("-50.00"), "reversal": True, "gvc": 109, "returnReason": "MD06",
             "charges": Decimal("3.00"), "chargesCurrency": "EUR", "originalAmount": Decimal("47.00"),
             "originalCurrency": "EUR", "endToEndId": "E2E-RET-1"},
        ]
        lines = self.doc[0]["tx"]
        for index, fields in enumerate(expected):
            for key, value in fields.items():
                with self.subTest(line=index, key=key):
                    self.assertEqual(lines[index].get(key), value)
        # A line outside a batch has no batch keys.
        self.assertNotIn("entryTxCount", lines[0])

    def test_lines_add_up_to_the_closing_balance(self):
        s = self.doc[0]
        self.assertEqual(s["openSaldo"] + sum(line["amount"] for line in s["tx"]), s["closeSaldo"])


class Mt940(unittest.TestCase):
    def test_bundled_statement_keeps_its_keys_and_values(self):
        doc, text = statements(os.path.join(TESTS, "..", "examples", "data", "statement.sta"))
        self.assertIn('"closeSaldo": 2684.66', text)
        s = doc[0]
        self.assertEqual(list(s)[:11], ["ref", "account", "number", "page", "openSaldo", "openCurrency",
                                        "openDate", "closeSaldo", "closeCurrency", "closeDate", "messageType"])
        first = s["tx"][0]
        for key, value in {"valuta": "2027-01-02", "booked": "2027-01-02", "amount": Decimal("-49.90"),
                           "currency": "EUR", "reversal": False, "code": "DDT", "ref": "NONREF",
                           "bankref": "0000012345", "gvc": 105, "txtext": "SEPA-BASISLASTSCHRIFT",
                           "primanota": "9310", "bank": "BYLADEM1001", "account": "DE02120300000000202051",
                           "name": "Stadtwerke Musterstadt GmbH", "eref": "INV-2027-0001", "mref": "M-100234",
                           "cred": "DE98ZZZ09999999999", "svwz": "Abschlag Januar 2027"}.items():
            with self.subTest(key=key):
                self.assertEqual(first.get(key), value)
        self.assertEqual(s["openSaldo"] + sum(t["amount"] for t in s["tx"]), s["closeSaldo"])

    def test_absent_balance_dates_are_null(self):
        doc, text = statements(os.path.join(TESTS, "mt940", "damaged.sta"))
        self.assertEqual((doc[0]["openDate"], doc[0]["closeDate"]), (None, None))
        self.assertNotIn("1900-", text)

    def test_latin1_file_comes_out_as_utf8(self):
        doc, _ = statements(os.path.join(TESTS, "mt940", "volksbank_charsets.sta"))
        self.assertEqual(doc[0]["tx"][0]["name"], "Jürgen Müller")
        self.assertEqual(doc[0]["tx"][1]["name"], "Straßenbahn AG")

    def test_every_line_names_its_currency(self):
        # The statement's currency; empty only where the file names none (a damaged
        # statement without balances).
        for name in sorted(os.listdir(os.path.join(TESTS, "mt940"))):
            result = run(os.path.join(TESTS, "mt940", name))
            if result.returncode != 0:
                continue
            for s in json.loads(result.stdout, parse_float=Decimal):
                for line in s["tx"]:
                    with self.subTest(file=name):
                        self.assertEqual(line["currency"], s["openCurrency"] or s["closeCurrency"])


class RepositoryFixtures(unittest.TestCase):
    def test_every_fixture_gives_exact_amounts_and_a_currency_key(self):
        paths = [os.path.join(TESTS, folder, name) for folder in ("mt940", "camt")
                 for name in sorted(os.listdir(os.path.join(TESTS, folder)))]
        for path in paths:
            with self.subTest(file=os.path.basename(path)):
                doc, text = statements(path)
                for key in AMOUNT_KEYS:
                    for literal in re.findall(rf'"{key}": ([^,\n]+)', text):
                        self.assertRegex(literal, r"^-?\d+\.\d\d$", key)
                for s in doc:
                    for line in s["tx"]:
                        self.assertIn("currency", line)
                        self.assertIsInstance(line["reversal"], bool)


class ExitCodes(unittest.TestCase):
    def test_table(self):
        with open(FIXTURE, "rb") as f:
            camt = f.read()
        with tempfile.TemporaryDirectory() as tmp:
            def write(name, data):
                path = os.path.join(tmp, name)
                with open(path, "wb") as f:
                    f.write(data)
                return path
            fifo = os.path.join(tmp, "fifo")
            os.mkfifo(fifo)
            cases = [
                ("missing file", os.path.join(tmp, "missing.sta"), 2),
                ("directory", tmp, 2),
                ("fifo", fifo, 2),
                ("empty file", write("empty.sta", b""), 1),
                ("no statement", write("text.sta", b"no statement in here\r\n"), 1),
                ("foreign XML", write("pain.xml", b'<?xml version="1.0"?><Document xmlns="urn:iso:std:iso:20022:'
                                      b'tech:xsd:pain.001.001.09"/>'), 1),
                ("broken camt", write("broken.xml", camt[:2000]), 1),
                ("camt", FIXTURE, 0),
            ]
            for case, path, code in cases:
                with self.subTest(case=case):
                    result = run(path, timeout=20)
                    self.assertEqual(result.returncode, code, result.stderr)
                    if code != 0:
                        self.assertEqual(result.stdout, b"")
                        self.assertRegex(result.stderr.decode(), r"\S")


class RealCamtFiles(unittest.TestCase):
    def test_konfipay_statement_matches_the_gem(self):
        doc, _ = statements(shared("konfipay_CAMT.053_458b71be.XML"))
        with open(shared("konfipay_CAMT.053_458b71be.parsed-by-gem.json"), encoding="utf-8") as f:
            expected = json.load(f)
        lines = [line for s in doc for line in s["tx"]]
        self.assertEqual(len(lines), len(expected))
        for index, (line, want) in enumerate(zip(lines, expected)):
            with self.subTest(line=index):
                sign = -1 if want["type"] == "debit" else 1
                self.assertEqual(line["amount"], Decimal(sign * want["amount_in_cents"]) / 100)
                self.assertEqual(line["currency"], want["currency"])
                self.assertEqual(line["name"], want["name"])
                self.assertEqual(line["account"], want["iban"])
                self.assertEqual(line["bank"], want["bic"])
                self.assertEqual(line["booked"], want["executed_on"])
                self.assertEqual(line["svwz"], want["reference"])
                self.assertEqual(line["endToEndId"], want["end_to_end_reference"])

    def test_haspa_report_matches_the_csv(self):
        doc, _ = statements(shared("haspa_camt052.xml"))
        with open(shared("haspa_camt052.expected.csv"), encoding="utf-8") as f:
            expected = list(csv.DictReader(f, delimiter=";"))
        lines = [line for s in doc for line in s["tx"]]
        self.assertEqual(len(lines), len(expected))
        for line, want in zip(lines, expected):
            self.assertEqual(line["booked"], want["Date"])
            self.assertEqual(line["valuta"], want["Valuta"])
            self.assertEqual(line["amount"], Decimal(want["Amount"]))
            self.assertEqual(line["currency"], want["Currency"])
            debit = line["amount"] < 0
            self.assertEqual(line["name"], want["Creditor Name"] if debit else want["Debtor Name"])
            iban = want["Creditor IBAN"] if debit else want["Debtor IBAN"]
            self.assertEqual(line["account"], iban.replace(" ", ""))
            self.assertEqual(line["svwz"], want["Description"])

    def test_zip_gives_every_statement_in_archive_order(self):
        doc, _ = statements(shared("oca_test-camt053.zip"))
        self.assertEqual(len(doc), 2)
        self.assertEqual([len(s["tx"]) >= 3 for s in doc], [True, True])

    def test_every_file_gives_json_or_a_message(self):
        shared(".")
        for name in sorted(os.listdir(SHARED_CAMT)):
            if not name.lower().endswith((".xml", ".zip")):
                continue
            with self.subTest(file=name):
                result = run(os.path.join(SHARED_CAMT, name))
                self.assertIn(result.returncode, (0, 1), result.stderr)
                if result.returncode == 0:
                    for s in json.loads(result.stdout, parse_float=Decimal):
                        for line in s["tx"]:
                            self.assertRegex(line["currency"], r"^[A-Z]{3}$")
                else:
                    self.assertRegex(result.stderr.decode(), r"\S")


class Memory(unittest.TestCase):
    def test_output_is_written_as_it_goes(self):
        # 40 000 ordinary bookings (about 12 MB). Building the whole JSON tree first took
        # some 90 times the file; writing as it goes stays near the library's own share.
        booking = (":61:2401310131D12,34NDDTNONREF//B{0:07d}\r\n"
                   ":86:105?00SEPA-BASISLASTSCHRIFT?109310?20EREF+E2E-{0:07d}?21MREF+M-{0:07d}"
                   "?22CRED+DE98ZZZ09999999999?23SVWZ+Abschlag Januar {0}?24und weiterer Text"
                   "?30BYLADEM1001?31DE02120300000000202051?32Stadtwerke Musterstadt GmbH\r\n")
        with tempfile.NamedTemporaryFile("w", suffix=".sta", delete=False, newline="") as f:
            f.write(":20:BIG\r\n:25:37040044/0532013000\r\n:28C:1/1\r\n:60F:C240131EUR0,00\r\n")
            for i in range(40000):
                f.write(booking.format(i))
            f.write(":62F:D240131EUR493600,00\r\n-\r\n")
            path = f.name
        try:
            size = os.path.getsize(path)
            before = resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss
            with open(os.devnull, "wb") as sink:
                result = subprocess.run([TOOL, "statements", path], stdout=sink, stderr=subprocess.PIPE,
                                        timeout=120)
            peak = resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss * 1024
            self.assertEqual(result.returncode, 0, result.stderr)
            if peak <= before * 1024:
                self.skipTest("peak memory of the child not measurable (an earlier child was larger)")
            self.assertLess(peak, 8 * size + 16 * 1024 * 1024, f"peak {peak} bytes for a {size}-byte file")
        finally:
            os.unlink(path)


if __name__ == "__main__":
    unittest.main(verbosity=2)
