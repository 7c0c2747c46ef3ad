--TEST--
SEPA::IBAN_inspect (array with reason, parts, SEPA and EEA marks, bank), IBAN_normalize, IBAN_format, SEPA_IBAN_REASON_* constants
--EXTENSIONS--
SEPA
--FILE--
<?php
$cases = [
    'DE89370400440532013000' => SEPA_IBAN_REASON_NONE,
    'GB29NWBK60161331926819' => SEPA_IBAN_REASON_NONE,
    'BR1800360305000010009795493C1' => SEPA_IBAN_REASON_NONE,
    'US64SVBKUS6S3300958879' => SEPA_IBAN_REASON_COUNTRY,
    'GB29NWBK6016133192681' => SEPA_IBAN_REASON_LENGTH,
    'gb29nwbk60161331926819' => SEPA_IBAN_REASON_FORMAT,
    'GB29NWBK60161331926818' => SEPA_IBAN_REASON_CHECK_DIGITS,
    'DE57000000000532013000' => SEPA_IBAN_REASON_BANK_CODE,
    'DE55370400440532014000' => SEPA_IBAN_REASON_ACCOUNT,
];
foreach ($cases as $iban => $reason) {
    $info = SEPA::IBAN_inspect($iban);
    printf("%s: valid %s, reason %d (%s), expected %s\n", $iban, var_export($info['valid'], true), $info['reason'],
        var_export($info['reason_text'], true), $info['reason'] === $reason ? 'yes' : 'NO');
}
$de = SEPA::IBAN_inspect('DE89370400440532013000');
printf("%s %s %s bank %s, sepa %s, eea %s, BIC %s, method %02X\n", $de['country'], $de['check_digits'], $de['bban'],
    $de['bank_id'], var_export($de['sepa'], true), var_export($de['eea'], true), $de['bank']['bic'],
    $de['bank']['check_method']);
$gb = SEPA::IBAN_inspect('GB29NWBK60161331926819');
printf("GB: bank %s branch %s sepa %s eea %s bank %s\n", $gb['bank_id'], $gb['branch_id'],
    var_export($gb['sepa'], true), var_export($gb['eea'], true), var_export($gb['bank'], true));
var_dump(SEPA::IBAN_inspect("DE89370400440532013000\0"));

echo "forms:\n";
foreach (['iban de89 3704 0044 0532 0130 00', 'GB29NWBK60161331926819', 'DE89-3704', '', "DE89\0"] as $text) {
    printf("%s => %s / %s\n", json_encode($text), var_export(SEPA::IBAN_normalize($text), true),
        var_export(SEPA::IBAN_format($text), true));
}
echo "SEPA area:\n";
foreach (['AD1200012030200359100100', 'RS35260005601001611379', 'FO6264600001631634', 'SA0380000000608010167519'] as $iban) {
    printf("%s check %s\n", $iban, var_export(SEPA::IBAN_check($iban), true));
}
?>
--EXPECT--
DE89370400440532013000: valid true, reason 0 (NULL), expected yes
GB29NWBK60161331926819: valid true, reason 0 (NULL), expected yes
BR1800360305000010009795493C1: valid true, reason 0 (NULL), expected yes
US64SVBKUS6S3300958879: valid false, reason 1 ('Invalid or unknown IBAN country code'), expected yes
GB29NWBK6016133192681: valid false, reason 2 ('Wrong IBAN length'), expected yes
gb29nwbk60161331926819: valid false, reason 3 ('Invalid IBAN format'), expected yes
GB29NWBK60161331926818: valid false, reason 4 ('Invalid IBAN checksum'), expected yes
DE57000000000532013000: valid false, reason 5 ('Invalid bank ID (BLZ) in IBAN'), expected yes
DE55370400440532014000: valid false, reason 6 ('Invalid account number in IBAN'), expected yes
DE 89 370400440532013000 bank 37040044, sepa true, eea true, BIC COBADEFFXXX, method 13
GB: bank NWBK branch 601613 sepa true eea false bank NULL
NULL
forms:
"iban de89 3704 0044 0532 0130 00" => 'DE89370400440532013000' / 'DE89 3704 0044 0532 0130 00'
"GB29NWBK60161331926819" => 'GB29NWBK60161331926819' / 'GB29 NWBK 6016 1331 9268 19'
"DE89-3704" => NULL / NULL
"" => NULL / NULL
"DE89\u0000" => NULL / NULL
SEPA area:
AD1200012030200359100100 check true
RS35260005601001611379 check true
FO6264600001631634 check true
SA0380000000608010167519 check false
