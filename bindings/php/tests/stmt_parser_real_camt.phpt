--TEST--
SEPAStatementParser on real camt files: the konfipay gem's expected result, a ZIP archive, every file loads or says why
--EXTENSIONS--
SEPA
--SKIPIF--
<?php
$dir = getenv('SEPA_SHARED_DATA_DIR');
if (!$dir || !is_dir("$dir/camt")) die("skip real camt files not found (SEPA_SHARED_DATA_DIR/camt)");
?>
--FILE--
<?php
$dir = getenv('SEPA_SHARED_DATA_DIR') . '/camt';
$read = function (string $path) {
    $parser = new SEPAStatementParser();
    $parser->load(SEPA_STMT_FORMAT_AUTO, $path);
    return $parser->getStatements();
};

// Every line against the gem's result: amount in cents, currency, counterparty, date, texts.
$expected = json_decode(file_get_contents("$dir/konfipay_CAMT.053_458b71be.parsed-by-gem.json"), true);
$lines = array_merge(...array_column($read("$dir/konfipay_CAMT.053_458b71be.XML"), 'tx'));
var_dump(count($lines) === count($expected));
$mismatches = 0;
foreach ($expected as $i => $want) {
    $tx = $lines[$i];
    $got = [
        'name' => $tx['name'], 'iban' => $tx['account'], 'bic' => $tx['bank'],
        'type' => $tx['amountCents'] < 0 ? 'debit' : 'credit', 'amount_in_cents' => abs($tx['amountCents']),
        'currency' => $tx['currency'], 'executed_on' => $tx['booked'], 'reference' => $tx['svwz'],
        'end_to_end_reference' => $tx['endToEndId'],
    ];
    foreach ($want as $key => $value) {
        if ($got[$key] !== $value) {
            echo "line $i $key: ", var_export($got[$key], true), " != ", var_export($value, true), "\n";
            ++$mismatches;
        }
    }
}
echo "mismatches: $mismatches\n";

// A ZIP archive gives all its statements in archive order.
$zip = $read("$dir/oca_test-camt053.zip");
echo count($zip), " statements, ", implode(" ", array_map(fn($s) => count($s['tx']), $zip)), " lines\n";

// Every file: statements in UTF-8 with a currency on every line, or a SEPAException.
$bad = 0;
foreach (glob("$dir/*.{xml,XML,zip}", GLOB_BRACE) as $path) {
    try {
        foreach ($read($path) as $s) {
            json_encode($s, JSON_THROW_ON_ERROR);
            foreach ($s['tx'] as $tx) {
                if (!preg_match('/^[A-Z]{3}$/', $tx['currency'])) {
                    echo basename($path), ": line without currency\n";
                    ++$bad;
                }
            }
        }
    } catch (SEPAException $e) {
        if ($e->getMessage() === '') {
            echo basename($path), ": exception without a reason\n";
            ++$bad;
        }
    }
}
echo "bad: $bad\n";
?>
--EXPECT--
bool(true)
mismatches: 0
2 statements, 3 3 lines
bad: 0
