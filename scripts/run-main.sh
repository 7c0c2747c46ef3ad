#!/usr/bin/env bash
# Builds the library and the command-line tool, then runs the tool on the bundled
# example data: bank lookups, an IBAN conversion, a direct-debit and a credit-transfer
# order rendered as pain.008 / pain.001, and an MT940 statement parsed into JSON.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh --minimal
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build --parallel "$(nproc)" --target sepa-tool
tool=./build/cli/sepa-tool
set -x
$tool --version
$tool bank DE 37040044
$tool bic VOBADESS
$tool iban DE89370400440532013000 AT611904300234573201
$tool convert 37040044 532013000
$tool render examples/data/direct_debit.json
$tool render examples/data/credit_transfer.json
$tool statements examples/data/statement.sta
