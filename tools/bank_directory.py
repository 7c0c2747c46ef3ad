"""Table module: the bank directory (DE, AT, CH/LI) and the BIC directory in one index.

Writes data/bank_directory_records.cpp (the stored record texts) and
data/bank_directory_index.cpp (N, M, T1/T2/T3, G, the switch-over instant), both read by
core/bank/ through core/bank/directory_tables.h.

Stored record forms (key first, then):
  BIC entry      11-character BIC, one flag character, name, NUL. The flag character is
                 the SEPA_SCL_* bits as one upper-case hexadecimal digit ("B" = 11), so it
                 is never NUL and every entry's name comes back whatever its flags.
  AT, CH record  "_AT"/"_CH" + 5-digit code, then "bic|name|zip|city|country", NUL.
  DE record      "_DE" + 8-digit code, then a version: 4 header bytes (deletion flag,
                 method byte, IBAN rule big-endian) and "successor|bic|name|zip|city|DE".
                 A record with a different second version ends the first one with "|" and
                 appends the second version; the record ends with NUL. The first header
                 byte of a version that a second one follows has SECOND_VERSION_FOLLOWS
                 added to the deletion flag, so that a lookup knows without searching.

German codes: a code present in both editions with the same stored version is stored
once; with different versions both are stored and the library picks by the clock; a code
present in only one edition is stored with that version and is found at all times (old
IBANs and account data stay in circulation after a code is withdrawn, and a new code is
already valid in the sense that the Bundesbank published it).
"""

import calendar
import datetime
import os
import re

import cpp_literals
import directory_sources
import perfect_hash
from directory_sources import SourceError

RECORDS_FILE = "bank_directory_records.cpp"
INDEX_FILE = "bank_directory_index.cpp"

# What the library's lookups copy into their 200-byte working text (with its NUL).
WORKING_TEXT = 200
MAX_TEXT = WORKING_TEXT - 1
# Longest BIC name: what fitted beside "BIC\0" and "CC\0" in the working text when
# BIC lookups copied the name there (they now point at the stored name); kept, so
# that the same sources give the same tables.
MAX_BIC_NAME = WORKING_TEXT - 12 - 1 - 3

COUNTRY_WIDTH = {"AT": 5, "CH": 5, "DE": 8}

# Bit of a German version's first header byte: a second version follows this one.
SECOND_VERSION_FOLLOWS = 2


def add_arguments(parser, shared_data):
    group = parser.add_argument_group("bank and BIC directory sources")
    group.add_argument("--de-first", default=os.path.join(shared_data, "de", "blz_2025-06-09.txt"),
                       help="Bundesbank bank code file, edition in force before the switch-over")
    group.add_argument("--de-second", default=os.path.join(shared_data, "de", "blz_2025-09-08.txt"),
                       help="Bundesbank bank code file, edition in force from the switch-over on")
    group.add_argument("--switch-over", type=int, default=None,
                       help="seconds since 1970 UTC from which --de-second applies (default: "
                            "00:00 German time on the date in the --de-second file name)")
    group.add_argument("--at", default=os.path.join(shared_data, "at", "sepa-zv-vz_gesamt_2022-09-23.csv"),
                       help="OeNB SEPA directory (CSV)")
    group.add_argument("--ch", default=os.path.join(shared_data, "ch", "bcbankenstamm_2022-01-20.txt"),
                       help="SIX bank master (fixed-width, v2 JSON or v3 CSV)")
    group.add_argument("--scl", default=os.path.join(shared_data, "scl", "scl-directory_2016-12-20.csv"),
                       help="Bundesbank SCL directory (CSV)")
    group.add_argument("--seed", type=lambda s: int(s, 0), default=perfect_hash.DEFAULT_SEED,
                       help="seed of the perfect-hash tables")


# --- switch-over instant ------------------------------------------------------------------

def _last_sunday(year, month):
    last = calendar.monthrange(year, month)[1]
    day = datetime.date(year, month, last)
    return day - datetime.timedelta(days=(day.weekday() + 1) % 7)


def german_midnight(iso_date):
    """00:00 German civil time (CET, or CEST under the EU summer-time rule) as epoch seconds."""
    day = datetime.date.fromisoformat(iso_date)
    summer = _last_sunday(day.year, 3) < day <= _last_sunday(day.year, 10)
    midnight_utc = calendar.timegm(day.timetuple())
    return midnight_utc - (7200 if summer else 3600)


def switch_over_instant(args):
    if args.switch_over is not None:
        return args.switch_over
    date = directory_sources.date_in_name(args.de_second)
    if date is None:
        raise SourceError("%s: the file name carries no date; give --switch-over" % args.de_second)
    return german_midnight(date)


# --- stored record texts ------------------------------------------------------------------

def _field(value, what, where):
    if "|" in value or "\0" in value:
        raise SourceError("%s: %s %r holds '|' or NUL" % (where, what, value))
    return value


def _text(fields, where, kind):
    text = "|".join(fields).encode("utf-8")
    if len(text) > MAX_TEXT:
        raise SourceError("%s: %s text of %d bytes exceeds %d" % (where, kind, len(text), MAX_TEXT))
    return text


def _digits(value, width, what, where, exact=False):
    if not value.isascii() or not value.isdigit() or len(value) > width or (exact and len(value) != width):
        raise SourceError("%s: %s %r is not %s%d digits" % (where, what, value, "" if exact else "up to ", width))
    return value.zfill(width)


def german_version(row):
    where = row["where"]
    code = row["bank_code"]
    if row["deletion"] not in ("0", "1"):
        raise SourceError("%s: bank code %s: deletion flag %r" % (where, code, row["deletion"]))
    if not re.fullmatch(r"[0-9A-F]{2}", row["method"]):
        raise SourceError("%s: bank code %s: check method %r" % (where, code, row["method"]))
    rule = int(_digits(row["iban_rule"], 6, "IBAN rule", where, exact=True))
    if rule > 0xFFFF:
        raise SourceError("%s: bank code %s: IBAN rule %06d does not fit 16 bits" % (where, code, rule))
    successor = _digits(row["successor"] or "0", 8, "successor", where)
    successor = "" if successor == "00000000" else successor
    header = bytes([int(row["deletion"]), int(row["method"], 16), rule >> 8, rule & 0xFF])
    fields = [successor, row["bic"], row["name"], row["zip"], row["city"], "DE"]
    names = ("successor", "BIC", "name", "postcode", "city", "country")
    fields = [_field(v, n, where) for v, n in zip(fields, names)]
    return header + _text(fields, where, "bank code %s" % code)


def german_records(first, second):
    """(key, stored bytes, where) per German code, and counts for the header comment."""
    records = []
    counts = {"both": 0, "two versions": 0, "first only": 0, "second only": 0}
    for code in sorted(set(first) | set(second)):
        key = "_DE" + _digits(code, 8, "bank code", (first.get(code) or second[code])["where"], exact=True)
        old = german_version(first[code]) if code in first else None
        new = german_version(second[code]) if code in second else None
        where = (second.get(code) or first[code])["where"]
        if old is not None and new is not None:
            counts["both"] += 1
            if old != new:
                counts["two versions"] += 1
                marked = bytes([old[0] | SECOND_VERSION_FOLLOWS]) + old[1:]
                records.append((key, key.encode() + marked + b"|" + new + b"\0", where))
                continue
        else:
            counts["first only" if new is None else "second only"] += 1
        records.append((key, key.encode() + (old if old is not None else new) + b"\0", where))
    return records, counts


def national_records(country, rows, code_field):
    """(key, stored bytes, where) for Austrian or Swiss rows, ascending by code."""
    width = COUNTRY_WIDTH[country]
    by_key = {}
    for row in rows:
        where = row["where"]
        key = "_" + country + _digits(row[code_field], width, "bank code", where)
        if key in by_key:
            raise SourceError("%s: bank code %s appears twice (first at %s)" % (where, key[3:], by_key[key][2]))
        country_field = "AT" if country == "AT" else row["country"]
        fields = [row["bic"].upper(), row["name"], row["zip"], row["city"], country_field]
        names = ("BIC", "name", "postcode", "city", "country")
        fields = [_field(v, n, where) for v, n in zip(fields, names)]
        by_key[key] = (key, key.encode() + _text(fields, where, "bank code %s" % key[3:]) + b"\0", where)
    return [by_key[k] for k in sorted(by_key)]


def bic_records(rows):
    """(key, stored bytes, where) per BIC, ascending, and the number of merged rows.

    A BIC listed twice (as 8 characters and as the same BIC with "XXX") is one entry:
    reachable for every scheme that either row names, with the name of the first row.
    """
    merged = {}
    duplicates = 0
    for row in rows:
        where = row["where"]
        bic = row["bic"].upper()
        if len(bic) == 8:
            bic += "XXX"
        if not re.fullmatch(r"[A-Z0-9]{11}", bic):
            raise SourceError("%s: BIC %r is not 8 or 11 letters and digits" % (where, row["bic"]))
        name = _field(row["name"], "name", where)
        if len(name.encode("utf-8")) > MAX_BIC_NAME:
            raise SourceError("%s: BIC %s: name of %d bytes exceeds %d" % (where, bic, len(name.encode()), MAX_BIC_NAME))
        if bic in merged:
            duplicates += 1
            merged[bic]["flags"] |= row["flags"]
        else:
            merged[bic] = {"name": name, "flags": row["flags"], "where": where}
    records = []
    for bic in sorted(merged):
        entry = merged[bic]
        data = bic.encode() + b"%X" % entry["flags"] + entry["name"].encode("utf-8") + b"\0"
        records.append((bic, data, entry["where"]))
    return records, duplicates


# --- rendering ----------------------------------------------------------------------------

def _iso_utc(instant):
    return datetime.datetime.fromtimestamp(instant, datetime.timezone.utc).strftime("%Y-%m-%d %H:%M:%S UTC")


def _header(title, facts):
    lines = [title, "Generated by tools/generate_data.py; do not edit. Regenerate with:",
             "    python3 tools/generate_data.py [source options]", ""] + facts
    return cpp_literals.comment_block(lines)


def render_records(records, facts):
    out = [_header("Bank and BIC directory: stored record texts, slot by slot.", facts), "",
           '#include "core/bank/directory_tables.h"', "",
           "// Record i starts at directory_record_offsets[i] and ends before record i + 1.",
           "const char directory_records[] ="]
    offsets = []
    position = 0
    for slot, (_, data, _) in enumerate(records):
        offsets.append(position)
        position += len(data)
        out.append("    /* %5d */ %s" % (slot, cpp_literals.byte_string_literal(data)))
    offsets.append(position)
    out[-1] += ";"
    out += ["", "const uint32_t directory_record_offsets[%d] = {" % len(offsets),
            cpp_literals.number_rows(offsets, 10, 7), "};", ""]
    return "\n".join(out)


def render_index(tables, g, n, switch_over, facts):
    m = len(g)
    out = [_header("Bank and BIC directory: order-preserving minimal perfect hash.", facts), "",
           '#include "core/bank/directory_tables.h"', "",
           "const uint32_t directory_key_count = %d;     // N" % n,
           "const uint32_t directory_vertex_count = %d;  // M = 1.23 x N rounded up" % m,
           "// Second versions of German records apply from %s." % _iso_utc(switch_over),
           "const int64_t directory_switch_over = %d;" % switch_over, ""]
    for number, table in enumerate(tables, 1):
        out += ["const uint32_t directory_t%d[directory_hash_positions * directory_hash_alphabet] = {" % number,
                cpp_literals.number_rows(table, 15, 5), "};", ""]
    out += ["const int32_t directory_g[%d] = {" % m, cpp_literals.number_rows(g, 15, 5), "};", ""]
    return "\n".join(out)


def build(args):
    first, first_edition = directory_sources.read_bundesbank(args.de_first)
    second, second_edition = directory_sources.read_bundesbank(args.de_second)
    switch_over = switch_over_instant(args)
    at_rows, at_edition = directory_sources.read_oenb(args.at)
    ch_rows, ch_edition = directory_sources.read_six(args.ch)
    scl_rows, scl_edition = directory_sources.read_scl(args.scl)

    bics, merged = bic_records(scl_rows)
    austrian = national_records("AT", at_rows, "bank_code")
    swiss = national_records("CH", ch_rows, "iid")
    german, counts = german_records(first, second)
    records = bics + austrian + swiss + german

    keys = [key for key, _, _ in records]
    try:
        tables, g, attempts = perfect_hash.build(keys, args.seed)
        perfect_hash.verify(tables, g, keys)
    except perfect_hash.HashError as e:
        raise SourceError(str(e))

    foreign = sum(1 for row in ch_rows if row["country"])
    facts = [
        "Sources (editions compiled in):",
        "  DE first version:  " + first_edition,
        "  DE second version: " + second_edition,
        "  AT:                " + at_edition,
        "  CH and LI:         " + ch_edition,
        "  BICs:              " + scl_edition,
        "Switch-over to the second German version: %d (%s)." % (switch_over, _iso_utc(switch_over)),
        "Keys: N = %d (%d BIC entries, %d AT, %d CH/LI of which %d non-Swiss members, %d DE)."
        % (len(keys), len(bics), len(austrian), len(swiss), foreign, len(german)),
        "German codes: %d in both editions (%d with a second version), %d only in the first,"
        % (counts["both"], counts["two versions"], counts["first only"]),
        "  %d only in the second (stored with the version they have, found at all times)."
        % counts["second only"],
        "BIC rows merged into an existing entry (8 characters and the same BIC with XXX): %d." % merged,
        "Hash: M = %d vertices, seed 0x%X, tables found at attempt %d." % (len(g), args.seed, attempts),
    ]
    return [(RECORDS_FILE, render_records(records, facts)),
            (INDEX_FILE, render_index(tables, g, len(keys), switch_over, facts))]
