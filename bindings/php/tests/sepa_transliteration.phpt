--TEST--
SEPA::setTransliteration: names, addresses and remittance texts converted to the SEPA set
--EXTENSIONS--
SEPA
--FILE--
<?php
SEPA::init(SEPA_INIT_RULEBOOK, "DE-3.5");
$ct = new SEPA(SEPA_MSGTYPE_CTI);
$payee = ['iban' => 'DE02120300000000202051', 'amount' => '10.00'];
try {
    $ct->add($payee + ['name' => 'René Dvořák']);
} catch (SEPAException $e) {
    echo $e->getMessage(), "\n";
}
var_dump($ct->setTransliteration(true));
var_dump($ct->setName('Łukasz Müller'));
var_dump($ct->add($payee + ['name' => 'René Dvořák', 'addrLine1' => 'Søndergade 1', 'ref' => 'Façade']));
try {
    $ct->add($payee + ['name' => 'Иван']);
} catch (SEPAException $e) {
    echo $e->getMessage(), "\n";
}
$ct->setIBAN('DE89370400440532013000');
$xml = $ct->toXML();
preg_match_all('~<(Nm|AdrLine|Ustrd)>([^<]*)<~', $xml, $m, PREG_SET_ORDER);
foreach ($m as [, $element, $value]) {
    echo "$element: $value\n";
}
?>
--EXPECT--
Invalid character 'é' in creditor name
bool(true)
bool(true)
bool(true)
Invalid character 'И' in creditor name
Nm: Lukasz Müller
Nm: Lukasz Müller
Nm: Rene Dvorak
AdrLine: Sondergade 1
Ustrd: Facade
