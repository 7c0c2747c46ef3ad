"""Readers of the publishers' bank and BIC directories.

Each reader returns plain rows (dicts of already trimmed texts) plus a short description
of the edition it read. Nothing here knows the stored form of the library; that is
bank_directory.py. Every row carries `where` ("file:line") so that the generator can
name the record at fault.

Accepted layouts:
  Germany  Bundesbank bank code file: fixed-width records of 174 characters.
  Austria  OeNB "SEPA-Zahlungsverkehrsverzeichnis" CSV (';', preamble before the header).
  CH/LI    SIX bank master: old fixed-width "bcbankenstamm" (298 characters), v2 JSON,
           v3 CSV (';', columns named in its header).
  BICs     Bundesbank SCL directory CSV: the old header "BIC;Name;Service SCT;Service SDD;
           Service COR1;Service B2B;Service SCC" and the newer one with a "Gueltig ab"
           first line and "SERVICE COR" for the core direct debit.
"""

import csv
import io
import json
import os
import re


class SourceError(ValueError):
    """A source file cannot be read as its publisher's layout, or a record breaks a rule."""


def read_text(path):
    """The file as text: UTF-8 when it decodes as such (a BOM is dropped), else ISO-8859-1."""
    with open(path, "rb") as f:
        raw = f.read()
    try:
        return raw.decode("utf-8-sig")
    except UnicodeDecodeError:
        return raw.decode("iso-8859-1")


def date_in_name(path):
    """The date in a file name (YYYY-MM-DD or YYYYMMDD) as YYYY-MM-DD, or None."""
    name = os.path.basename(path)
    m = re.search(r"(20\d\d)-?([01]\d)-?([0-3]\d)", name)
    return "%s-%s-%s" % m.groups() if m else None


def dated(what, date):
    """'what DATE', or a note that the edition's date is unknown."""
    return "%s %s" % (what, date) if date else "date unknown"


def german_date(text):
    """DD.MM.YYYY -> YYYY-MM-DD."""
    day, month, year = text.split(".")
    return "%s-%s-%s" % (year, month, day)


def where(path, line):
    return "%s:%d" % (os.path.basename(path), line)


# --- Germany ------------------------------------------------------------------------------

# Bundesbank record: (field, first column, width), columns 0-based.
BUNDESBANK_FIELDS = (
    ("bank_code", 0, 8), ("merkmal", 8, 1), ("name", 9, 58), ("zip", 67, 5), ("city", 72, 35),
    ("short_name", 107, 27), ("pan", 134, 5), ("bic", 139, 11), ("method", 150, 2),
    ("record_number", 152, 6), ("change", 158, 1), ("deletion", 159, 1), ("successor", 160, 8),
    ("iban_rule", 168, 6),
)
BUNDESBANK_WIDTH = 174


def read_bundesbank(path):
    """Merkmal-1 records of a Bundesbank bank code file, keyed by bank code."""
    rows = {}
    for number, line in enumerate(read_text(path).splitlines(), 1):
        if not line.strip():
            continue
        if len(line) == 168:
            raise SourceError("%s: record of 168 characters has no IBAN rule; use the full "
                              "Bundesbank file with 174-character records" % where(path, number))
        if len(line) != BUNDESBANK_WIDTH:
            raise SourceError("%s: record of %d characters, expected %d"
                              % (where(path, number), len(line), BUNDESBANK_WIDTH))
        row = {name: line[start:start + width].strip() for name, start, width in BUNDESBANK_FIELDS}
        if row["merkmal"] != "1":
            continue
        row["where"] = where(path, number)
        if row["bank_code"] in rows:
            raise SourceError("%s: bank code %s has a second Merkmal-1 record (first at %s)"
                              % (row["where"], row["bank_code"], rows[row["bank_code"]]["where"]))
        rows[row["bank_code"]] = row
    if not rows:
        raise SourceError("%s: no Merkmal-1 records" % path)
    return rows, "Bundesbank bank code file %s (%s)" % (os.path.basename(path), dated("valid from", date_in_name(path)))


# --- Austria ------------------------------------------------------------------------------

def read_oenb(path):
    """Rows of the OeNB directory: bank_code, name, zip, city, bic."""
    lines = read_text(path).splitlines()
    edition = date_in_name(path)
    header = None
    for number, line in enumerate(lines):
        m = re.search(r"Abfrage vom (\d\d\.\d\d\.\d{4})", line)
        if m:
            edition = german_date(m.group(1))
        if "Bankleitzahl" in line.split(";"):
            header = number
            break
    if header is None:
        raise SourceError("%s: no header line with a column 'Bankleitzahl'" % path)
    reader = csv.reader(io.StringIO("\n".join(lines[header:])), delimiter=";")
    columns = next(reader)
    need = {"Bankleitzahl": "bank_code", "Bankenname": "name", "PLZ": "zip", "Ort": "city",
            "SWIFT-Code": "bic"}
    missing = [c for c in need if c not in columns]
    if missing:
        raise SourceError("%s: header lacks the column(s) %s" % (path, ", ".join(missing)))
    index = {field: columns.index(column) for column, field in need.items()}
    rows = []
    for offset, values in enumerate(reader, header + 2):
        if not any(v.strip() for v in values):
            continue
        if len(values) < len(columns):
            raise SourceError("%s: %d fields, expected %d" % (where(path, offset), len(values), len(columns)))
        row = {field: values[i].strip() for field, i in index.items()}
        row["where"] = where(path, offset)
        rows.append(row)
    return rows, "OeNB SEPA directory %s (%s)" % (os.path.basename(path), dated("query of", edition))


# --- Switzerland and Liechtenstein --------------------------------------------------------

# Old fixed-width bank master: (field, first column, width), columns 0-based.
SIX_FIXED_FIELDS = (
    ("iid", 2, 5), ("branch", 7, 4), ("valid_from", 28, 8), ("name", 54, 60), ("zip", 184, 10),
    ("city", 194, 35), ("country", 270, 2), ("bic", 284, 14),
)
SIX_FIXED_WIDTH = 298

# v3 CSV columns -> fields.
SIX_V3_COLUMNS = {"IID/QR-IID": "iid", "Name of bank/institution": "name", "Post Code": "zip",
                  "Town Name": "city", "Country": "country", "BIC": "bic"}


def read_six(path):
    """One row per IID (the head office record): iid, name, zip, city, country, bic.

    `country` is empty for Swiss banks and the member's ISO code otherwise; layouts that
    spell Switzerland "CH" are brought to that form.
    """
    text = read_text(path)
    stripped = text.lstrip()
    if stripped.startswith("{"):
        rows, edition = _read_six_json(path, stripped)
    elif "IID/QR-IID" in text[:4096]:
        rows, edition = _read_six_v3(path, text)
    else:
        rows, edition = _read_six_fixed(path, text)
    by_iid = {}
    for row in rows:
        if row["country"] == "CH":
            row["country"] = ""
        by_iid.setdefault(row["iid"], row)
    return list(by_iid.values()), edition


def _read_six_fixed(path, text):
    rows = []
    newest = ""
    for number, line in enumerate(text.splitlines(), 1):
        if not line.strip():
            continue
        if len(line) != SIX_FIXED_WIDTH:
            raise SourceError("%s: record of %d characters, expected %d (SIX fixed-width bank master)"
                              % (where(path, number), len(line), SIX_FIXED_WIDTH))
        row = {name: line[start:start + width].strip() for name, start, width in SIX_FIXED_FIELDS}
        newest = max(newest, row["valid_from"])
        if row["branch"] != "0000":
            continue  # branch records share the IID of their head office
        row["where"] = where(path, number)
        rows.append(row)
    edition = "%s-%s-%s" % (newest[:4], newest[4:6], newest[6:8]) if newest else None
    return rows, "SIX bank master %s (fixed-width, %s)" % (os.path.basename(path),
                                                           dated("newest entry valid from", edition))


def _read_six_json(path, text):
    try:
        document = json.loads(text)
        entries = document["entries"]
    except (ValueError, KeyError, TypeError) as e:
        raise SourceError("%s: not a SIX bank master v2 JSON document (%s)" % (path, e))
    rows = []
    for number, entry in enumerate(entries, 1):
        if str(entry.get("branchId", "0000")) not in ("0000", "0"):
            continue
        row = {
            "iid": str(entry.get("iid", "")).strip(),
            "name": str(entry.get("bankOrInstitutionName", "")).strip(),
            "zip": str(entry.get("zipCode", "")).strip(),
            "city": str(entry.get("place", "")).strip(),
            "country": str(entry.get("countryCode", "")).strip(),
            "bic": str(entry.get("bic", "")).strip(),
            "where": "%s:entry %d" % (os.path.basename(path), number),
        }
        rows.append(row)
    edition = document.get("metaData", {}).get("validForClearingDay")
    return rows, "SIX bank master %s (v2 JSON, %s)" % (os.path.basename(path), dated("clearing day", edition))


def _read_six_v3(path, text):
    lines = text.splitlines()
    header = next(n for n, line in enumerate(lines) if "IID/QR-IID" in line)
    reader = csv.reader(io.StringIO("\n".join(lines[header:])), delimiter=";")
    columns = [c.strip() for c in next(reader)]
    missing = [c for c in SIX_V3_COLUMNS if c not in columns]
    if missing:
        raise SourceError("%s: header lacks the column(s) %s" % (path, ", ".join(missing)))
    index = {field: columns.index(column) for column, field in SIX_V3_COLUMNS.items()}
    rows = []
    for number, values in enumerate(reader, header + 2):
        if not any(v.strip() for v in values):
            continue
        if len(values) <= max(index.values()):
            raise SourceError("%s: %d fields, expected %d" % (where(path, number), len(values), len(columns)))
        row = {field: values[i].strip() for field, i in index.items()}
        row["where"] = where(path, number)
        rows.append(row)
    return rows, "SIX bank master %s (v3 CSV, %s)" % (os.path.basename(path), dated("dated", date_in_name(path)))


# --- BICs (SCL directory) -----------------------------------------------------------------

# Header names (upper case) -> reachability bit. "SERVICE COR" is the newer name of the
# core direct debit column, "SERVICE SDD" the older one.
SCL_FLAG_COLUMNS = {"SERVICE SCT": 1, "SERVICE SDD": 2, "SERVICE COR": 2, "SERVICE COR1": 4,
                    "SERVICE B2B": 8}


def read_scl(path):
    """Rows of the SCL directory: bic (as published), name, flags (SEPA_SCL_* bits)."""
    lines = read_text(path).splitlines()
    edition = date_in_name(path)
    header = None
    for number, line in enumerate(lines):
        m = re.match(r"\s*G(ue|ü)ltig ab[^0-9]*(\d\d\.\d\d\.\d{4})", line, re.IGNORECASE)
        if m:
            edition = german_date(m.group(2))
            continue
        if line.split(";")[0].strip().upper() == "BIC":
            header = number
            break
    if header is None:
        raise SourceError("%s: no header line starting with 'BIC;'" % path)
    columns = [c.strip().upper() for c in lines[header].split(";")]
    if "NAME" not in columns:
        raise SourceError("%s: header lacks the column 'Name'" % path)
    flag_index = [(columns.index(c), bit) for c, bit in SCL_FLAG_COLUMNS.items() if c in columns]
    if not any(bit == 1 for _, bit in flag_index) or not any(bit == 2 for _, bit in flag_index):
        raise SourceError("%s: header lacks the SCT or core direct debit column" % path)
    name_index = columns.index("NAME")
    rows = []
    for number in range(header + 1, len(lines)):
        line = lines[number]
        if not line.strip(";").strip():
            continue
        values = line.split(";")
        if len(values) != len(columns):
            raise SourceError("%s: %d fields, expected %d" % (where(path, number + 1), len(values), len(columns)))
        flags = 0
        for i, bit in flag_index:
            value = values[i].strip()
            if value not in ("0", "1"):
                raise SourceError("%s: flag column %s holds %r, expected 0 or 1"
                                  % (where(path, number + 1), columns[i], value))
            if value == "1":
                flags |= bit
        rows.append({"bic": values[0].strip(), "name": values[name_index].strip(), "flags": flags,
                     "where": where(path, number + 1)})
    return rows, "SCL directory %s (%s)" % (os.path.basename(path), dated("valid from", edition))
