--TEST--
SEPAStatementParser::load honours open_basedir
--EXTENSIONS--
SEPA
--INI--
open_basedir={PWD}
--FILE--
<?php
$inside = __DIR__ . '/stmt_parser_open_basedir.sta';
file_put_contents($inside, "\r\n:20:REF\r\n:25:ACCOUNT\r\n-\r\n");
$outside = '/etc/passwd';

$parser = new SEPAStatementParser();
try {
    $parser->load(SEPA_STMT_FORMAT_MT940, $outside);
} catch (SEPAException $e) {
    printf("%s (%d)\n", $e->getMessage(), $e->getCode());
}
// The refusal happened before the library saw the file: the parser is still unused.
var_dump($parser->load(SEPA_STMT_FORMAT_MT940, $inside));
echo $parser->getStatements()[0]['account'], "\n";
?>
--CLEAN--
<?php
@unlink(__DIR__ . '/stmt_parser_open_basedir.sta');
?>
--EXPECTF--
Warning: SEPAStatementParser::load(): open_basedir restriction in effect. File(/etc/passwd) is not within the allowed path(s): (%s) in %s on line %d
Can't open input file: outside of open_basedir (3)
bool(true)
ACCOUNT
