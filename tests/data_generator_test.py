#!/usr/bin/env python3
"""The reference data generator on small fixtures: publishers' layouts old and new,
German versions, refusals that name the record at fault, deterministic output."""

import contextlib
import io
import json
import os
import sys
import tempfile
import unittest

TOOLS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tools")
sys.path.insert(0, TOOLS)

import bank_directory  # noqa: E402
import generate_data  # noqa: E402
import iban_countries  # noqa: E402
import iban_rule_tables  # noqa: E402
import perfect_hash  # noqa: E402


def bundesbank_line(code, name="Testbank", zip_code="10115", city="Berlin", bic="TESTDEB1XXX",
                    method="09", deletion="0", successor="00000000", rule="000000", merkmal="1"):
    line = (code + merkmal + name.ljust(58) + zip_code + city.ljust(35) + "Kurz".ljust(27) + "12345"
            + bic.ljust(11) + method + "000001" + "U" + deletion + successor + rule)
    assert len(line) == 174, len(line)
    return line


def six_fixed_line(iid, branch="0000", name="Testbank AG", zip_code="8001", city="Zürich", country="",
                   bic="TESTCHZZXXX"):
    line = [" "] * 298

    def put(start, width, value):
        line[start:start + width] = list(value.ljust(width)[:width])

    put(0, 2, "08")
    put(2, 5, iid)
    put(7, 4, branch)
    put(28, 8, "20220120")
    put(54, 60, name)
    put(184, 10, zip_code)
    put(194, 35, city)
    put(270, 2, country)
    put(284, 14, bic)
    return "".join(line)


OENB_PREAMBLE = ["Es wird darauf hingewiesen, dass ...", "Diese Daten ...", "Weitere ...", "",
                 "SEPA-Verzeichnis-Abfrage vom 23.09.2022"]
OENB_HEADER = ("Kennzeichen;Identnummer;Bankleitzahl;Institutsart;Sektor;Firmenbuchnummer;Bankenname;Straße;"
               "PLZ;Ort;Postadresse / Straße;Postadresse / PLZ;Postadresse / Ort;Postfach;Bundesland;Telefon;"
               "Fax;E-Mail;SWIFT-Code;Homepage;Gründungsdatum;LEI")


def oenb_line(code, name="Testbank AG", bic="TESTATWWXXX"):
    fields = ["Hauptanstalt", "1", code, "KI", "Sektor", "1m", name, "Weg 1", "1010", "Wien", "", "", "", "",
              "Wien", "", "", "", bic, "", "", ""]
    return ";".join(fields)


SCL_OLD = ["BIC;Name;Service SCT;Service SDD;Service COR1;Service B2B;Service SCC",
           "TESTDEB1   ;TESTBANK                 ;1;1;0;1;0",
           "ZERODEFF   ;BANK WITHOUT SCHEMES     ;0;0;0;0;1",
           "ZERODEFFXXX;SAME BANK AGAIN          ;0;1;0;0;0"]


def iban_rule_lists():
    """The smallest valid set of the German IBAN rule lists: one row per list (rule 10
    also its bank-code replacement), so that the generator needs no reference files."""
    replacements = ["rule,bank_code,account,new_account"]
    replacements += ["%s,,0000000135,0990021440" % rule for rule in iban_rule_tables.ACCOUNT_LIST_RULES]
    replacements += ["0010,,50050201,50050000"]
    return {
        "iban_rule_account_replacements.csv": replacements,
        "iban_rule_0005_accounts.csv": ["bank_code,account,new_account", "30040000,0000000036,0261103600"],
        "iban_rule_0005_excluded_bank_codes.csv": ["bank_code", "10080900"],
        "iban_rule_0030_accepted_accounts.csv": ["account", "0001718190"],
        "iban_rule_0031_account_ranges.csv": ["prefix,lowest,highest,new_bank_code",
                                              "100,1000000000,1009999999,76020070"],
        "iban_rule_0052_accounts.csv": ["bank_code,account,new_bank_code,new_account",
                                        "67220020,5308810004,60050101,0002662604"],
        "iban_rule_0053_accounts.csv": ["bank_code,account,new_bank_code,new_account",
                                        "55050000,0000035000,60050101,7401555913"],
        "iban_rule_0054_accounts.csv": ["account,new_account", "0000000500,0000500500"],
        "iban_rule_0054_ibans.csv": ["account,iban", "0000624044,DE96210602370000624044"],
        "iban_rule_0056_accounts.csv": ["account,new_account,iban",
                                        "0000000036,1010240003,DE29380101111010240003"],
    }


class Fixture:
    """Writes a complete set of small source files into a temporary folder."""

    def __init__(self, folder):
        self.folder = folder
        self.de_first = [bundesbank_line("10000000", name="Bundesbank", bic="MARKDEF1100", rule="004201"),
                         bundesbank_line("10000000", name="Bundesbank Filiale", merkmal="2"),
                         bundesbank_line("20000000", name="Alte Bank"),
                         bundesbank_line("30000000", name="Gelöschte Bank", deletion="1", successor="20000000",
                                         method="A2")]
        self.de_second = [bundesbank_line("10000000", name="Bundesbank", bic="MARKDEF1100", rule="004201"),
                          bundesbank_line("20000000", name="Neue Bank"),
                          bundesbank_line("40000000", name="Ganz neue Bank", bic="")]
        self.at = OENB_PREAMBLE + [OENB_HEADER, oenb_line("12000"), oenb_line("100", name="Nationalbank")]
        self.ch = [six_fixed_line("100"), six_fixed_line("100", branch="0001", name="Filiale"),
                   six_fixed_line("8800", name="Landesbank", city="Vaduz", country="LI", bic="LILALI2XXXX")]
        self.scl = list(SCL_OLD)

    def write(self, name, lines, encoding="iso-8859-1", end="\r\n"):
        path = os.path.join(self.folder, name)
        with open(path, "w", encoding=encoding, newline="") as f:
            f.write("".join(line + end for line in lines))
        return path

    def arguments(self, out):
        rules = os.path.join(self.folder, "iban_rules")
        os.makedirs(rules, exist_ok=True)
        for name, lines in iban_rule_lists().items():
            self.write(os.path.join("iban_rules", name), lines, encoding="ascii", end="\n")
        registry = self.write("IBAN_Registry_r1.txt",
                              ["Data element\t" + "\t".join(["Description"] * 4)]
                              + ["\t".join(row) for row in IbanCountriesTest.ELEMENTS], encoding="cp1252", end="\n")
        area = self.write("sepa_countries.csv", ["code,name,iban_country,eea,joined,source",
                                                 "DE,Germany,DE,yes,2008,S1"], encoding="utf-8", end="\n")
        return ["--out", out, "--iban-rules", rules, "--iban-registry", registry, "--sepa-countries", area,
                "--de-first", self.write("blz_2025-06-09.txt", self.de_first),
                "--de-second", self.write("blz_2025-09-08.txt", self.de_second),
                "--at", self.write("at.csv", self.at),
                "--ch", self.write("ch.txt", self.ch, end="\n"),
                "--scl", self.write("scl.csv", self.scl)]


def run_generator(arguments):
    err = io.StringIO()
    with contextlib.redirect_stdout(io.StringIO()), contextlib.redirect_stderr(err):
        code = generate_data.main(arguments)
    return code, err.getvalue()


class GeneratorTest(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory()
        self.folder = self.tmp.name
        self.fixture = Fixture(self.folder)
        self.out = os.path.join(self.folder, "out")

    def tearDown(self):
        self.tmp.cleanup()

    def generate(self):
        code, err = run_generator(self.fixture.arguments(self.out))
        self.assertEqual(code, 0, err)
        with open(os.path.join(self.out, bank_directory.RECORDS_FILE), encoding="utf-8") as f:
            records = f.read()
        with open(os.path.join(self.out, bank_directory.INDEX_FILE), encoding="utf-8") as f:
            index = f.read()
        return records, index

    def refused(self, needle):
        code, err = run_generator(self.fixture.arguments(self.out))
        self.assertEqual(code, 1)
        self.assertIn(needle, err)
        self.assertFalse(os.path.exists(self.out), "nothing may be written")
        return err

    def test_records_of_every_kind(self):
        records, index = self.generate()
        # BIC entries: flag digit; 8 characters stored with XXX; a flag value of 0 keeps its name
        self.assertIn('"TESTDEB1XXXBTESTBANK\\000"', records)
        # the two rows of ZERODEFF merge: flags 0 | SDD = 2, first row's name
        self.assertIn('"ZERODEFFXXX2BANK WITHOUT SCHEMES\\000"', records)
        self.assertIn('"_AT12000TESTATWWXXX|Testbank AG|1010|Wien|AT\\000"', records)
        self.assertIn('"_AT00100TESTATWWXXX|Nationalbank|1010|Wien|AT\\000"', records)
        self.assertIn('"_CH00100TESTCHZZXXX|Testbank AG|8001|Zürich|\\000"', records)
        self.assertIn('"_CH08800LILALI2XXXX|Landesbank|8001|Vaduz|LI\\000"', records)
        self.assertNotIn("Filiale", records)  # branch records and Merkmal 2 are no bank codes
        # same in both editions: one version; header bytes 00 09 10 69
        self.assertIn('"_DE10000000\\000\\011\\020i|MARKDEF1100|Bundesbank|10115|Berlin|DE\\000"', records)
        # changed: first version (marked: a second one follows), "|", second version
        self.assertIn('"_DE20000000\\002\\011\\000\\000|TESTDEB1XXX|Alte Bank|10115|Berlin|DE|'
                      '\\000\\011\\000\\000|TESTDEB1XXX|Neue Bank|10115|Berlin|DE\\000"', records)
        # only in one edition: stored with that version
        self.assertIn('"_DE30000000\\001\\242\\000\\00020000000|TESTDEB1XXX|Gelöschte Bank|10115|Berlin|DE\\000"',
                      records)
        self.assertIn('"_DE40000000\\000\\011\\000\\000||Ganz neue Bank|10115|Berlin|DE\\000"', records)
        self.assertIn("const uint32_t directory_key_count = 10;", index)
        self.assertIn("const uint32_t directory_vertex_count = 13;", index)
        self.assertIn("const int64_t directory_switch_over = 1757282400;", index)
        self.assertIn("query of 2022-09-23", index)

    def test_output_is_deterministic(self):
        first = self.generate()
        second = self.generate()
        self.assertEqual(first, second)

    def test_newer_scl_layout(self):
        self.fixture.scl = ["Gueltig ab / valid from 01.09.2025;;;;;;",
                            "BIC;Name;SERVICE SCT;SERVICE COR;SERVICE COR1;SERVICE B2B;SERVICE SCC",
                            "TESTDEB1XXX;TESTBANK;1;1;0;0;1",
                            "OTHRFRPP;AUTRE BANQUE;0;0;0;1;0"]
        records, index = self.generate()
        self.assertIn('"TESTDEB1XXX3TESTBANK\\000"', records)
        self.assertIn('"OTHRFRPPXXX8AUTRE BANQUE\\000"', records)
        self.assertIn("valid from 2025-09-01", index)

    def test_six_v3_csv(self):
        header = ("IID/QR-IID;Valid on;Concatenation;New IID/QR-IID;SIC IID;Headquarters;IID type;"
                  "QR-IID allocation;Name of bank/institution;Street Name;Building Number;Post Code;Town Name;"
                  "Country;BIC;SIC participation;RTGS customer payments, CHF;IP customer payments, CHF;"
                  "euroSIC participation;LSV+/BDD, CHF;LSV+/BDD, EUR")
        rows = ["100;2022-01-20;;;001008;100;HEADQUARTERS;;Schweizerische Nationalbank;Börsenstrasse;15;8022;"
                "Zürich;CH;SNBZCHZZXXX;YES;YES;YES;YES;NO;NO",
                "8800;2019-11-01;;;088008;8800;HEADQUARTERS;;Liechtensteinische Landesbank;Städtle;44;9490;"
                "Vaduz;LI;LILALI2XXXX;YES;YES;YES;YES;NO;NO"]
        path = self.fixture.write("bankmaster_V3.csv", [header] + rows, encoding="utf-8")
        arguments = self.fixture.arguments(self.out) + ["--ch", path]
        code, err = run_generator(arguments)
        self.assertEqual(code, 0, err)
        with open(os.path.join(self.out, bank_directory.RECORDS_FILE), encoding="utf-8") as f:
            records = f.read()
        self.assertIn('"_CH00100SNBZCHZZXXX|Schweizerische Nationalbank|8022|Zürich|\\000"', records)
        self.assertIn('"_CH08800LILALI2XXXX|Liechtensteinische Landesbank|9490|Vaduz|LI\\000"', records)

    def test_six_v2_json(self):
        document = {"metaData": {"validForClearingDay": "2020-11-20"},
                    "entries": [{"iid": 100, "branchId": "0000", "bankOrInstitutionName": "SNB", "zipCode": "8022",
                                 "place": "Zürich", "countryCode": "CH", "bic": "SNBZCHZZXXX"},
                                {"iid": 100, "branchId": "0001", "bankOrInstitutionName": "Filiale",
                                 "zipCode": "3003", "place": "Bern", "countryCode": "CH", "bic": "SNBZCHZZXXX"}]}
        path = os.path.join(self.folder, "six.json")
        with open(path, "w", encoding="utf-8") as f:
            json.dump(document, f)
        code, err = run_generator(self.fixture.arguments(self.out) + ["--ch", path])
        self.assertEqual(code, 0, err)
        with open(os.path.join(self.out, bank_directory.INDEX_FILE), encoding="utf-8") as f:
            self.assertIn("clearing day 2020-11-20", f.read())

    def test_refuses_text_over_199_bytes(self):
        self.fixture.at.append(oenb_line("12345", name="Bank " * 40))
        err = self.refused("at.csv:9")
        self.assertIn("exceeds 199", err)

    def test_refuses_separator_inside_a_field(self):
        self.fixture.at.append(oenb_line("12345", name="Bank|Zwei"))
        self.refused("'|'")

    def test_refuses_malformed_bic(self):
        self.fixture.scl.append("TEST-EB1XXX;BAD BANK;1;0;0;0;0")
        self.refused("scl.csv:5")

    def test_refuses_malformed_bank_code(self):
        self.fixture.at.append(oenb_line("12A45"))
        self.refused("is not up to 5 digits")

    def test_refuses_duplicate_bank_code(self):
        self.fixture.at.append(oenb_line("12000"))
        self.refused("appears twice")

    def test_refuses_records_without_iban_rule(self):
        self.fixture.de_second.append(bundesbank_line("50000000")[:168])
        self.refused("168 characters has no IBAN rule")

    def test_switch_over_follows_german_civil_time(self):
        self.assertEqual(bank_directory.german_midnight("2025-09-08"), 1757282400)  # CEST
        self.assertEqual(bank_directory.german_midnight("2024-12-09"), 1733698800)  # CET
        self.assertEqual(bank_directory.german_midnight("2025-03-30"), 1743289200)  # day summer time starts
        self.assertEqual(bank_directory.german_midnight("2025-10-26"), 1761429600)  # day it ends


class IbanCountriesTest(unittest.TestCase):
    """The IBAN country table from a registry of three countries in its transposed,
    tab-separated layout and a SEPA list of two."""

    ELEMENTS = [
        ("Name of country", "Germany", "Faroe Islands", "Greenland", "Brazil"),
        ("IBAN prefix country code (ISO 3166)", "DE", "FO", "GL", "BR"),
        ("Country code includes other countries/territories", "N/A", "N/A", "N/A", "N/A"),
        ("BBAN structure", "8!n10!n", "4!n9!n1!n", "4!n9!n1!n", "8!n5!n10!n1!a1!c"),
        ("BBAN length", "18", "14", "14", "25"),
        ("Bank identifier position within the BBAN", "1-8", "1-4", "1-4", "1-8"),
        ("Branch identifier position within the BBAN", "", "", "", "9-13"),
        ("IBAN structure", "DE2!n8!n10!n", "FO2!n4!n9!n1!n", "GL2!n4!n9!n1!n", "BR2!n8!n5!n10!n1!a1!c"),
        ("IBAN length", "22", "18", "18", "29"),
        ("IBAN electronic format example", "DE89370400440532013000", "FO6264600001631634", "GL8964710001000206",
         "BR1800360305000010009795493C1"),
    ]

    def build(self, elements=None, sepa_rows=None):
        folder = tempfile.mkdtemp()
        registry = os.path.join(folder, "IBAN_Registry_r1.txt")
        with open(registry, "w", encoding="cp1252") as f:
            f.write("Data element\t" + "\t".join(["Description"] * 4) + "\n")
            for row in elements or self.ELEMENTS:
                f.write("\t".join(row) + "\n")
        area = os.path.join(folder, "sepa_countries.csv")
        with open(area, "w", encoding="utf-8") as f:
            f.write("code,name,iban_country,eea,joined,source\n")
            f.write("\n".join(sepa_rows or ["DE,Germany,DE,yes,2008,S1", "GG,Guernsey,GB,no,2016,S1"]) + "\n")
        args = type("Args", (), {"iban_registry": registry, "sepa_countries": area})
        return iban_countries.build(args)[0][1]

    def test_rows_runs_and_marks(self):
        with self.assertRaisesRegex(ValueError, "IBAN country 'GB' is not in the registry"):
            self.build()
        text = self.build(sepa_rows=["DE,Germany,DE,yes,2008,S1", "AX,Aland,DE,yes,2008,S1"])
        self.assertIn('{"DE", 22, 4, 8, 0, 0, iban_in_sepa | iban_in_eea | iban_for_payments, 1, {{\'n\', 18}}', text)
        self.assertIn('{"FO", 18, 4, 4, 0, 0, iban_for_payments, 1, {{\'n\', 14}}', text)
        self.assertIn('{"BR", 29, 4, 8, 12, 5, 0, 3, {{\'n\', 23}, {\'a\', 1}, {\'c\', 1}}', text)
        self.assertIn('{"AX", "DE", true, true}', text)
        self.assertEqual(text, self.build(sepa_rows=["DE,Germany,DE,yes,2008,S1", "AX,Aland,DE,yes,2008,S1"]))

    def test_refuses_cells_that_break_the_rules(self):
        def with_cell(element, column, value):
            rows = [list(row) for row in self.ELEMENTS]
            for row in rows:
                if row[0] == element:
                    row[column] = value
            return rows

        cases = [
            (with_cell("IBAN length", 1, "21"), "IBAN length '21' is not 22"),
            (with_cell("Bank identifier position within the BBAN", 1, "42461"), "not a position range"),
            (with_cell("BBAN structure", 4, "8!n5!n10!n2!a"), "differs from the IBAN structure"),
            (with_cell("IBAN electronic format example", 1, "DE88370400440532013000"), "example IBAN"),
            (with_cell("IBAN structure", 1, "DE2!n8!n10!x"), "not a sequence of fixed runs"),
        ]
        for elements, message in cases:
            with self.subTest(message=message), self.assertRaisesRegex(ValueError, message):
                self.build(elements=elements, sepa_rows=["DE,Germany,DE,yes,2008,S1"])


class PerfectHashTest(unittest.TestCase):
    def test_every_key_lands_in_its_own_slot(self):
        keys = ["_DE%08d" % (i * 7919) for i in range(500)] + ["BIC%04dXXXX" % i for i in range(500)]
        tables, g, _ = perfect_hash.build(keys, seed=1)
        perfect_hash.verify(tables, g, keys)
        self.assertEqual(len(g), perfect_hash.vertex_count(len(keys)))
        self.assertTrue(all(-1 <= v < len(keys) for v in g))

    def test_refuses_keys_outside_alphabet_or_length(self):
        for bad in ["_DE1", "_DE 1000000", "ABCDEFGHIJKLMNOP", "ABCDEF{", "ABCDEF/"]:
            with self.assertRaises(perfect_hash.HashError, msg=bad):
                perfect_hash.build(["VALIDKEY1", bad])

    def test_refuses_duplicate_keys(self):
        with self.assertRaises(perfect_hash.HashError):
            perfect_hash.build(["VALIDKEY1", "VALIDKEY2", "VALIDKEY1"])


if __name__ == "__main__":
    unittest.main()
