"""Writes data/iban_countries.cpp, the IBAN country table and the SEPA area.

Reads the SWIFT IBAN Registry (the tab-separated, transposed text file: one line per
data element, one column per country, Windows-1252) and sepa_countries.csv (today's
SEPA area from the EPC list: code, name, iban_country, eea, joined, source). Every
registry column becomes one row of the IBAN country table: length, the BBAN as runs
of the registry notation ("4!a14!n": four upper-case letters, then fourteen digits),
bank and branch identifier positions, and whether the country is in the SEPA area and
in the EEA (from the CSV; the registry's own "SEPA country" cell lags the EPC list).
The CSV rows, and the territories the registry names as using a SEPA country's IBANs
without being in the CSV, become the SEPA area table that answers "is this country
code in SEPA, in the EEA" for IBAN and BIC country codes.

Every value is checked (structure notation, lengths, positions, the registry's example
IBAN against its own structure and check digits); a cell that breaks the rules stops
the run with the country and the data element. Python 3 standard library only; the
output depends on the input files alone.

A table module of tools/generate_data.py: add_arguments(parser, shared_data) and
build(args) (options --iban-registry and --sepa-countries).
"""

import csv
import glob
import io
import os
import re

from cpp_literals import byte_string_literal

OUTPUT_NAME = "iban_countries.cpp"
MAX_RUNS = 8

# Countries accepted in payment messages although the EPC list does not name them:
# the Faroe Islands and Greenland use Danish bank codes and were accepted by every
# earlier edition of this library, so stored data and callers may rely on them.
KEPT_FOR_PAYMENTS = ("FO", "GL")

ELEMENT_CODE = "IBAN prefix country code (ISO 3166)"
ELEMENT_NAME = "Name of country"
ELEMENT_INCLUDES = "Country code includes other countries/territories"
ELEMENT_BBAN_STRUCTURE = "BBAN structure"
ELEMENT_BBAN_LENGTH = "BBAN length"
ELEMENT_BANK = "Bank identifier position within the BBAN"
ELEMENT_BRANCH = "Branch identifier position within the BBAN"
ELEMENT_IBAN_STRUCTURE = "IBAN structure"
ELEMENT_IBAN_LENGTH = "IBAN length"
ELEMENT_EXAMPLE = "IBAN electronic format example"
REQUIRED_ELEMENTS = (ELEMENT_CODE, ELEMENT_NAME, ELEMENT_INCLUDES, ELEMENT_BBAN_STRUCTURE, ELEMENT_BBAN_LENGTH,
                     ELEMENT_BANK, ELEMENT_BRANCH, ELEMENT_IBAN_STRUCTURE, ELEMENT_IBAN_LENGTH, ELEMENT_EXAMPLE)

SEPA_COLUMNS = ("code", "name", "iban_country", "eea", "joined", "source")

RUN_KINDS = {"n": "[0-9]", "a": "[A-Z]", "c": "[A-Z0-9]"}


class DataError(ValueError):
    pass


def parse_runs(structure, where):
    """'4!a14!n' -> [('a', 4), ('n', 14)]; only fixed-length runs of n, a and c."""
    runs = [(kind, int(count)) for count, kind in re.findall(r"(\d+)!([nac])", structure)]
    if "".join("%d!%s" % (count, kind) for kind, count in runs) != structure or not runs:
        raise DataError("%s: structure '%s' is not a sequence of fixed runs like 4!n" % (where, structure))
    if any(count == 0 for _, count in runs):
        raise DataError("%s: structure '%s' has an empty run" % (where, structure))
    return runs


def merge_runs(runs):
    """Adjacent runs of one kind as one run: '4!n6!n10!n' and '4!n16!n' are the same BBAN."""
    merged = []
    for kind, count in runs:
        if merged and merged[-1][0] == kind:
            merged[-1] = (kind, merged[-1][1] + count)
        else:
            merged.append((kind, count))
    return merged


def parse_position(cell, bban_length, where):
    """'1-4' -> (0, 4) as offset and length inside the BBAN; (0, 0) when the cell is empty."""
    cell = cell.strip()
    if cell in ("", "N/A"):
        return 0, 0
    m = re.fullmatch(r"(\d{1,2})-(\d{1,2})", cell)
    # Spreadsheet programs turned some cells into dates ("Nov-16", "42461"): only a
    # plain range of positions inside the BBAN is taken.
    if not m or not 1 <= int(m.group(1)) <= int(m.group(2)) <= bban_length:
        raise DataError("%s: '%s' is not a position range inside the BBAN" % (where, cell))
    return int(m.group(1)) - 1, int(m.group(2)) - int(m.group(1)) + 1


def iban_check_ok(iban):
    moved = iban[4:] + iban[:4]
    return int("".join(str(int(ch, 36)) for ch in moved)) % 97 == 1


def matches_runs(text, runs):
    pattern = "".join("%s{%d}" % (RUN_KINDS[kind], count) for kind, count in runs)
    return re.fullmatch(pattern, text) is not None


def read_registry(path):
    with open(path, "rb") as f:
        text = f.read().decode("cp1252")
    elements = {}
    for row in csv.reader(io.StringIO(text), delimiter="\t"):
        if row and row[0].strip() and row[0].strip() not in elements:
            elements[row[0].strip()] = [cell.strip() for cell in row[1:]]
    missing = [name for name in REQUIRED_ELEMENTS if name not in elements]
    if missing:
        raise DataError("%s: data elements missing: %s" % (os.path.basename(path), ", ".join(missing)))
    codes = elements[ELEMENT_CODE]
    countries = {}
    for column, code in enumerate(codes):
        if code == "":
            continue
        where = "%s: %s" % (os.path.basename(path), code)
        if not re.fullmatch(r"[A-Z]{2}", code) or code in countries:
            raise DataError("%s: '%s' is not a new two-letter country code" % (where, code))

        def cell(element):
            values = elements[element]
            return values[column] if column < len(values) else ""

        iban_structure = cell(ELEMENT_IBAN_STRUCTURE)
        if not iban_structure.startswith(code + "2!n"):
            raise DataError("%s: IBAN structure '%s' does not start with %s2!n" % (where, iban_structure, code))
        runs = merge_runs(parse_runs(iban_structure[len(code) + 3:], where + " IBAN structure"))
        # Older editions wrote some BBAN structures with the country code in front.
        bban_structure = cell(ELEMENT_BBAN_STRUCTURE)
        if bban_structure.startswith(code):
            bban_structure = bban_structure[2:]
        if merge_runs(parse_runs(bban_structure, where + " BBAN structure")) != runs:
            raise DataError("%s: BBAN structure '%s' differs from the IBAN structure" % (where, bban_structure))
        bban_length = sum(count for _, count in runs)
        if len(runs) > MAX_RUNS:
            raise DataError("%s: %d runs, the table holds at most %d" % (where, len(runs), MAX_RUNS))
        for element, expected in ((ELEMENT_BBAN_LENGTH, bban_length), (ELEMENT_IBAN_LENGTH, bban_length + 4)):
            # Older editions write some lengths as "18!n" or "25!".
            if re.sub(r"!?[nac]?$", "", cell(element)) != str(expected):
                raise DataError("%s: %s '%s' is not %d" % (where, element, cell(element), expected))
        example = cell(ELEMENT_EXAMPLE).replace(" ", "")
        if not (len(example) == bban_length + 4 and example[:2] == code and example[2:4].isdigit()
                and matches_runs(example[4:], runs) and iban_check_ok(example)):
            raise DataError("%s: example IBAN '%s' does not fit the structure or its check digits" % (where, example))
        includes = [token.split()[0] for token in re.split(r"[,;]", cell(ELEMENT_INCLUDES))
                    if token.strip() and token.strip() != "N/A"]
        for territory in includes:
            if not re.fullmatch(r"[A-Z]{2}", territory):
                raise DataError("%s: included territory '%s' is not a country code" % (where, territory))
        countries[code] = {
            "code": code,
            "name": cell(ELEMENT_NAME),
            "length": bban_length + 4,
            "runs": runs,
            "bank": parse_position(cell(ELEMENT_BANK), bban_length, where + " bank identifier"),
            "branch": parse_position(cell(ELEMENT_BRANCH), bban_length, where + " branch identifier"),
            "includes": includes,
            "example": example,
        }
    if not countries:
        raise DataError("%s: no countries" % os.path.basename(path))
    return countries


def read_sepa_area(path, registry):
    name = os.path.basename(path)
    with open(path, newline="", encoding="utf-8") as f:
        reader = csv.reader(f)
        header = next(reader, None)
        if header is None or tuple(header) != SEPA_COLUMNS:
            raise DataError("%s: header %s is not %s" % (name, header, list(SEPA_COLUMNS)))
        area = {}
        for number, row in enumerate(reader, start=2):
            if not row:
                continue
            where = "%s:%d" % (name, number)
            if len(row) != len(SEPA_COLUMNS):
                raise DataError("%s: %d columns, expected %d" % (where, len(row), len(SEPA_COLUMNS)))
            values = dict(zip(SEPA_COLUMNS, (value.strip() for value in row)))
            code = values["code"]
            if not re.fullmatch(r"[A-Z]{2}", code) or code in area:
                raise DataError("%s: '%s' is not a new two-letter country code" % (where, code))
            if values["iban_country"] not in registry:
                raise DataError("%s: IBAN country '%s' is not in the registry" % (where, values["iban_country"]))
            if values["eea"] not in ("yes", "no"):
                raise DataError("%s: eea '%s' is neither yes nor no" % (where, values["eea"]))
            area[code] = {"iban_country": values["iban_country"], "sepa": True, "eea": values["eea"] == "yes"}
    for code in KEPT_FOR_PAYMENTS:
        if code not in registry:
            raise DataError("%s: %s, kept for payments, is not in the registry" % (name, code))
    return area


def newest_registry(folder):
    """The registry file with the highest release number (IBAN_Registry_r<N>_...)."""
    candidates = []
    for path in glob.glob(os.path.join(folder, "IBAN_Registry_r*.txt")):
        m = re.match(r"IBAN_Registry_r(\d+)", os.path.basename(path))
        if m:
            candidates.append((int(m.group(1)), path))
    return max(candidates)[1] if candidates else os.path.join(folder, "IBAN_Registry.txt")


def area_rows(registry, area):
    """The SEPA area rows, plus the territories that use a listed country's IBANs
    without being in the SEPA area themselves (outside SEPA and the EEA)."""
    rows = dict(area)
    for country in registry.values():
        if country["code"] in area:
            for territory in country["includes"]:
                rows.setdefault(territory, {"iban_country": country["code"], "sepa": False, "eea": False})
    return rows


def render(registry_path, registry, area_path, area):
    edition = os.path.basename(registry_path)
    lines = [
        "// Generated by tools/iban_countries.py from the SWIFT IBAN Registry (%s)" % edition,
        "// and the SEPA area of the EPC list (%s). Do not edit by hand." % os.path.basename(area_path),
        '#include "core/iban/iban_country_table.h"',
        "",
        "// %d countries, by code" % len(registry),
        "const iban_country_t iban_country_table[] = {",
    ]
    codes = sorted(registry)
    for code in codes:
        c = registry[code]
        flags = []
        if code in area:
            flags.append("iban_in_sepa")
            if area[code]["eea"]:
                flags.append("iban_in_eea")
        if code in area or code in KEPT_FOR_PAYMENTS:
            flags.append("iban_for_payments")
        runs = ", ".join("{'%s', %d}" % run for run in c["runs"])
        bank_offset, bank_length = c["bank"]
        branch_offset, branch_length = c["branch"]
        lines.append('    {"%s", %d, %d, %d, %d, %d, %s, %d, {%s}, %s},' % (
            code, c["length"], bank_offset + 4 if bank_length else 0, bank_length,
            branch_offset + 4 if branch_length else 0, branch_length, " | ".join(flags) or "0",
            len(c["runs"]), runs, byte_string_literal(c["name"].encode("utf-8"))))
    lines += ["};", "const size_t iban_country_count = %d;" % len(codes), ""]

    slots = [0] * (26 * 26)
    for index, code in enumerate(codes):
        slots[(ord(code[0]) - 65) * 26 + ord(code[1]) - 65] = index + 1
    lines.append("// Row + 1 of each code AA..ZZ (first letter * 26 + second), 0 for none")
    lines.append("const uint8_t iban_country_slot[26 * 26] = {")
    for start in range(0, len(slots), 26):
        lines.append("    " + ", ".join("%2d" % slot for slot in slots[start:start + 26]) + ",")
    lines += ["};", ""]

    rows = area_rows(registry, area)
    lines.append("// %d countries and territories, by code" % len(rows))
    lines.append("const sepa_area_row sepa_area_table[] = {")
    for code in sorted(rows):
        row = rows[code]
        lines.append('    {"%s", "%s", %s, %s},' % (code, row["iban_country"], "true" if row["sepa"] else "false",
                                                     "true" if row["eea"] else "false"))
    lines += ["};", "const size_t sepa_area_count = %d;" % len(rows), ""]
    return "\n".join(lines)


def add_arguments(parser, shared_data):
    group = parser.add_argument_group("IBAN countries")
    folder = os.path.join(shared_data, "iban")
    group.add_argument("--iban-registry", default=newest_registry(folder),
                       help="SWIFT IBAN Registry text file (default: newest release in %s)" % folder)
    group.add_argument("--sepa-countries", default=os.path.join(folder, "sepa_countries.csv"),
                       help="the SEPA area CSV (default: %(default)s)")


def build(args):
    registry = read_registry(args.iban_registry)
    area = read_sepa_area(args.sepa_countries, registry)
    return [(OUTPUT_NAME, render(args.iban_registry, registry, args.sepa_countries, area))]
