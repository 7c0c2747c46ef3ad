--TEST--
SEPA: construction, type errors (code 42), no cloning, no serialization, missing message
--EXTENSIONS--
SEPA
--FILE--
<?php
foreach ([SEPA_MSGTYPE_DDI, SEPA_MSGTYPE_CTI] as $type) {
    var_dump(get_class(new SEPA($type)));
}

// Unknown message types: SEPAException with code 42.
foreach ([0, 3, -1, PHP_INT_MAX, 4294967297] as $type) {
    try {
        new SEPA($type);
        echo "$type: accepted\n";
    } catch (SEPAException $e) {
        printf("%s: %s (%d)\n", $type, $e->getMessage(), $e->getCode());
    }
}
var_dump(new SEPAException("x") instanceof Exception);

// Arguments of the wrong kind are the engine's own errors.
foreach (['fn' => fn() => new SEPA("debit"), 'none' => fn() => new SEPA(), 'array' => fn() => new SEPA([])] as $case => $fn) {
    try {
        $fn();
    } catch (Throwable $e) {
        printf("%s: %s: %s\n", $case, get_class($e), $e->getMessage());
    }
}
// A numeric string is an integer in coercive mode.
var_dump(get_class(new SEPA("2")));

$sepa = new SEPA(SEPA_MSGTYPE_CTI);
try {
    $copy = clone $sepa;
} catch (Error $e) {
    echo get_class($e), ": ", $e->getMessage(), "\n";
}
try {
    serialize($sepa);
} catch (Exception $e) {
    echo get_class($e), ": ", $e->getMessage(), "\n";
}

// A subclass that skips the parent constructor holds no message: every method that
// needs one says so.
class Unborn extends SEPA {
    public function __construct() {}
}
$unborn = new Unborn();
$calls = [
    'setIBAN' => ['DE89370400440532013000'], 'setBIC' => ['COBADEFFXXX'], 'setName' => ['A'],
    'setCreditorIdentifier' => ['DE98ZZZ09999999999'], 'setDate' => ['2025-01-01'],
    'setDDType' => [SEPA_DDTYPE_CORE], 'setBatchBooking' => [true], 'setMessageId' => ['M1'],
    'add' => [['amount' => '1']], 'toXML' => [],
];
foreach ($calls as $method => $args) {
    try {
        $unborn->$method(...$args);
        echo "$method: no exception\n";
    } catch (SEPAException $e) {
        printf("%s: %s (%d)\n", $method, $e->getMessage(), $e->getCode());
    }
}

// Calling the constructor again replaces the message; an invalid type leaves it.
$again = new SEPA(SEPA_MSGTYPE_DDI);
$again->__construct(SEPA_MSGTYPE_CTI);
try {
    $again->__construct(7);
} catch (SEPAException $e) {
    echo $e->getMessage(), "\n";
}
var_dump($again->setName("Still usable"));
?>
--EXPECT--
string(4) "SEPA"
string(4) "SEPA"
0: invalid/unknown message type (42)
3: invalid/unknown message type (42)
-1: invalid/unknown message type (42)
9223372036854775807: invalid/unknown message type (42)
4294967297: invalid/unknown message type (42)
bool(true)
fn: TypeError: SEPA::__construct(): Argument #1 ($type) must be of type int, string given
none: ArgumentCountError: SEPA::__construct() expects exactly 1 argument, 0 given
array: TypeError: SEPA::__construct(): Argument #1 ($type) must be of type int, array given
string(4) "SEPA"
Error: Trying to clone an uncloneable object of class SEPA
Exception: Serialization of 'SEPA' is not allowed
setIBAN: Invalid sepa_t handle (NULL) (42)
setBIC: Invalid sepa_t handle (NULL) (42)
setName: Invalid sepa_t handle (NULL) (42)
setCreditorIdentifier: Invalid sepa_t handle (NULL) (42)
setDate: Invalid sepa_t handle (NULL) (42)
setDDType: Invalid sepa_t handle (NULL) (42)
setBatchBooking: Invalid sepa_t handle (NULL) (42)
setMessageId: Invalid sepa_t handle (NULL) (42)
add: Invalid sepa_t handle (NULL) (42)
toXML: Invalid sepa_t handle (NULL) (42)
invalid/unknown message type
bool(true)
