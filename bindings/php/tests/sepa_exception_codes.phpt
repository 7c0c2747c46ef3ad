--TEST--
SEPAException: one code per class of failure, as class constants; boolean amounts refused
--EXTENSIONS--
SEPA
--FILE--
<?php
SEPA::init(SEPA_INIT_RULEBOOK, "DE-3.5");

foreach (['INVALID_VALUE', 'CANNOT_RENDER', 'FILE_ERROR', 'OUT_OF_MEMORY', 'USAGE'] as $name) {
    printf("%s = %d\n", $name, constant("SEPAException::$name"));
}

function code(string $case, callable $call) {
    try {
        $call();
        echo "$case: no exception\n";
    } catch (SEPAException $e) {
        $names = array_flip((new ReflectionClass('SEPAException'))->getConstants());
        printf("%s: %s (%s)\n", $case, $e->getMessage(), $names[$e->getCode()] ?? $e->getCode());
    }
}

$payee = ['name' => 'Payee', 'iban' => 'DE02120300000000202051'];
$ct = new SEPA(SEPA_MSGTYPE_CTI);
code('setter', fn() => $ct->setIBAN('DE00'));
code('setter NUL', fn() => $ct->setName("A\0B"));
code('add', fn() => $ct->add($payee + ['amount' => '12,50']));
code('add array', fn() => $ct->add($payee + ['amount' => [1]]));
// Booleans are no amounts, in any spelling of the key; numbers and numeric strings are.
code('add true', fn() => $ct->add($payee + ['amount' => true]));
code('add false', fn() => $ct->add($payee + ['Amount' => false]));
code('add int', fn() => $ct->add($payee + ['amount' => 5]));
code('add float', fn() => $ct->add($payee + ['amount' => 0.5]));
code('add string', fn() => $ct->add($payee + ['amount' => '7.25']));
code('render', fn() => (new SEPA(SEPA_MSGTYPE_DDI))->toXML());
code('type', fn() => new SEPA(9));

class Unborn extends SEPA {
    public function __construct() {}
}
code('unborn', fn() => (new Unborn())->setName('A'));

$parser = new SEPAStatementParser();
code('format', fn() => $parser->load(99, __FILE__));
code('missing file', fn() => $parser->load(SEPA_STMT_FORMAT_MT940, __DIR__ . '/no-such-file.sta'));
code('second load', fn() => $parser->load(SEPA_STMT_FORMAT_MT940, __DIR__ . '/no-such-file.sta'));
?>
--EXPECTF--
INVALID_VALUE = 1
CANNOT_RENDER = 2
FILE_ERROR = 3
OUT_OF_MEMORY = 4
USAGE = 42
setter: %s (INVALID_VALUE)
setter NUL: Invalid value (contains a NUL byte) (INVALID_VALUE)
add: Invalid amount '12,50' (digits, optionally a full stop and up to two decimals, e.g. 60.00) (INVALID_VALUE)
add array: Invalid value for 'amount' (arrays, objects and resources are not allowed) (INVALID_VALUE)
add true: Invalid value for 'amount' (true is not an amount) (INVALID_VALUE)
add false: Invalid value for 'Amount' (false is not an amount) (INVALID_VALUE)
add int: no exception
add float: no exception
add string: no exception
render: %s (CANNOT_RENDER)
type: invalid/unknown message type (USAGE)
unborn: Invalid sepa_t handle (NULL) (USAGE)
format: invalid/unknown statement format (USAGE)
missing file: Can't open input file: No such file or directory (FILE_ERROR)
second load: Parser already used (USAGE)
