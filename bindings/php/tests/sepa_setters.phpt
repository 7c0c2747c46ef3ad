--TEST--
SEPA setters: success returns true, refusals throw the library's text (code 0) and keep the old value
--EXTENSIONS--
SEPA
--FILE--
<?php
function attempt(SEPA $sepa, string $method, ...$args) {
    try {
        var_dump($sepa->$method(...$args));
    } catch (SEPAException $e) {
        printf("%s: %s (%d)\n", $method, $e->getMessage(), $e->getCode());
    }
}

SEPA::init(SEPA_INIT_RULEBOOK, "DE-3.5");
$dd = new SEPA(SEPA_MSGTYPE_DDI);
$cases = [
    ['setIBAN', 'DE89370400440532013000'],
    ['setIBAN', 'DE88370400440532013000'],
    ['setIBAN', ''],
    ['setBIC', 'cobadeff'],
    ['setBIC', 'COBADEFFXXXX'],
    ['setBIC', 'COBA-EFFXXX'],
    ['setName', str_repeat('N', 70)],
    ['setName', str_repeat('N', 71)],
    ['setName', ''],
    ['setName', "M\u{fc}ller & S\u{f6}hne"],
    ['setName', 'Name #1'],
    ['setCreditorIdentifier', 'DE98ZZZ09999999999'],
    ['setCreditorIdentifier', 'DE98ABC09999999999'],
    ['setCreditorIdentifier', 'DE98ZZ'],
    ['setCreditorIdentifier', str_repeat('D', 36)],
    ['setCreditorIdentifier', 'DE97ZZZ09999999999'],
    ['setCreditorIdentifier', 'DE98ZZZ0999999999_'],
    ['setDate', '2025-03-01'],
    ['setDate', '2024-1-1'],
    ['setDate', '2024/01/01'],
    ['setMessageId', str_repeat('A', 35)],
    ['setMessageId', str_repeat('A', 36)],
    ['setMessageId', 'MSG_1'],
    ['setMessageId', "M\u{e4}"],
    ['setDDType', SEPA_DDTYPE_B2B],
    ['setDDType', SEPA_DDTYPE_COR1],
    ['setDDType', 3],
    ['setDDType', 4294967297],
    ['setBatchBooking', false],
    ['setBatchBooking', true],
];
foreach ($cases as [$method, $value]) {
    echo "$method(", var_export($value, true), "): ";
    attempt($dd, $method, $value);
}

// Embedded NUL bytes would shorten the text the library sees: refused.
foreach (['setIBAN', 'setBIC', 'setName', 'setCreditorIdentifier', 'setDate', 'setMessageId'] as $method) {
    attempt($dd, $method, "AB\0CD");
}

// COR1 is a rulebook question: allowed under DE-2.9.
var_dump(SEPA::init(SEPA_INIT_RULEBOOK, "DE-2.9"));
attempt($dd, 'setDDType', SEPA_DDTYPE_COR1);

// Credit transfers have no direct-debit type.
$ct = new SEPA(SEPA_MSGTYPE_CTI);
attempt($ct, 'setDDType', SEPA_DDTYPE_CORE);
attempt($ct, 'setBatchBooking', false);
attempt($ct, 'setCreditorIdentifier', 'DE98ZZZ09999999999');

// Engine-level argument errors (PHP 8 throws instead of returning null).
foreach ([fn() => $ct->setIBAN([]), fn() => $ct->setDDType("B2B"), fn() => $ct->setName()] as $fn) {
    try {
        $fn();
    } catch (Throwable $e) {
        echo get_class($e), ": ", $e->getMessage(), "\n";
    }
}

// A refused value leaves the previous one: the document still shows the first IBAN,
// the upper-cased BIC and the last accepted message id and batch booking.
$ct->setIBAN('DE89370400440532013000');
$ct->setBIC('cobadeffxxx');
$ct->setName('Payer');
$ct->setMessageId('KEEP-ME');
attempt($ct, 'setIBAN', 'DE00370400440532013000');
attempt($ct, 'setMessageId', 'bad_id');
$ct->add(['name' => 'Payee', 'iban' => 'DE02120300000000202051', 'amount' => '1']);
$xml = $ct->toXML();
foreach (['<IBAN>DE89370400440532013000</IBAN>', '<BIC>COBADEFFXXX</BIC>', '<MsgId>KEEP-ME</MsgId>', '<BtchBookg>false</BtchBookg>'] as $needle) {
    echo $needle, ": ", str_contains($xml, $needle) ? "yes" : "no", "\n";
}
?>
--EXPECT--
setIBAN('DE89370400440532013000'): bool(true)
setIBAN('DE88370400440532013000'): setIBAN: Invalid IBAN checksum (DE88370400440532013000) (1)
setIBAN(''): setIBAN: Invalid or unknown IBAN country code () (1)
setBIC('cobadeff'): bool(true)
setBIC('COBADEFFXXXX'): setBIC: sepa_setBIC: invalid BIC (1)
setBIC('COBA-EFFXXX'): setBIC: sepa_setBIC: invalid BIC format (1)
setName('NNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNN'): bool(true)
setName('NNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNN'): setName: sepa_setAccount: Name too long (1)
setName(''): setName: sepa_setAccount: Name too short (1)
setName('Müller & Söhne'): bool(true)
setName('Name #1'): setName: sepa_setName: invalid character '#' in name (1)
setCreditorIdentifier('DE98ZZZ09999999999'): bool(true)
setCreditorIdentifier('DE98ABC09999999999'): bool(true)
setCreditorIdentifier('DE98ZZ'): setCreditorIdentifier: Creditor Identifier too short (1)
setCreditorIdentifier('DDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDD'): setCreditorIdentifier: Creditor Identifier too long (1)
setCreditorIdentifier('DE97ZZZ09999999999'): setCreditorIdentifier: Invalid Creditor Identifier checksum (1)
setCreditorIdentifier('DE98ZZZ0999999999_'): setCreditorIdentifier: Invalid character in Creditor Identifier (1)
setDate('2025-03-01'): bool(true)
setDate('2024-1-1'): setDate: Invalid date (1)
setDate('2024/01/01'): setDate: Invalid date format (1)
setMessageId('AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA'): bool(true)
setMessageId('AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA'): setMessageId: Invalid message id (1)
setMessageId('MSG_1'): setMessageId: Invalid message id (1)
setMessageId('Mä'): setMessageId: Invalid message id (1)
setDDType(2): bool(true)
setDDType(1): setDDType: COR1 is not allowed with selected SEPA rulebook (1)
setDDType(3): setDDType: Unknown/unsupported LocalInstrumentCode (setDDType) (1)
setDDType(4294967297): setDDType: Unknown/unsupported LocalInstrumentCode (setDDType) (1)
setBatchBooking(false): bool(true)
setBatchBooking(true): bool(true)
setIBAN: Invalid value (contains a NUL byte) (1)
setBIC: Invalid value (contains a NUL byte) (1)
setName: Invalid value (contains a NUL byte) (1)
setCreditorIdentifier: Invalid value (contains a NUL byte) (1)
setDate: Invalid value (contains a NUL byte) (1)
setMessageId: Invalid value (contains a NUL byte) (1)
bool(true)
bool(true)
setDDType: Not a direct debit message (1)
bool(true)
bool(true)
TypeError: SEPA::setIBAN(): Argument #1 ($iban) must be of type string, array given
TypeError: SEPA::setDDType(): Argument #1 ($type) must be of type int, string given
ArgumentCountError: SEPA::setName() expects exactly 1 argument, 0 given
setIBAN: Invalid IBAN checksum (DE00370400440532013000) (1)
setMessageId: Invalid message id (1)
<IBAN>DE89370400440532013000</IBAN>: yes
<BIC>COBADEFFXXX</BIC>: yes
<MsgId>KEEP-ME</MsgId>: yes
<BtchBookg>false</BtchBookg>: yes
