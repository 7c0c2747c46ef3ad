#!/usr/bin/env python3
"""Writes the compiled-in reference tables under data/ from the publishers' files.

    python3 tools/generate_data.py                      # sources from ../shared/data
    python3 tools/generate_data.py --de-first OLD.txt --de-second NEW.txt \\
        --at sepa-zv-vz_gesamt.csv --ch bankmaster_V3.csv --scl scl-directory.csv
    python3 tools/generate_data.py --out /tmp/data      # write elsewhere (CI compares)

Python 3 standard library only; the output depends on nothing but the source files and
the options (no time stamps, no absolute paths), so a regeneration from the same files
gives the same bytes. Nothing is written unless every table module succeeds: a source
record that breaks the directory's rules stops the run with the file, line and reason.

Table modules. Each entry of TABLE_MODULES names a module in tools/ that offers
    add_arguments(parser, shared_data)  registers its source-file options, with defaults
                                        under `shared_data` (the ../shared/data folder)
    build(args) -> [(file name, text)]  reads its sources, validates them and returns the
                                        C++ sources to write under data/; raises ValueError
                                        (or a subclass) naming the record at fault
To add a table (for example the IBAN rule lists), write tools/<module>.py with these two
functions and add its name to TABLE_MODULES.
"""

import argparse
import importlib
import os
import sys

TOOLS_DIR = os.path.dirname(os.path.abspath(__file__))
REPOSITORY = os.path.dirname(TOOLS_DIR)
DEFAULT_SHARED_DATA = os.path.normpath(os.path.join(REPOSITORY, "..", "shared", "data"))

TABLE_MODULES = [
    "bank_directory",
    "iban_rule_tables",
    "iban_countries",
]


def load_modules():
    sys.dont_write_bytecode = True  # keep tools/ free of caches
    sys.path.insert(0, TOOLS_DIR)
    return [importlib.import_module(name) for name in TABLE_MODULES]


def parse_arguments(modules, argv):
    common = argparse.ArgumentParser(add_help=False)
    common.add_argument("--out", default=os.path.join(REPOSITORY, "data"),
                        help="folder to write the C++ sources to (default: data/ of the repository)")
    common.add_argument("--shared-data", default=DEFAULT_SHARED_DATA,
                        help="folder the default source paths are taken from (default: ../shared/data)")
    # The shared-data folder decides the other defaults, so read it first.
    known, _ = common.parse_known_args(argv)
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0], parents=[common])
    for module in modules:
        module.add_arguments(parser, known.shared_data)
    return parser.parse_args(argv)


def main(argv=None):
    modules = load_modules()
    args = parse_arguments(modules, sys.argv[1:] if argv is None else argv)
    outputs = []
    for module in modules:
        try:
            outputs += module.build(args)
        except (ValueError, OSError) as e:
            print("generate_data: %s: %s" % (module.__name__, e), file=sys.stderr)
            print("generate_data: nothing written", file=sys.stderr)
            return 1
    os.makedirs(args.out, exist_ok=True)
    for name, text in outputs:
        with open(os.path.join(args.out, name), "w", encoding="utf-8", newline="\n") as f:
            f.write(text)
        print("wrote %s" % os.path.join(args.out, name))
    return 0


if __name__ == "__main__":
    sys.exit(main())
