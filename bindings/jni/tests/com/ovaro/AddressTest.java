package com.ovaro;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertThrows;
import static org.junit.jupiter.api.Assertions.assertTrue;

import org.junit.jupiter.api.AfterAll;
import org.junit.jupiter.api.Test;

import java.util.Map;

/** setAddress and setInstant: the own party's structured address and SEPA Instant. */
class AddressTest {

    @AfterAll
    static void restoreRulebook() {
        TestData.rulebook("DE-3.5");
    }

    @Test
    void structuredAddressesAndInstantUnderTheCurrentRulebook() {
        TestData.rulebook("DE-26.11");
        try (SEPA ct = new SEPA(SEPA.MSGTYPE_CTI)) {
            ct.setIBAN("DE89370400440532013000").setBIC("COBADEFFXXX").setName("Musterfirma GmbH")
              .setAddress("addrStreet", "Hauptstrasse").setAddress("addrTown", "Berlin").setAddress("addrCC", "DE")
              .setInstant(true);
            ct.add(Map.of("name", "Partner AG", "iban", "CH9300762011623852957", "amount", "5.00",
                          "addrTown", "Zuerich", "addrCC", "CH"));
            String xml = ct.toXML();
            assertTrue(xml.contains("<Cd>INST</Cd>"), xml);
            assertTrue(xml.contains("<StrtNm>Hauptstrasse</StrtNm>"), xml);
            assertTrue(xml.contains("<TwnNm>Zuerich</TwnNm>"), xml);
            SEPAException e = assertThrows(SEPAException.class,
                    () -> ct.add(Map.of("name", "X", "iban", "CH9300762011623852957", "amount", "1",
                                        "addrLine1", "Bahnhofstrasse 1")));
            assertEquals("Address needs town name and country", e.getMessage());
            ct.setAddress("addrTown", null);
            e = assertThrows(SEPAException.class, ct::toXML);
            assertEquals("Debtor address: Address needs town name and country", e.getMessage());
            assertThrows(NullPointerException.class, () -> ct.setAddress(null, "Berlin"));
        }
    }

    @Test
    void olderRulebooksAndDirectDebitsRefuse() {
        TestData.rulebook("DE-3.5");
        try (SEPA ct = new SEPA(SEPA.MSGTYPE_CTI); SEPA dd = new SEPA(SEPA.MSGTYPE_DDI)) {
            SEPAException e = assertThrows(SEPAException.class, () -> ct.setAddress("addrTown", "Berlin"));
            assertEquals("Structured address key 'addrTown' needs rulebook DE-3.7 or later (rulebook DE-3.5)",
                         e.getMessage());
            e = assertThrows(SEPAException.class, () -> ct.setInstant(true));
            assertEquals("SEPA Instant needs rulebook DE-3.7 or later (pain.001.001.09)", e.getMessage());
            e = assertThrows(SEPAException.class, () -> dd.setInstant(true));
            assertEquals("Not a credit transfer message", e.getMessage());
        }
    }
}
