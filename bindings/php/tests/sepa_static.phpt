--TEST--
SEPA static utilities: init, IBAN_convert (status by reference), IBAN_getBIC, IBAN_check, BIC_getBankName, BIC_getBankFlags
--EXTENSIONS--
SEPA
--FILE--
<?php
/* A German IBAN with correct check digits for any bank code and account. */
function de_iban(string $blz, string $account): string {
    $bban = $blz . str_pad($account, 10, '0', STR_PAD_LEFT);
    $r = 0;
    foreach (str_split($bban . '131400') as $c) {
        $r = ($r * 10 + (int)$c) % 97;
    }
    return sprintf('DE%02d%s', 98 - $r, $bban);
}

echo "init:\n";
var_dump(SEPA::init(SEPA_INIT_RULEBOOK, "DE-3.7"), SEPA::init(SEPA_INIT_RULEBOOK, "DE-2.6"),
         SEPA::init(SEPA_INIT_RULEBOOK, "de-3.5"), SEPA::init(SEPA_INIT_RULEBOOK, "DE-4.0"),
         SEPA::init(SEPA_INIT_RULEBOOK, "DE-3.5\0"), SEPA::init(4, "DE-3.5"),
         SEPA::init(SEPA_INIT_RULEBOOK + 4294967296, "DE-3.5"));

echo "IBAN_convert:\n";
$cases = [
    ['DE', '532013000', '37040044'],
    ['DE', '0532013000', '37040044'],
    ['DE', '1234567890', '37040044'],
    ['DE', '532013000', '99999999'],
    ['DE', '532013000', '25050299'],
    ['AT', '532013000', '37040044'],
    ['de', '532013000', '37040044'],
    ['DE', '12345678901', '37040044'],
    ['DE', '532013000', '3704004'],
    ['DE', '', ''],
    ['DE', "532013000\0", '37040044'],
];
foreach ($cases as [$country, $account, $bank]) {
    $status = 'untouched';
    $iban = SEPA::IBAN_convert($country, $account, $bank, $status);
    printf("%s %s %s => %s, status %s\n", $country, json_encode($account), $bank,
        var_export($iban, true), var_export($status, true));
}
// Without the status argument, and into a typed property through the reference.
var_dump(SEPA::IBAN_convert('DE', '532013000', '37040044'));
class StatusHolder {
    public int $status = -1;
    public ?array $list = null;
}
$holder = new StatusHolder();
SEPA::IBAN_convert('DE', '532013000', '99999999', $holder->status);
var_dump($holder->status);
try {
    SEPA::IBAN_convert('DE', '532013000', '37040044', $holder->list);
} catch (TypeError $e) {
    echo "TypeError: ", $e->getMessage(), "\n";
}
try {
    SEPA::IBAN_convert('DE', '532013000');
} catch (ArgumentCountError $e) {
    echo $e->getMessage(), "\n";
}

echo "IBAN_getBIC:\n";
$ibans = [
    'DE89370400440532013000',           // rule 5 bank: Commerzbank's BIC whatever its entry says
    de_iban('30060601', '1234567890'),  // rule 14
    de_iban('25050299', '1234567890'),  // a bank without BIC
    'LI21088100002324013AA',            // looked up among the Swiss codes
    'de89370400440532013000',           // prefix compared exactly
    'DE8937040044053201300',            // wrong length
    de_iban('99999999', '1'),           // bank code not in the directory
    'FR1420041010050500013M02606',      // country not served
    '',
    "DE89370400440532013000\0",
];
foreach ($ibans as $iban) {
    printf("%s => %s\n", json_encode($iban), var_export(SEPA::IBAN_getBIC($iban), true));
}

echo "IBAN_check:\n";
foreach (['DE89370400440532013000', 'DE89370400440532013001', 'DE89 3704 0044 0532 0130 00',
          'LI21088100002324013AA', 'AD1200012030200359100100', '', "DE89370400440532013000\0X"] as $iban) {
    printf("%s => %s\n", json_encode($iban), var_export(SEPA::IBAN_check($iban), true));
}

echo "BIC lookups:\n";
foreach (['VOBADESSXXX', 'vobadessxxx', 'VOBADESS', 'COBADEFF', 'ZZZZDEZZXXX', 'VOBADESSX', 'VOBA-ESSXXX',
          '', "VOBADESS\0XXX"] as $bic) {
    printf("%s => %s, %s\n", json_encode($bic), var_export(SEPA::BIC_getBankName($bic), true),
        var_export(SEPA::BIC_getBankFlags($bic), true));
}
$flags = SEPA::BIC_getBankFlags('VOBADESSXXX');
var_dump(($flags & SEPA_SCL_SCT) && ($flags & SEPA_SCL_SDD) && ($flags & SEPA_SCL_B2B) && !($flags & SEPA_SCL_COR1));
try {
    SEPA::BIC_getBankFlags([]);
} catch (TypeError $e) {
    echo $e->getMessage(), "\n";
}
?>
--EXPECT--
init:
bool(true)
bool(true)
bool(false)
bool(false)
bool(false)
bool(false)
bool(false)
IBAN_convert:
DE "532013000" 37040044 => 'DE89370400440532013000', status 0
DE "0532013000" 37040044 => 'DE89370400440532013000', status 0
DE "1234567890" 37040044 => NULL, status 11
DE "532013000" 99999999 => NULL, status 10
DE "532013000" 25050299 => 'DE32250501800532013000', status 13
AT "532013000" 37040044 => NULL, status 0
de "532013000" 37040044 => NULL, status 0
DE "12345678901" 37040044 => NULL, status 0
DE "532013000" 3704004 => NULL, status 0
DE ""  => NULL, status 0
DE "532013000\u0000" 37040044 => NULL, status 0
string(22) "DE89370400440532013000"
int(10)
TypeError: Cannot assign int to reference held by property StatusHolder::$list of type ?array
SEPA::IBAN_convert() expects at least 3 arguments, 2 given
IBAN_getBIC:
"DE89370400440532013000" => 'COBADEFFXXX'
"DE41300606011234567890" => 'DAAEDEDDXXX'
"DE48250502991234567890" => ''
"LI21088100002324013AA" => 'BLFLLI2XXXX'
"de89370400440532013000" => NULL
"DE8937040044053201300" => NULL
"DE93999999990000000001" => NULL
"FR1420041010050500013M02606" => NULL
"" => NULL
"DE89370400440532013000\u0000" => NULL
IBAN_check:
"DE89370400440532013000" => true
"DE89370400440532013001" => false
"DE89 3704 0044 0532 0130 00" => false
"LI21088100002324013AA" => true
"AD1200012030200359100100" => true
"" => false
"DE89370400440532013000\u0000X" => false
BIC lookups:
"VOBADESSXXX" => 'VOLKSBANK STUTTGART EG', 11
"vobadessxxx" => 'VOLKSBANK STUTTGART EG', 11
"VOBADESS" => 'VOLKSBANK STUTTGART EG', 11
"COBADEFF" => 'COMMERZBANK AG', 11
"ZZZZDEZZXXX" => NULL, NULL
"VOBADESSX" => NULL, NULL
"VOBA-ESSXXX" => NULL, NULL
"" => NULL, NULL
"VOBADESS\u0000XXX" => NULL, NULL
bool(true)
SEPA::BIC_getBankFlags(): Argument #1 ($bic) must be of type string, array given
