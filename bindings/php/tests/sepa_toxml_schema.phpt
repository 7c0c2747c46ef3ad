--TEST--
SEPA::toXML: documents of every rulebook validate against their pain.001 / pain.008 schema
--EXTENSIONS--
SEPA
dom
--SKIPIF--
<?php
$dir = getenv('SEPA_SCHEMA_DIR') ?: __DIR__ . '/../../../build/schemas';
if (!is_file("$dir/pain.001.001.03.xsd")) {
    die("skip schemas not found (set SEPA_SCHEMA_DIR, see scripts/extract-schemas.sh)");
}
?>
--FILE--
<?php
$dir = getenv('SEPA_SCHEMA_DIR') ?: __DIR__ . '/../../../build/schemas';
const RULEBOOKS = ["DE-2.6", "DE-2.7", "AT-6", "NL-6", "DE-2.8", "DE-2.9", "DE-3.0", "DE-3.1", "DE-3.5", "DE-3.7"];

function fill(SEPA $sepa, bool $debit): SEPA {
    $sepa->setIBAN('DE89370400440532013000');
    $sepa->setBIC('COBADEFFXXX');
    $sepa->setName('Initiating Party');
    $sepa->setMessageId('SCHEMA-TEST-1');
    $sepa->setDate('2025-03-03');
    if ($debit) {
        $sepa->setCreditorIdentifier('DE98ZZZ09999999999');
    }
    $base = ['name' => 'Counterparty', 'iban' => 'DE02120300000000202051', 'bic' => 'BYLADEM1001'];
    $txs = [
        ['amount' => 12.5, 'id' => 'E2E-1', 'ref' => 'Invoice 1'],
        ['amount' => '0.10', 'date' => '2025-03-01', 'addrCC' => 'DE', 'addrLine1' => 'Main Street 1'],
        ['amount' => 1500, 'ref' => 'Rent (March)'],
    ];
    $seqs = ['FRST', 'RCUR', 'OOFF'];
    foreach ($txs as $i => $tx) {
        $tx += $base;
        if ($debit) {
            $tx += ['seq' => $seqs[$i], 'mref' => "MANDATE-$i", 'mdate' => '2024-01-15'];
        } else {
            $tx += ['purp' => 'GDDS'];
        }
        $sepa->add($tx);
    }
    if ($debit) {
        // An amended mandate: new mandate reference and new debtor account.
        $sepa->add($base + ['amount' => 3, 'seq' => 'RCUR', 'mref' => 'MANDATE-9', 'mdate' => '2024-01-15',
                            'old_mref' => 'MANDATE-8', 'old_iban' => 'DE89370400440532013000']);
    }
    return $sepa;
}

libxml_use_internal_errors(true);
foreach (RULEBOOKS as $rulebook) {
    SEPA::init(SEPA_INIT_RULEBOOK, $rulebook);
    foreach ([SEPA_MSGTYPE_CTI => false, SEPA_MSGTYPE_DDI => true] as $type => $debit) {
        $doc = new DOMDocument();
        $doc->loadXML(fill(new SEPA($type), $debit)->toXML(), LIBXML_NONET);
        $schema = substr($doc->documentElement->namespaceURI, strlen('urn:iso:std:iso:20022:tech:xsd:'));
        $valid = $doc->schemaValidate("$dir/$schema.xsd");
        printf("%-6s %s %s\n", $rulebook, $schema, $valid ? "valid" : "INVALID");
        foreach (libxml_get_errors() as $error) {
            printf("  line %d: %s\n", $error->line, trim($error->message));
        }
        libxml_clear_errors();
    }
}
?>
--EXPECT--
DE-2.6 pain.001.002.03 valid
DE-2.6 pain.008.002.02 valid
DE-2.7 pain.001.003.03 valid
DE-2.7 pain.008.003.02 valid
AT-6   pain.001.001.03 valid
AT-6   pain.008.001.02 valid
NL-6   pain.001.001.03 valid
NL-6   pain.008.001.02 valid
DE-2.8 pain.001.003.03 valid
DE-2.8 pain.008.003.02 valid
DE-2.9 pain.001.003.03 valid
DE-2.9 pain.008.003.02 valid
DE-3.0 pain.001.001.03 valid
DE-3.0 pain.008.001.02 valid
DE-3.1 pain.001.001.03 valid
DE-3.1 pain.008.001.02 valid
DE-3.5 pain.001.001.03 valid
DE-3.5 pain.008.001.02 valid
DE-3.7 pain.001.001.09 valid
DE-3.7 pain.008.001.08 valid
