#!/usr/bin/env python3
"""Differential check of the IBAN check against an implementation of the registry rules
written here, independently of tools/iban_countries.py and of the C++ code.

    python3 tests/iban_differential.py LIBSEPA.so SHARED_DATA_DIR [COUNT] [SEED]

Reads the SWIFT IBAN registry and sepa_countries.csv itself, generates COUNT random
IBANs (valid ones of every registry country and invalid ones: a character changed,
two swapped, one too many or too few, lower case, a wrong kind of character, unknown
countries, random text) and compares, for each, sepa_iban_inspect (validity, reason,
country, SEPA and EEA marks, BBAN, bank and branch identifier) and sepa_iban_check
(accepted in payments) with what the rules here say. German IBANs are compared up to
the bank-directory steps, which the rules here do not model: a German IBAN that is
right here may be refused there only for its bank code or account.

Exit code 0 when nothing differs, 1 on differences (the first ones are printed), 77
when the reference files are missing (ctest counts that as skipped).
"""

import csv
import ctypes
import io
import os
import random
import re
import sys

REASON_NONE, REASON_COUNTRY, REASON_LENGTH, REASON_FORMAT, REASON_CHECK_DIGITS = 0, 1, 2, 3, 4
REASON_BANK_CODE, REASON_ACCOUNT = 5, 6
KEPT_FOR_PAYMENTS = {"FO", "GL"}
CLASSES = {"n": "0123456789", "a": "ABCDEFGHIJKLMNOPQRSTUVWXYZ", "c": "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ"}


class Info(ctypes.Structure):
    _fields_ = [("reason", ctypes.c_int), ("reason_text", ctypes.c_char_p), ("sepa", ctypes.c_int),
                ("eea", ctypes.c_int), ("country", ctypes.c_char * 3), ("check_digits", ctypes.c_char * 3),
                ("bban", ctypes.c_char * 31), ("bank_id", ctypes.c_char * 13), ("branch_id", ctypes.c_char * 13),
                ("bank_found", ctypes.c_int), ("check_method", ctypes.c_int), ("bank_bic", ctypes.c_char * 12),
                ("bank_name", ctypes.c_char * 200), ("bank_zip", ctypes.c_char * 16),
                ("bank_city", ctypes.c_char * 200)]


def registry_countries(path):
    """code -> (length, [(kind, count)], bank (start, end), branch (start, end)) from the registry."""
    with open(path, "rb") as f:
        rows = list(csv.reader(io.StringIO(f.read().decode("cp1252")), delimiter="\t"))
    cells = {}
    for row in rows:
        if row and row[0].strip() not in cells:
            cells[row[0].strip()] = [c.strip() for c in row[1:]]
    out = {}
    for i, code in enumerate(cells["IBAN prefix country code (ISO 3166)"]):
        if not code:
            continue
        structure = cells["IBAN structure"][i]
        runs = [(kind, int(n)) for n, kind in re.findall(r"(\d+)!([nac])", structure[len(code) + 3:])]
        length = int(cells["IBAN length"][i])
        assert sum(n for _, n in runs) + 4 == length, code

        def span(element):
            m = re.fullmatch(r"(\d+)-(\d+)", cells[element][i])
            return (int(m.group(1)) + 3, int(m.group(2)) + 4) if m else (0, 0)

        out[code] = (length, runs, span("Bank identifier position within the BBAN"),
                     span("Branch identifier position within the BBAN"))
    return out


def sepa_marks(path):
    """IBAN country -> EEA mark, for the IBAN countries of the SEPA area."""
    marks = {}
    with open(path, newline="", encoding="utf-8") as f:
        for row in csv.DictReader(f):
            if row["code"] == row["iban_country"]:
                marks[row["code"]] = row["eea"] == "yes"
    return marks


def mod97(iban):
    moved = iban[4:] + iban[:4]
    return int("".join(str(int(c, 36)) for c in moved)) % 97


def expected(iban, countries, marks):
    """What the registry rules say: (reason, country, sepa, eea, payments, parts)."""
    code = iban[:2].upper()
    if len(iban) < 2 or not re.fullmatch(r"[A-Z]{2}", code) or code not in countries:
        return REASON_COUNTRY, None
    length, runs, bank, branch = countries[code]
    sepa = code in marks
    marks_of = (code, sepa, marks.get(code, False), sepa or code in KEPT_FOR_PAYMENTS)
    if len(iban) != length:
        return REASON_LENGTH, marks_of
    pattern = code + "[0-9]{2}" + "".join("[%s]{%d}" % (CLASSES[k], n) for k, n in runs)
    if not re.fullmatch(pattern, iban):
        return REASON_FORMAT, marks_of
    parts = (iban[2:4], iban[4:], iban[bank[0]:bank[1]] if bank[1] else "", iban[branch[0]:branch[1]] if branch[1] else "")
    if mod97(iban) != 1:
        return REASON_CHECK_DIGITS, marks_of + parts
    return REASON_NONE, marks_of + parts


def with_check_digits(code, bban):
    return code + "%02d" % (98 - mod97(code + "00" + bban)) + bban


def random_iban(rng, countries, codes):
    code = rng.choice(codes)
    _, runs, _, _ = countries[code]
    bban = "".join(rng.choice(CLASSES[k]) for k, n in runs for _ in range(n))
    iban = with_check_digits(code, bban)
    variant = rng.randrange(12)
    if variant < 5:
        return iban
    chars = list(iban)
    if variant == 5:  # one character changed (same kind keeps the layout)
        i = rng.randrange(2, len(chars))
        chars[i] = rng.choice(CLASSES["n"] if chars[i].isdigit() else CLASSES["a"])
    elif variant == 6:  # two neighbours swapped
        i = rng.randrange(2, len(chars) - 1)
        chars[i], chars[i + 1] = chars[i + 1], chars[i]
    elif variant == 7:
        chars.append(rng.choice(CLASSES["c"]))
    elif variant == 8:
        chars.pop()
    elif variant == 9:
        chars = list(iban.lower()) if rng.randrange(2) else list(iban[:2].lower() + iban[2:])
    elif variant == 10:  # a letter where a digit belongs or the other way round
        i = rng.randrange(4, len(chars))
        chars[i] = rng.choice(CLASSES["a"] if chars[i].isdigit() else CLASSES["n"])
    else:  # random text, or an unknown country
        if rng.randrange(2):
            return "".join(rng.choice(CLASSES["c"] + " -a") for _ in range(rng.randrange(0, 36)))
        chars[0:2] = rng.choice(["XX", "US", "ZZ", "QA", "1E"])
    return "".join(chars)


def main(argv):
    if len(argv) < 3:
        print(__doc__.split("\n\n")[1])
        return 2
    library, shared = argv[1], argv[2]
    count = int(argv[3]) if len(argv) > 3 else 100000
    seed = int(argv[4]) if len(argv) > 4 else 20260101
    folder = os.path.join(shared, "iban")
    registry = os.path.join(folder, "IBAN_Registry_r102_2026-06.txt")
    area = os.path.join(folder, "sepa_countries.csv")
    if not (os.path.exists(registry) and os.path.exists(area)):
        print("SKIP: IBAN registry or sepa_countries.csv not found in %s" % folder)
        return 77
    countries = registry_countries(registry)
    marks = sepa_marks(area)
    lib = ctypes.CDLL(library)
    lib.sepa_iban_inspect.argtypes = [ctypes.c_char_p, ctypes.POINTER(Info)]
    lib.sepa_iban_check.argtypes = [ctypes.c_char_p]
    codes = sorted(countries)
    rng = random.Random(seed)
    differences = 0
    tally = {}
    info = Info()
    for n in range(count):
        iban = random_iban(rng, countries, codes) if n >= len(codes) else \
            with_check_digits(codes[n], "".join(rng.choice(CLASSES[k]) for k, c in countries[codes[n]][1] for _ in range(c)))
        reason, details = expected(iban, countries, marks)
        raw = iban.encode("ascii")
        got = lib.sepa_iban_inspect(raw, ctypes.byref(info))
        got_reason = info.reason
        problems = []
        german_directory = iban.startswith("DE") and reason == REASON_NONE and got_reason in (REASON_BANK_CODE, REASON_ACCOUNT)
        if got_reason != reason and not german_directory:
            problems.append("reason %d, expected %d" % (got_reason, reason))
        if (got == 1) != (got_reason == REASON_NONE):
            problems.append("result %d with reason %d" % (got, got_reason))
        if details:
            code, sepa, eea, payments = details[:4]
            if (info.country.decode(), bool(info.sepa), bool(info.eea)) != (code, sepa, eea):
                problems.append("marks %s %d %d, expected %s %d %d" % (info.country.decode(), info.sepa, info.eea,
                                                                       code, sepa, eea))
            if len(details) > 4:
                parts = (info.check_digits.decode(), info.bban.decode(), info.bank_id.decode(),
                         info.branch_id.decode())
                if parts != details[4:]:
                    problems.append("parts %s, expected %s" % (parts, details[4:]))
            accepted = lib.sepa_iban_check(raw) == 1
            if not german_directory and accepted != (payments and reason == REASON_NONE):
                problems.append("payment check %s" % accepted)
        elif lib.sepa_iban_check(raw) == 1:
            problems.append("payment check accepts it")
        key = "valid" if reason == REASON_NONE else "reason %d" % reason
        tally[key] = tally.get(key, 0) + 1
        if problems:
            differences += 1
            if differences <= 20:
                print("DIFF %r: %s" % (iban, "; ".join(problems)))
    print("%d IBANs compared (%s), %d differences" % (
        count, ", ".join("%s %d" % kv for kv in sorted(tally.items())), differences))
    return 1 if differences else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
