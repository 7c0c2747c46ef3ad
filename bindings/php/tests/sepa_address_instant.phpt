--TEST--
SEPA setAddress and setInstant: structured addresses of the own party, SEPA Instant, refusals by rulebook
--EXTENSIONS--
SEPA
--FILE--
<?php
function attempt(callable $call) {
    try {
        var_dump($call());
    } catch (SEPAException $e) {
        printf("%s\n", $e->getMessage());
    }
}

SEPA::init(SEPA_INIT_RULEBOOK, "DE-3.5");
$ct = new SEPA(SEPA_MSGTYPE_CTI);
attempt(fn() => $ct->setAddress("addrTown", "Berlin"));
attempt(fn() => $ct->setAddress("addrLine1", "Hauptstr. 1"));
attempt(fn() => $ct->setInstant(true));

SEPA::init(SEPA_INIT_RULEBOOK, "DE-26.11");
$ct = new SEPA(SEPA_MSGTYPE_CTI);
$ct->setIBAN("DE89370400440532013000");
$ct->setBIC("COBADEFFXXX");
$ct->setName("Musterfirma GmbH");
$ct->setDate("2027-01-15");
attempt(fn() => $ct->setAddress("addrTwn", "Berlin"));
attempt(fn() => $ct->setAddress("addrTown", "Berlin\0X"));
attempt(fn() => $ct->setAddress("addrTown", "Berlin"));
attempt(fn() => $ct->setInstant(true));
attempt(fn() => $ct->add(["name" => "Partner AG", "iban" => "CH9300762011623852957", "amount" => "5.00",
                          "addrLine1" => "Bahnhofstrasse 1"]));
attempt(fn() => $ct->add(["name" => "Partner AG", "iban" => "CH9300762011623852957", "amount" => "5.00",
                          "addrStreet" => "Bahnhofstrasse", "addrTown" => "Zuerich", "addrCC" => "CH"]));
attempt(fn() => $ct->toXML());
$ct->setAddress("addrCC", "DE");
$xml = $ct->toXML();
echo preg_match('#<LclInstrm>\s*<Cd>INST</Cd>#', $xml), "\n";
echo preg_match('#<Dbtr>\s*<Nm>Musterfirma GmbH</Nm>\s*<PstlAdr>\s*<TwnNm>Berlin</TwnNm>\s*<Ctry>DE</Ctry>#', $xml), "\n";
echo preg_match('#<StrtNm>Bahnhofstrasse</StrtNm>\s*<TwnNm>Zuerich</TwnNm>\s*<Ctry>CH</Ctry>#', $xml), "\n";
attempt(fn() => $ct->setAddress("addrCC", null));

$dd = new SEPA(SEPA_MSGTYPE_DDI);
attempt(fn() => $dd->setInstant(true));
SEPA::init(SEPA_INIT_RULEBOOK, "DE-3.5");
?>
--EXPECT--
Structured address key 'addrTown' needs rulebook DE-3.7 or later (rulebook DE-3.5)
bool(true)
SEPA Instant needs rulebook DE-3.7 or later (pain.001.001.09)
Invalid address key 'addrTwn'
Invalid value (contains a NUL byte)
bool(true)
bool(true)
Address needs town name and country
bool(true)
Debtor address: Address needs town name and country
1
1
1
bool(true)
Not a credit transfer message
