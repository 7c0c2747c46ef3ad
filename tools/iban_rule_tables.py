"""Writes data/iban_rule_lists.cpp, the special lists of the German IBAN rules.

Reads the iban_rule_*.csv files of the German reference data (see PROVENANCE.md
beside them), checks every value (digits, lengths, IBAN check digits, the shape of
the account range table) and writes C++ arrays declared in
core/convert/iban_rule_lists.h. Python 3 standard library only; the output depends
on the input files alone.

A table module of tools/generate_data.py, which writes the file: add_arguments(parser,
shared_data) and build(args) (option --iban-rules, the folder holding the
iban_rule_*.csv files).
"""

import csv
import os

OUTPUT_NAME = "iban_rule_lists.cpp"

# Rules whose plain account replacement lists come from
# iban_rule_account_replacements.csv; rule 10 also names a bank-code replacement there.
ACCOUNT_LIST_RULES = ("0004", "0006", "0007", "0010", "0011", "0015", "0016", "0017", "0018",
                      "0022", "0023", "0024", "0033", "0034", "0035", "0044", "0049", "0051")


class DataError(ValueError):
    pass


def _rows(de_dir, name, columns):
    path = os.path.join(de_dir, name)
    with open(path, newline="", encoding="ascii") as handle:
        reader = csv.reader(handle)
        header = next(reader, None)
        if header != list(columns):
            raise DataError(f"{name}: header {header} is not {list(columns)}")
        rows = []
        for number, row in enumerate(reader, start=2):
            if not row:
                continue
            if len(row) != len(columns):
                raise DataError(f"{name}:{number}: {len(row)} columns, expected {len(columns)}")
            rows.append((number, dict(zip(columns, (value.strip() for value in row)))))
        return rows


def _digits(value, width, where):
    if len(value) != width or not value.isdigit():
        raise DataError(f"{where}: '{value}' is not {width} digits")
    return value


def _iban_check_ok(iban):
    moved = iban[4:] + iban[:4]
    number = "".join(str(int(ch, 36)) for ch in moved)
    return int(number) % 97 == 1


def _german_iban(value, where):
    if len(value) != 22 or not value.startswith("DE") or not value[2:].isdigit():
        raise DataError(f"{where}: '{value}' is not a German IBAN")
    if not _iban_check_ok(value):
        raise DataError(f"{where}: '{value}' has wrong check digits")
    return value


def _quote(value):
    return "nullptr" if value is None else f'"{value}"'


def read_lists(de_dir):
    """Reads and checks every list; returns a dict name -> (row type, rows)."""
    lists = {}

    account_lists = {rule: [] for rule in ACCOUNT_LIST_RULES}
    rule10_bank_codes = []
    name = "iban_rule_account_replacements.csv"
    for number, row in _rows(de_dir, name, ("rule", "bank_code", "account", "new_account")):
        where = f"{name}:{number}"
        rule = row["rule"]
        if rule not in account_lists:
            raise DataError(f"{where}: unexpected rule {rule}")
        bank_code = row["bank_code"] or None
        if bank_code is not None:
            _digits(bank_code, 8, where)
        if rule == "0010" and len(row["account"]) == 8 and bank_code is None:
            # the file states rule 10's bank-code replacement in the account columns
            rule10_bank_codes.append((_digits(row["account"], 8, where),
                                      _digits(row["new_account"], 8, where)))
            continue
        account_lists[rule].append((_digits(row["account"], 10, where),
                                    _digits(row["new_account"], 10, where), bank_code))
    for rule in ACCOUNT_LIST_RULES:
        if not account_lists[rule]:
            raise DataError(f"{name}: no rows for rule {rule}")
        lists[f"iban_rule_{rule}_accounts"] = ("account_replacement_row", account_lists[rule])
    if not rule10_bank_codes:
        raise DataError(f"{name}: no bank-code replacement for rule 0010")
    lists["iban_rule_0010_bank_codes"] = ("bank_code_replacement_row", rule10_bank_codes)

    name = "iban_rule_0005_accounts.csv"
    rows = []
    for number, row in _rows(de_dir, name, ("bank_code", "account", "new_account")):
        where = f"{name}:{number}"
        rows.append((_digits(row["account"], 10, where), _digits(row["new_account"], 10, where),
                     _digits(row["bank_code"], 8, where)))
    lists["iban_rule_0005_accounts"] = ("account_replacement_row", rows)

    name = "iban_rule_0005_excluded_bank_codes.csv"
    rows = [(_digits(row["bank_code"], 8, f"{name}:{number}"),)
            for number, row in _rows(de_dir, name, ("bank_code",))]
    lists["iban_rule_0005_excluded_bank_codes"] = ("code_row", rows)

    name = "iban_rule_0030_accepted_accounts.csv"
    rows = [(_digits(row["account"], 10, f"{name}:{number}"),)
            for number, row in _rows(de_dir, name, ("account",))]
    lists["iban_rule_0030_accepted_accounts"] = ("code_row", rows)

    name = "iban_rule_0031_account_ranges.csv"
    rows = []
    for number, row in _rows(de_dir, name, ("prefix", "lowest", "highest", "new_bank_code")):
        where = f"{name}:{number}"
        prefix = int(_digits(row["prefix"], 3, where))
        lowest, highest = int(row["lowest"]), int(row["highest"])
        if lowest != prefix * 10_000_000 or highest != lowest + 9_999_999:
            raise DataError(f"{where}: range {lowest}-{highest} does not belong to prefix {prefix}")
        if rows and prefix <= rows[-1][0]:
            raise DataError(f"{where}: prefix {prefix} out of ascending order or repeated")
        rows.append((prefix, lowest, highest, _digits(row["new_bank_code"], 8, where)))
    lists["iban_rule_0031_account_ranges"] = ("account_range_row", rows)

    for rule in ("0052", "0053"):
        name = f"iban_rule_{rule}_accounts.csv"
        rows = []
        for number, row in _rows(de_dir, name, ("bank_code", "account", "new_bank_code", "new_account")):
            where = f"{name}:{number}"
            rows.append((_digits(row["bank_code"], 8, where), _digits(row["account"], 10, where),
                         _digits(row["new_bank_code"], 8, where), _digits(row["new_account"], 10, where)))
        lists[f"iban_rule_{rule}_accounts"] = ("bank_account_replacement_row", rows)

    name = "iban_rule_0054_accounts.csv"
    rows = []
    for number, row in _rows(de_dir, name, ("account", "new_account")):
        where = f"{name}:{number}"
        rows.append((_digits(row["account"], 10, where), _digits(row["new_account"], 10, where), None))
    lists["iban_rule_0054_accounts"] = ("account_replacement_row", rows)

    name = "iban_rule_0054_ibans.csv"
    rows = []
    for number, row in _rows(de_dir, name, ("account", "iban")):
        where = f"{name}:{number}"
        iban = _german_iban(row["iban"], where)
        rows.append((_digits(row["account"], 10, where), iban[12:], iban))
    lists["iban_rule_0054_ibans"] = ("account_iban_row", rows)

    name = "iban_rule_0056_accounts.csv"
    rows = []
    for number, row in _rows(de_dir, name, ("account", "new_account", "iban")):
        where = f"{name}:{number}"
        iban = _german_iban(row["iban"], where)
        new_account = _digits(row["new_account"], 10, where)
        if iban[12:] != new_account:
            raise DataError(f"{where}: IBAN {iban} does not hold the new account {new_account}")
        rows.append((_digits(row["account"], 10, where), new_account, iban))
    lists["iban_rule_0056_ibans"] = ("account_iban_row", rows)

    # The library searches the lists by halving, so every list is ascending by its
    # search key; the sort is stable, so rows with the same key keep the order of the
    # file and the first matching row stays the first.
    for name, (row_type, rows) in lists.items():
        if row_type != "account_range_row":
            rows.sort(key=_search_key[row_type])
    return lists


# What the library searches a list by: the first column, for rule 52 and 53 bank code
# and account together.
_search_key = {
    "account_replacement_row": lambda row: row[0],
    "bank_code_replacement_row": lambda row: row[0],
    "bank_account_replacement_row": lambda row: (row[0], row[1]),
    "code_row": lambda row: row[0],
    "account_iban_row": lambda row: row[0],
}


def _render_row(row_type, row):
    if row_type == "account_range_row":
        prefix, lowest, highest, bank_code = row
        return f"{{{prefix}, {lowest}ULL, {highest}ULL, \"{bank_code}\"}}"
    return "{" + ", ".join(_quote(value) for value in row) + "}"


def _end_row(row_type):
    return {
        "account_replacement_row": "{nullptr, nullptr, nullptr}",
        "bank_code_replacement_row": "{nullptr, nullptr}",
        "bank_account_replacement_row": "{nullptr, nullptr, nullptr, nullptr}",
        "code_row": "{nullptr}",
        "account_iban_row": "{nullptr, nullptr, nullptr}",
        "account_range_row": "{0, 0, 0, nullptr}",
    }[row_type]


def render(lists):
    out = [
        "// Generated by tools/iban_rule_tables.py from the German IBAN rule lists",
        "// (iban_rule_*.csv, Deutsche Bundesbank IBAN rules). Do not edit by hand.",
        "#include \"core/convert/iban_rule_lists.h\"",
        "",
    ]
    for name in sorted(lists):
        row_type, rows = lists[name]
        out.append(f"// {len(rows)} rows")
        out.append(f"const {row_type} {name}[] = {{")
        for row in rows:
            out.append(f"    {_render_row(row_type, row)},")
        out.append(f"    {_end_row(row_type)},")
        out.append("};")
        if row_type == "account_range_row":
            out.append(f"const unsigned {name}_count = {len(rows)};")
        out.append("")
    return "\n".join(out)


def add_arguments(parser, shared_data):
    group = parser.add_argument_group("IBAN rule lists")
    group.add_argument("--iban-rules", default=os.path.join(shared_data, "de"),
                       help="folder with the iban_rule_*.csv files (default: %(default)s)")


def build(args):
    return [(OUTPUT_NAME, render(read_lists(args.iban_rules)))]
