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
int(1)
int(2)
int(3)
bool(true)
ref,account,number,openSaldo,openCurrency,openDate,closeSaldo,closeCurrency,closeDate,tx,openSaldoCents,closeSaldoCents,messageType,messageId,created,accountCurrency,accountBic,ownerName,legalNumber
valuta,booked,amount,code,ref,bankref,gvc,primanota,bank,account,name,eref,purp,svwz,abwa,amountCents,currency,reversal,status,endToEndId,creditorRef,bankTxCode,entryRef
array(18) {
  ["ref"]=>
  string(15) "STMT-2026-11-03"
  ["account"]=>
  string(22) "DE89370400440532013000"
  ["number"]=>
  int(215)
  ["openSaldo"]=>
  float(1000)
  ["openCurrency"]=>
  string(3) "EUR"
  ["openDate"]=>
  string(10) "2026-11-02"
  ["closeSaldo"]=>
  float(900.01)
  ["closeCurrency"]=>
  string(3) "EUR"
  ["closeDate"]=>
  string(10) "2026-11-03"
  ["openSaldoCents"]=>
  int(100000)
  ["closeSaldoCents"]=>
  int(90001)
  ["messageType"]=>
  string(15) "camt.053.001.08"
  ["messageId"]=>
  string(13) "MSG-SURFACE-1"
  ["created"]=>
  string(19) "2026-11-03T08:00:00"
  ["accountCurrency"]=>
  string(3) "EUR"
  ["accountBic"]=>
  string(11) "COBADEFFXXX"
  ["ownerName"]=>
  string(20) "Muster & Söhne GmbH"
  ["legalNumber"]=>
  int(44)
}
line 0: {"valuta":"2026-11-04","booked":"2026-11-03","amount":250.01,"code":"TRF","ref":"E2E-INV-1","bankref":"BANKREF-1","gvc":166,"primanota":"9310","bank":"BYLADEM1001","account":"DE02120300000000202051","name":"Überlange Firmenbezeichnung & Partner Gesellschaft mit beschränkter Haftung für Handel, Logistik und Dienstleistungen aller Art","eref":"E2E-INV-1","purp":"SALA","svwz":"Invoice 4711 paid in full","abwa":"Ultimate Payer","amountCents":25001,"currency":"EUR","reversal":false,"status":"BOOK","endToEndId":"E2E-INV-1","creditorRef":"RF18539007547034","bankTxCode":{"domain":"PMNT","family":"RCDT","subFamily":"ESCT","proprietary":"NTRF+166+9310"},"entryRef":"N-1"}
line 1: {"valuta":"2026-11-03","booked":"2026-11-03","amount":-100,"code":"MSC","ref":"E2E-B-1","bankref":"BANKREF-2","gvc":191,"primanota":"9320","bank":"","account":"DE02500105170137075030","name":"Stadtwerke Musterstadt","eref":"E2E-B-1","mref":"MANDATE-1","cred":"DE98ZZZ09999999999","svwz":"Abschlag November","amountCents":-10000,"currency":"EUR","reversal":false,"status":"BOOK","endToEndId":"E2E-B-1","bankTxCode":{"proprietary":"NMSC+191+9320"},"entryRef":"N-2","entryIndex":1,"entryTxCount":2,"entryAmountCents":-30000}
line 2: {"valuta":"2026-11-03","booked":"2026-11-03","amount":-200,"code":"MSC","ref":"E2E-B-2","bankref":"BANKREF-2","gvc":191,"primanota":"9320","bank":"","account":"DE89370400440532013000","name":"Vermieter","eref":"E2E-B-2","svwz":"Miete","amountCents":-20000,"currency":"EUR","reversal":false,"status":"BOOK","endToEndId":"E2E-B-2","bankTxCode":{"proprietary":"NMSC+191+9320"},"entryRef":"N-2","entryIndex":2,"entryTxCount":2,"entryAmountCents":-30000}
line 3: {"valuta":"2026-11-03","booked":"2026-11-03","amount":-50,"code":"RTI","ref":"E2E-RET-1","gvc":109,"primanota":"9930","bank":"","account":"DE02120300000000202051","name":"Kunde Meier","eref":"E2E-RET-1","amountCents":-5000,"currency":"EUR","reversal":true,"status":"BOOK","endToEndId":"E2E-RET-1","bankTxCode":{"proprietary":"NRTI+109+9930"},"returnReason":"MD06","chargesCents":300,"chargesCurrency":"EUR","originalAmountCents":4700,"originalCurrency":"EUR"}
bool(true)
["Jürgen Müller","Straßenbahn AG",""]
["EUR","EUR","EUR"]
bool(true)
format 1: Not an MT940 file: the file is XML (3)
format 2: Not a camt.052, camt.053 or camt.054 document, nor a ZIP archive of them (3)
format 4: invalid/unknown statement format (42)