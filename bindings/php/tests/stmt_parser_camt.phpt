--TEST--
SEPAStatementParser: camt and automatic formats, every new field, UTF-8 texts from a Latin-1 MT940 file, exact cents
--EXTENSIONS--
SEPA
--SKIPIF--
<?php
if (!getenv('SEPA_TEST_DIR')) die('skip SEPA_TEST_DIR (the repository\'s tests/ folder) not set');
?>
--FILE--
<?php
$tests = getenv('SEPA_TEST_DIR');
$camt = "$tests/camt/surfaces_camt053_v08.xml";
$latin1 = "$tests/mt940/volksbank_charsets.sta";

var_dump(SEPA_STMT_FORMAT_MT940, SEPA_STMT_FORMAT_CAMT, SEPA_STMT_FORMAT_AUTO);

// The same statement through the camt and the automatic format.
$read = function (int $format, string $path) {
    $parser = new SEPAStatementParser();
    $parser->load($format, $path);
    return $parser->getStatements();
};
$statements = $read(SEPA_STMT_FORMAT_CAMT, $camt);
var_dump($statements === $read(SEPA_STMT_FORMAT_AUTO, $camt));

// New keys come after the ones MT940 callers have always read.
$s = $statements[0];
echo implode(",", array_keys($s)), "\n";
echo implode(",", array_keys($s['tx'][0])), "\n";
unset($s['tx']);
var_dump($s);
foreach ($statements[0]['tx'] as $i => $tx) {
    echo "line $i: ", json_encode($tx, JSON_THROW_ON_ERROR | JSON_UNESCAPED_UNICODE), "\n";
}

// Exact cents add up from opening to closing balance.
$sum = array_sum(array_column($statements[0]['tx'], 'amountCents'));
var_dump($statements[0]['openSaldoCents'] + $sum === $statements[0]['closeSaldoCents']);

// An ISO-8859-1 MT940 file comes out as UTF-8: json_encode takes it as it is.
$mt940 = $read(SEPA_STMT_FORMAT_AUTO, $latin1);
echo json_encode(array_column($mt940[0]['tx'], 'name'), JSON_THROW_ON_ERROR | JSON_UNESCAPED_UNICODE), "\n";
echo json_encode(array_column($mt940[0]['tx'], 'currency')), "\n";
var_dump($mt940 === $read(SEPA_STMT_FORMAT_MT940, $latin1));

// A file of the other format fails with the library's reason, never an empty success.
foreach ([[SEPA_STMT_FORMAT_MT940, $camt], [SEPA_STMT_FORMAT_CAMT, $latin1], [4, $camt]] as [$format, $path]) {
    try {
        $read($format, $path);
        echo "format $format: loaded\n";
    } catch (SEPAException $e) {
        printf("format %d: %s (%d)\n", $format, $e->getMessage(), $e->getCode());
    }
}
?>
--EXPECT--
