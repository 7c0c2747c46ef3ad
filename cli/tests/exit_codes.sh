#!/usr/bin/env bash
# sepa-tool's exit codes and messages: each case runs the tool and checks the exit
# code (0 done, 1 refused input data, 2 usage or I/O error) and a piece of the text
# on standard error. Usage: exit_codes.sh SEPA_TOOL
set -uo pipefail
tool=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

# order NAME [TOP [TX]] writes NAME.json: a credit transfer that renders, with the
# keys TOP added to the order and TX to its transaction (",key":value...). A key given
# twice takes its last value, so TOP and TX replace the defaults.
order() {
  local name=$1 top=${2:-} tx=${3:-}
  printf '{"type":"credit-transfer","rulebook":"DE-3.5","iban":"DE89370400440532013000","bic":"COBADEFFXXX","name":"Firma","transactions":[{"name":"B","iban":"DE02120300000000202051","amount":"1.00"%s}]%s}' \
    "$tx" "$top" >"$name.json"
}
order valid
order nul_name ',"name":"Muster\u0000firma"'
order nul_rulebook ',"rulebook":"DE-3.5\u0000X"'
order nul_value '' ',"ref":"Rechnung\u0000 1"'
order nul_key '' ',"re\u0000f":"x"'
order true_amount '' ',"amount":true'
order false_amount '' ',"AMOUNT":false'
order array_value '' ',"ref":["a"]'
order batch_booking_number ',"batch_booking":1'
order transactions_object ',"transactions":{}'
printf '{"type":' >truncated.json
mkfifo fifo
mkdir directory

failures=0
# check EXPECTED-CODE EXPECTED-STDERR-PIECE ARGS...
check() {
  local expected=$1 message=$2
  shift 2
  timeout 10 "$tool" "$@" >stdout.txt 2>stderr.txt
  local code=$?
  if [[ $code -ne $expected ]] || { [[ -n $message ]] && ! grep -qF -- "$message" stderr.txt; }; then
    echo "FAIL: sepa-tool $* gave exit $code (expected $expected), stderr:"
    cat stderr.txt
    failures=$((failures + 1))
  fi
}

# Success, --version and --help.
check 0 "" render valid.json -o out.xml
check 0 "" --version
grep -q "^sepa-tool [0-9]" stdout.txt && grep -q "^libsepa [0-9]" stdout.txt || { echo "FAIL: --version output"; failures=$((failures + 1)); }
check 0 "" --help
grep -q "Exit codes" stdout.txt || { echo "FAIL: --help lists no exit codes"; failures=$((failures + 1)); }

# Refused input data: exit 1, the value named.
check 1 '"Muster\u0000firma" contains a NUL character' render nul_name.json
check 1 '"DE-3.5\u0000X" contains a NUL character' render nul_rulebook.json
check 1 'transaction 1: ref: "Rechnung\u0000 1" contains a NUL character' render nul_value.json
check 1 'the key "re\u0000f" contains a NUL character' render nul_key.json
check 1 'amount: true is not an amount' render true_amount.json
check 1 'AMOUNT: false is not an amount' render false_amount.json
check 1 'ref: ["a"] is not a text or number' render array_value.json
check 1 'batch_booking: 1 is not true or false' render batch_booking_number.json
check 1 'transactions: not a JSON array' render transactions_object.json
check 1 'truncated.json: ' render truncated.json
check 1 'bank code not found' bank DE 99999999
check 1 '' iban DE89370400440532013001
check 1 '' account 532013001 00

# Usage and I/O errors: exit 2 with a message, never an abort.
check 2 'is a directory' render directory
check 2 'not a regular file' render fifo
check 2 'No such file or directory' render missing.json
check 2 'cannot create directory' render valid.json -o directory
check 2 'cannot write /dev/full: No space left on device' render valid.json -o /dev/full
"$tool" bank DE 37040044 >/dev/full 2>stderr.txt
[[ $? -eq 2 ]] && grep -q 'cannot write to standard output' stderr.txt || { echo "FAIL: full standard output"; failures=$((failures + 1)); }
check 2 'two hexadecimal digits' account 532013000 zz
check 2 'two hexadecimal digits' account 532013000 6
check 2 'two hexadecimal digits' account 532013000 063
check 2 'a German bank code is 8 digits' account 532013000 52 1234567
check 2 'a German bank code is 8 digits' convert 3704004X 532013000
check 2 'not in {AT,CH,DE,LI}' bank FR 30004
check 2 'A subcommand is required'
check 2 'The following argument was not expected' iban DE89370400440532013000 --bogus

# A country code is taken in any case.
check 0 "" bank de 37040044

if ((failures)); then
  echo "$failures case(s) failed"
  exit 1
fi
echo "all exit-code cases passed"
