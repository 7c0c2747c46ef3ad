package com.ovaro;

import static org.junit.jupiter.api.Assertions.assertDoesNotThrow;
import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertFalse;
import static org.junit.jupiter.api.Assertions.assertThrows;
import static org.junit.jupiter.api.Assertions.assertTrue;

import org.junit.jupiter.api.Test;
import org.junit.jupiter.api.function.Executable;

import java.util.List;
import java.util.Map;

/** Creation, try-with-resources, double close and use after close. */
class LifecycleTest {

    @Test
    void constructorTakesBothMessageTypesOnly() {
        try (SEPA dd = new SEPA(SEPA.MSGTYPE_DDI); SEPA ct = new SEPA(SEPA.MSGTYPE_CTI)) {
            assertEquals(SEPA.MSGTYPE_DDI, dd.getType());
            assertEquals(SEPA.MSGTYPE_CTI, ct.getType());
            assertFalse(dd.isClosed());
        }
        SEPAException e = assertThrows(SEPAException.class, () -> new SEPA(3));
        assertEquals("Invalid message type or out of memory", e.getMessage());
    }

    @Test
    void tryWithResourcesClosesTheMessage() {
        SEPA kept;
        try (SEPA ct = TestData.creditTransfer()) {
            kept = ct;
            ct.add(TestData.payment(TestData.DEBTOR_IBAN_AT, "5", null));
            assertTrue(ct.toXML().contains("<NbOfTxs>1</NbOfTxs>"));
        }
        assertTrue(kept.isClosed());
    }

    @Test
    void tryWithResourcesClosesAfterAnException() {
        SEPA[] kept = new SEPA[1];
        assertThrows(SEPAException.class, () -> {
            try (SEPA dd = TestData.directDebit()) {
                kept[0] = dd;
                dd.toXML();  // no transactions
            }
        });
        assertTrue(kept[0].isClosed());
    }

    @Test
    void closingTwiceIsHarmless() {
        SEPA dd = new SEPA(SEPA.MSGTYPE_DDI);
        dd.close();
        assertDoesNotThrow(dd::close);
        assertTrue(dd.isClosed());
    }

    @Test
    void everyMethodOfAClosedMessageThrows() {
        SEPA dd = TestData.directDebit();
        dd.close();
        List<Executable> calls = List.of(
                () -> dd.setIBAN(TestData.CREDITOR_IBAN),
                () -> dd.setBIC(TestData.CREDITOR_BIC),
                () -> dd.setName("Name"),
                () -> dd.setCreditorIdentifier(TestData.CREDITOR_ID),
                () -> dd.setDate("2030-01-01"),
                () -> dd.setDDType(SEPA.DDTYPE_CORE),
                () -> dd.setBatchBooking(false),
                () -> dd.setMessageId("ID"),
                () -> dd.add(TestData.collection(TestData.DEBTOR_IBAN_AT, "1", "OOFF")),
                () -> dd.add(new String[][] {{"name", "x"}}),
                () -> dd.add((String[][]) null),
                () -> dd.add((Map<String, String>) null),
                dd::toXML);
        for (Executable call : calls) {
            IllegalStateException e = assertThrows(IllegalStateException.class, call);
            assertEquals("SEPA message is closed", e.getMessage());
        }
    }

    @Test
    void aRefusedValueLeavesTheMessageUsable() {
        try (SEPA dd = TestData.directDebit()) {
            assertThrows(SEPAException.class, () -> dd.setBIC("NOT A BIC"));
            assertThrows(SEPAException.class, () -> dd.add(Map.of("iban", "DE00")));
            dd.add(TestData.collection(TestData.DEBTOR_IBAN_AT, "1", "OOFF"));
            String xml = dd.toXML();
            assertTrue(xml.contains(TestData.CREDITOR_BIC + "</BIC"), xml);  // BIC or BICFI by rulebook
            assertTrue(xml.contains("<NbOfTxs>1</NbOfTxs>"), xml);
        }
    }

    @Test
    void forgottenMessagesAreFreedByTheCollector() throws InterruptedException {
        java.lang.ref.WeakReference<SEPA> forgotten = new java.lang.ref.WeakReference<>(TestData.directDebit());
        for (int i = 0; i < 500; ++i) {
            SEPA ct = TestData.creditTransfer();
            if (i % 2 == 0) ct.close();  // some closed by hand, the rest left to the cleaner
        }
        for (int i = 0; i < 50 && forgotten.get() != null; ++i) {
            System.gc();
            Thread.sleep(20);
        }
        assertTrue(forgotten.get() == null, "message not collected");
    }

    @Test
    void settersChain() {
        try (SEPA ct = new SEPA(SEPA.MSGTYPE_CTI)) {
            assertTrue(ct == ct.setIBAN(TestData.CREDITOR_IBAN).setBIC("cobadeff").setName("N")
                    .setDate("2030-01-01").setMessageId("M").setBatchBooking(false).setCreditorIdentifier(TestData.CREDITOR_ID));
        }
    }
}
