--TEST--
SEPA::add: string and integer keys, int/float/bool/null values, refused values and arrays
--EXTENSIONS--
SEPA
--FILE--
<?php
SEPA::init(SEPA_INIT_RULEBOOK, "DE-3.5");

function attempt(SEPA $sepa, array $tx) {
    try {
        var_dump($sepa->add($tx));
    } catch (SEPAException $e) {
        printf("%s (%d)\n", $e->getMessage(), $e->getCode());
    }
}

/* The amounts and texts the library received, as the document shows them. */
function show(SEPA $sepa) {
    $xml = $sepa->toXML();
    preg_match_all('~<(NbOfTxs|CtrlSum|InstdAmt Ccy="EUR"|EndToEndId|Ustrd)>([^<]*)<~', $xml, $m, PREG_SET_ORDER);
    foreach ($m as [, $element, $value]) {
        echo "  $element: $value\n";
    }
}

$payee = ['name' => 'Payee', 'iban' => 'DE02120300000000202051'];

// Credit transfer: values are converted the engine's way: 12.5 -> "12.5", 7 -> "7",
// null -> "" (booleans are no amounts: sepa_exception_codes.phpt). Unknown keys (the
// integer key 0 too) are refused.
$ct = new SEPA(SEPA_MSGTYPE_CTI);
$ct->setName('Payer');
$ct->setIBAN('DE89370400440532013000');
$ct->setMessageId('ADD-TEST');
attempt($ct, $payee + ['amount' => 12.5, 'id' => 'E2E-1']);
attempt($ct, $payee + ['amount' => 12.5, 0 => 'x']);
attempt($ct, $payee + ['amount' => 7, 'id' => 42, 'ref' => null]);
attempt($ct, $payee + ['amount' => 1, 'ref' => 3.25]);
attempt($ct, $payee + ['amount' => 0.1 + 0.2]);
attempt($ct, ['NAME' => 'Upper', 'Iban' => 'DE02120300000000202051', 'AMOUNT' => '100']);
$amount = '2.50';
$byRef = $payee;
$byRef['amount'] = &$amount;
attempt($ct, $byRef);
show($ct);

// Refusals: the library's reason, and the message keeps its transactions.
echo "refused:\n";
attempt($ct, []);
attempt($ct, $payee + ['amount' => false]);
attempt($ct, $payee + ['amount' => null]);
attempt($ct, $payee + ['amount' => -1]);
attempt($ct, $payee + ['amount' => '12,50']);
attempt($ct, $payee + ['amount' => '1e2']);
attempt($ct, $payee + ['amount' => INF]);
attempt($ct, ['amount' => 'x', 'iban' => 'DE00']);
attempt($ct, ['iban' => 'DE02120300000000202052', 'amount' => 1]);
attempt($ct, $payee);

// Values that have no text form are refused by the extension itself instead of
// passing "Array" or an object's text; so are texts with NUL bytes.
echo "not texts:\n";
$stringable = new class { public function __toString(): string { return "5"; } };
$file = fopen('php://memory', 'r');
attempt($ct, $payee + ['amount' => [1]]);
attempt($ct, $payee + ['amount' => $stringable]);
attempt($ct, $payee + ['amount' => new stdClass()]);
attempt($ct, $payee + ['amount' => $file]);
attempt($ct, ['name' => "Pay\0ee"] + $payee + ['amount' => 1]);
attempt($ct, $payee + ["amount\0x" => 1]);
attempt($ct, $payee + [7 => [], 'amount' => 1]);
show($ct);

// Direct debit: unknown keys are refused and named, integer keys in decimal.
echo "direct debit:\n";
$dd = new SEPA(SEPA_MSGTYPE_DDI);
$debtor = ['name' => 'Debtor', 'iban' => 'DE02120300000000202051', 'amount' => 10, 'seq' => 'FRST',
           'mref' => 'M-1', 'mdate' => '2024-01-15'];
attempt($dd, $debtor);
attempt($dd, $debtor + [0 => 'x']);
attempt($dd, $debtor + [123456789 => 'x']);
attempt($dd, $debtor + [-5 => 'x']);
attempt($dd, $debtor + ['purp' => 'GDDS']);
attempt($dd, ['seq' => 'Frst'] + $debtor);
attempt($dd, ['seq' => 'FIRST'] + $debtor);
attempt($dd, $debtor + ['smnda' => true]);
attempt($dd, $debtor + ['smnda' => 0]);
attempt($dd, ['smnda' => 1, 'old_mref' => 'M-0'] + $debtor);

// Engine-level argument errors.
foreach ([fn() => $dd->add('amount=1'), fn() => $dd->add()] as $fn) {
    try {
        $fn();
    } catch (Throwable $e) {
        echo get_class($e), ": ", $e->getMessage(), "\n";
    }
}
?>
--EXPECT--
bool(true)
Invalid transaction property '0' (1)
bool(true)
bool(true)
bool(true)
bool(true)
bool(true)
  NbOfTxs: 6
  CtrlSum: 123.30
  NbOfTxs: 6
  CtrlSum: 123.30
  EndToEndId: E2E-1
  InstdAmt Ccy="EUR": 12.50
  EndToEndId: 42
  InstdAmt Ccy="EUR": 7.00
  EndToEndId: NOTPROVIDED
  InstdAmt Ccy="EUR": 1.00
  Ustrd: 3.25
  EndToEndId: NOTPROVIDED
  InstdAmt Ccy="EUR": 0.30
  EndToEndId: NOTPROVIDED
  InstdAmt Ccy="EUR": 100.00
  EndToEndId: NOTPROVIDED
  InstdAmt Ccy="EUR": 2.50
refused:
IBAN missing (1)
Invalid value for 'amount' (false is not an amount) (1)
Empty amount not allowed (1)
Negative or zero amount not allowed (1)
Invalid amount '12,50' (digits, optionally a full stop and up to two decimals, e.g. 60.00) (1)
Invalid amount '1e2' (digits, optionally a full stop and up to two decimals, e.g. 60.00) (1)
Invalid amount 'INF' (digits, optionally a full stop and up to two decimals, e.g. 60.00) (1)
Invalid amount 'x' (digits, optionally a full stop and up to two decimals, e.g. 60.00) (1)
Invalid IBAN checksum (1)
Amount missing (1)
not texts:
Invalid value for 'amount' (arrays, objects and resources are not allowed) (1)
Invalid value for 'amount' (arrays, objects and resources are not allowed) (1)
Invalid value for 'amount' (arrays, objects and resources are not allowed) (1)
Invalid value for 'amount' (arrays, objects and resources are not allowed) (1)
Invalid value for 'name' (contains a NUL byte) (1)
Invalid transaction property (key contains a NUL byte) (1)
Invalid value for '7' (arrays, objects and resources are not allowed) (1)
  NbOfTxs: 6
  CtrlSum: 123.30
  NbOfTxs: 6
  CtrlSum: 123.30
  EndToEndId: E2E-1
  InstdAmt Ccy="EUR": 12.50
  EndToEndId: 42
  InstdAmt Ccy="EUR": 7.00
  EndToEndId: NOTPROVIDED
  InstdAmt Ccy="EUR": 1.00
  Ustrd: 3.25
  EndToEndId: NOTPROVIDED
  InstdAmt Ccy="EUR": 0.30
  EndToEndId: NOTPROVIDED
  InstdAmt Ccy="EUR": 100.00
  EndToEndId: NOTPROVIDED
  InstdAmt Ccy="EUR": 2.50
direct debit:
bool(true)
Invalid transaction property '0' (1)
Invalid transaction property '123456789' (1)
Invalid transaction property '-5' (1)
Invalid transaction property 'purp' (1)
bool(true)
Invalid/unknown sequence type (1)
bool(true)
Invalid value '0' for SMNDA flag (1)
bool(true)
TypeError: SEPA::add(): Argument #1 ($transaction) must be of type array, string given
ArgumentCountError: SEPA::add() expects exactly 1 argument, 0 given
