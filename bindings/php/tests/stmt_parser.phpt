--TEST--
SEPAStatementParser: MT940 file to arrays (key order and presence), second load, bad format, missing files, no statement
--EXTENSIONS--
SEPA
--FILE--
<?php
$lines = [
    "{1:F01TESTDEFFAXXX0000000000}",
    ":20:STARTUMS",
    ":25:37040044/0532013000",
    ":28C:00012/003",
    ":60F:C240131EUR1000,00",
    ":61:2401310131C1234,56NTRFNONREF//B123",
    ":86:166?00TRANSFER?109310?20EREF+INV-1?21SVWZ+Invoice 1?22paid in full?30ABCDDEFFXXX?32Example Ltd",
    ":61:2312290102RD10,00NDDTREF1",    // reversal of a debit: money comes back
    ":86:105?00LASTSCHRIFT?20Rent January?21Flat 3?3037040044?31DE89370400440532013000?32Landlord?34992",
    ":61:240131DR25,00NMSCX",
    ":62F:D991231EUR5,5",
    "-",
    ":20:SECOND",
    ":25:DE89370400440532013000",
    ":28C:7",
    ":60M:C240201EUR0,00",
    ":62M:C240201EUR0,00",
    "-",
];
$file = tempnam(sys_get_temp_dir(), 'mt940');
file_put_contents($file, "\r\n" . implode("\r\n", $lines) . "\r\n");

$parser = new SEPAStatementParser();
var_dump($parser->getStatements());
var_dump($parser->load(SEPA_STMT_FORMAT_MT940, $file));
$statements = $parser->getStatements('ignored', 'arguments');
var_dump($statements);

// Key order of the first statement and its lines.
echo implode(",", array_keys($statements[0])), "\n";
foreach ($statements[0]['tx'] as $tx) {
    echo implode(",", array_keys($tx)), "\n";
}

// One parser, one load.
try {
    $parser->load(SEPA_STMT_FORMAT_MT940, $file);
} catch (SEPAException $e) {
    printf("%s (%d)\n", $e->getMessage(), $e->getCode());
}
// The records stay readable, and repeatable.
var_dump($parser->getStatements() === $statements);

$fresh = fn() => new SEPAStatementParser();
$empty = tempnam(sys_get_temp_dir(), 'mt940');
$none = tempnam(sys_get_temp_dir(), 'mt940');
file_put_contents($none, "no statement in here\r\n");
$attempts = [
    'format 4' => [4, $file],
    'camt format' => [SEPA_STMT_FORMAT_CAMT, $file],
    'format 0' => [0, $file],
    'missing file' => [SEPA_STMT_FORMAT_MT940, $file . '.missing'],
    'empty file' => [SEPA_STMT_FORMAT_MT940, $empty],
    'directory' => [SEPA_STMT_FORMAT_MT940, sys_get_temp_dir()],
];
foreach ($attempts as $case => [$format, $path]) {
    try {
        $fresh()->load($format, $path);
        echo "$case: loaded\n";
    } catch (SEPAException $e) {
        printf("%s: %s (%d)\n", $case, $e->getMessage(), $e->getCode());
    }
}
// A refused format does not use up the parser.
$p = $fresh();
try {
    $p->load(4, $file);
} catch (SEPAException $e) {
}
var_dump($p->load(SEPA_STMT_FORMAT_MT940, $file), count($p->getStatements()));

// A file without statements fails, and has none.
$p = $fresh();
try {
    $p->load(SEPA_STMT_FORMAT_MT940, $none);
} catch (SEPAException $e) {
    printf("%s (%d)\n", $e->getMessage(), $e->getCode());
}
var_dump($p->getStatements());

// Engine-level errors: a NUL byte in the file name, wrong argument kinds.
foreach ([fn() => $fresh()->load(1, "$file\0.txt"), fn() => $fresh()->load("MT940", $file),
          fn() => $fresh()->load(1), fn() => new SEPAStatementParser(1)] as $fn) {
    try {
        $fn();
    } catch (Throwable $e) {
        echo get_class($e), ": ", $e->getMessage(), "\n";
    }
}

// No cloning, no serialization.
try {
    clone $parser;
} catch (Error $e) {
    echo $e->getMessage(), "\n";
}
try {
    serialize($parser);
} catch (Exception $e) {
    echo $e->getMessage(), "\n";
}

// A subclass that skips the constructor has no parser.
class NoParser extends SEPAStatementParser {
    public function __construct() {}
}
$np = new NoParser();
var_dump($np->getStatements());
try {
    $np->load(SEPA_STMT_FORMAT_MT940, $file);
} catch (SEPAException $e) {
    printf("%s (%d)\n", $e->getMessage(), $e->getCode());
}
// Constructing again gives a fresh parser.
$parser->__construct();
var_dump($parser->getStatements(), $parser->load(SEPA_STMT_FORMAT_MT940, $file));

unlink($file);
unlink($empty);
unlink($none);
?>
--EXPECTF--
NULL
bool(true)
array(2) {
  [0]=>
  array(14) {
    ["ref"]=>
    string(8) "STARTUMS"
    ["account"]=>
    string(19) "37040044/0532013000"
    ["number"]=>
    int(12)
    ["page"]=>
    int(3)
    ["openSaldo"]=>
    float(1000)
    ["openCurrency"]=>
    string(3) "EUR"
    ["openDate"]=>
    string(10) "2024-01-31"
    ["closeSaldo"]=>
    float(-5.5)
    ["closeCurrency"]=>
    string(3) "EUR"
    ["closeDate"]=>
    string(10) "1999-12-31"
    ["tx"]=>
    array(3) {
      [0]=>
      array(18) {
        ["valuta"]=>
        string(10) "2024-01-31"
        ["booked"]=>
        string(10) "2024-01-31"
        ["amount"]=>
        float(1234.56)
        ["code"]=>
        string(3) "TRF"
        ["ref"]=>
        string(6) "NONREF"
        ["bankref"]=>
        string(4) "B123"
        ["gvc"]=>
        int(166)
        ["txtext"]=>
        string(8) "TRANSFER"
        ["primanota"]=>
        string(4) "9310"
        ["bank"]=>
        string(11) "ABCDDEFFXXX"
        ["account"]=>
        string(0) ""
        ["name"]=>
        string(11) "Example Ltd"
        ["eref"]=>
        string(5) "INV-1"
        ["svwz"]=>
        string(22) "Invoice 1 paid in full"
        ["amountCents"]=>
        int(123456)
        ["currency"]=>
        string(3) "EUR"
        ["reversal"]=>
        bool(false)
        ["endToEndId"]=>
        string(5) "INV-1"
      }
      [1]=>
      array(15) {
        ["valuta"]=>
        string(10) "2023-12-29"
        ["booked"]=>
        string(10) "2024-01-02"
        ["amount"]=>
        float(10)
        ["code"]=>
        string(3) "DDT"
        ["ref"]=>
        string(4) "REF1"
        ["gvc"]=>
        int(105)
        ["extcode"]=>
        int(992)
        ["txtext"]=>
        string(11) "LASTSCHRIFT"
        ["bank"]=>
        string(8) "37040044"
        ["account"]=>
        string(22) "DE89370400440532013000"
        ["name"]=>
        string(8) "Landlord"
        ["purpose"]=>
        string(19) "Rent January
Flat 3"
        ["amountCents"]=>
        int(1000)
        ["currency"]=>
        string(3) "EUR"
        ["reversal"]=>
        bool(true)
      }
      [2]=>
      array(11) {
        ["valuta"]=>
        string(10) "2024-01-31"
        ["amount"]=>
        float(-25)
        ["code"]=>
        string(3) "MSC"
        ["ref"]=>
        string(1) "X"
        ["gvc"]=>
        int(0)
        ["bank"]=>
        string(0) ""
        ["account"]=>
        string(0) ""
        ["name"]=>
        string(0) ""
        ["amountCents"]=>
        int(-2500)
        ["currency"]=>
        string(3) "EUR"
        ["reversal"]=>
        bool(false)
      }
    }
    ["openSaldoCents"]=>
    int(100000)
    ["closeSaldoCents"]=>
    int(-550)
    ["messageType"]=>
    string(5) "MT940"
  }
  [1]=>
  array(13) {
    ["ref"]=>
    string(6) "SECOND"
    ["account"]=>
    string(22) "DE89370400440532013000"
    ["number"]=>
    int(7)
    ["openSaldo"]=>
    float(0)
    ["openCurrency"]=>
    string(3) "EUR"
    ["openDate"]=>
    string(10) "2024-02-01"
    ["closeSaldo"]=>
    float(0)
    ["closeCurrency"]=>
    string(3) "EUR"
    ["closeDate"]=>
    string(10) "2024-02-01"
    ["tx"]=>
    array(0) {
    }
    ["openSaldoCents"]=>
    int(0)
    ["closeSaldoCents"]=>
    int(0)
    ["messageType"]=>
    string(5) "MT940"
  }
}
ref,account,number,page,openSaldo,openCurrency,openDate,closeSaldo,closeCurrency,closeDate,tx,openSaldoCents,closeSaldoCents,messageType
valuta,booked,amount,code,ref,bankref,gvc,txtext,primanota,bank,account,name,eref,svwz,amountCents,currency,reversal,endToEndId
valuta,booked,amount,code,ref,gvc,extcode,txtext,bank,account,name,purpose,amountCents,currency,reversal
valuta,amount,code,ref,gvc,bank,account,name,amountCents,currency,reversal
Parser already used (42)
bool(true)
format 4: invalid/unknown statement format (42)
camt format: Not a camt.052, camt.053 or camt.054 document, nor a ZIP archive of them (3)
format 0: invalid/unknown statement format (42)
missing file: Can't open input file: No such file or directory (3)
empty file: Input file is empty (3)
directory: %s (3)
bool(true)
int(2)
No MT940 statement in the file (3)
NULL
ValueError: SEPAStatementParser::load(): Argument #2 ($filename) must not contain any null bytes
TypeError: SEPAStatementParser::load(): Argument #1 ($format) must be of type int, string given
ArgumentCountError: SEPAStatementParser::load() expects exactly 2 arguments, 1 given
ArgumentCountError: SEPAStatementParser::__construct() expects exactly 0 arguments, 1 given
Trying to clone an uncloneable object of class SEPAStatementParser
Serialization of 'SEPAStatementParser' is not allowed
NULL
invalid sepa_stmt_parser_t handle (42)
NULL
bool(true)