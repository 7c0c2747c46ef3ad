package com.ovaro;

import static org.junit.jupiter.api.Assertions.assertDoesNotThrow;
import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertNotEquals;
import static org.junit.jupiter.api.Assertions.assertThrows;
import static org.junit.jupiter.api.Assertions.assertTrue;

import org.junit.jupiter.api.AfterEach;
import org.junit.jupiter.api.BeforeEach;
import org.junit.jupiter.api.Test;
import org.junit.jupiter.params.ParameterizedTest;
import org.junit.jupiter.params.provider.Arguments;
import org.junit.jupiter.params.provider.MethodSource;

import java.util.function.BiConsumer;
import java.util.stream.Stream;

/** The message natives called directly with handles, as the bridge defines them. */
class MessageNativesTest {
    private long handle;

    @BeforeEach
    void newDirectDebit() {
        TestData.rulebook("DE-3.5");
        handle = SEPA._new(SEPA.MSGTYPE_DDI);
        assertNotEquals(0L, handle);
    }

    @AfterEach
    void free() {
        SEPA._free(handle);
    }

    private void fillCreditor() {
        SEPA._setIBAN(handle, TestData.CREDITOR_IBAN);
        SEPA._setBIC(handle, TestData.CREDITOR_BIC);
        SEPA._setName(handle, "Creditor");
        SEPA._setCreditorIdentifier(handle, TestData.CREDITOR_ID);
    }

    private static String[][] collection() {
        return new String[][] {{"name", "Debtor"}, {"iban", TestData.DEBTOR_IBAN_AT}, {"amount", "1.50"},
            {"seq", "OOFF"}, {"mref", "M1"}, {"mdate", "2024-01-31"}};
    }

    @Test
    void everyNativeSucceedsOnValidInput() {
        fillCreditor();
        SEPA._setDate(handle, "2030-01-15");
        SEPA._setDDType(handle, SEPA.DDTYPE_B2B);
        SEPA._setBatchBooking(handle, false);
        SEPA._setMessageId(handle, "MSG-0001");
        SEPA._add(handle, collection());
        String xml = SEPA._toXML(handle);
        assertTrue(xml.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"), xml);
        assertTrue(xml.contains("<MsgId>MSG-0001</MsgId>"), xml);
        assertTrue(xml.contains("<Cd>B2B</Cd>"), xml);
        assertTrue(xml.contains("<BtchBookg>false</BtchBookg>"), xml);
        assertTrue(xml.contains("2030-01-15"), xml);
        assertTrue(xml.contains(TestData.DEBTOR_IBAN_AT), xml);
        assertTrue(xml.endsWith("</Document>\n"), xml);
    }

    @Test
    void newWithUnknownTypeThrows() {
        for (int type : new int[] {0, 3, -1}) {
            SEPAException e = assertThrows(SEPAException.class, () -> SEPA._new(type));
            assertEquals("Invalid message type or out of memory", e.getMessage());
        }
    }

    @Test
    void handleZeroIsReportedAsInvalidHandle() {
        String text = "Invalid sepa_t handle (NULL)";
        assertEquals(text, assertThrows(SEPAException.class, () -> SEPA._toXML(0)).getMessage());
        assertEquals(text, assertThrows(SEPAException.class, () -> SEPA._setIBAN(0, TestData.CREDITOR_IBAN)).getMessage());
        assertEquals(text, assertThrows(SEPAException.class, () -> SEPA._setDDType(0, 0)).getMessage());
        assertEquals(text, assertThrows(SEPAException.class, () -> SEPA._setBatchBooking(0, true)).getMessage());
        assertEquals(text, assertThrows(SEPAException.class, () -> SEPA._add(0, collection())).getMessage());
        assertDoesNotThrow(() -> SEPA._free(0));
    }

    static Stream<Arguments> nullSetterArguments() {
        return Stream.of(
                Arguments.of("iban is NULL", (BiConsumer<Long, String>) SEPA::_setIBAN),
                Arguments.of("bic is NULL", (BiConsumer<Long, String>) SEPA::_setBIC),
                Arguments.of("name is NULL", (BiConsumer<Long, String>) SEPA::_setName),
                Arguments.of("creditorIdentifier is NULL", (BiConsumer<Long, String>) SEPA::_setCreditorIdentifier),
                Arguments.of("date is NULL", (BiConsumer<Long, String>) SEPA::_setDate),
                Arguments.of("msgid is NULL", (BiConsumer<Long, String>) SEPA::_setMessageId));
    }

    @ParameterizedTest
    @MethodSource("nullSetterArguments")
    void nullSetterArgumentsThrowBeforeTheCore(String text, BiConsumer<Long, String> setter) {
        assertEquals(text, assertThrows(NullPointerException.class, () -> setter.accept(handle, null)).getMessage());
        // Also with handle 0: the null check comes first.
        assertEquals(text, assertThrows(NullPointerException.class, () -> setter.accept(0L, null)).getMessage());
    }

    @Test
    void refusedIbanKeepsThePreviousOne() {
        fillCreditor();
        SEPAException e = assertThrows(SEPAException.class, () -> SEPA._setIBAN(handle, TestData.BAD_CHECKSUM_IBAN));
        assertTrue(e.getMessage().startsWith("Invalid IBAN checksum"), e.getMessage());
        assertTrue(e.getMessage().endsWith(" (" + TestData.BAD_CHECKSUM_IBAN + ")"), e.getMessage());
        SEPA._add(handle, collection());
        String xml = SEPA._toXML(handle);
        assertTrue(xml.contains("<IBAN>" + TestData.CREDITOR_IBAN + "</IBAN>"), xml);
        assertTrue(!xml.contains(TestData.BAD_CHECKSUM_IBAN), xml);
    }

    /** The message has creditor data but no transaction: rendering tells whether an add got through. */
    private void assertNoTransaction() {
        SEPAException e = assertThrows(SEPAException.class, () -> SEPA._toXML(handle));
        assertEquals("No transactions available", e.getMessage());
    }

    @Test
    void addRejectsRowsOfWrongLengthAndAddsNothing() {
        fillCreditor();
        String[][][] wrong = {
            {{"name", "Debtor", "extra"}},
            {{"name"}},
            {{}},
            {{"name", "Debtor"}, {"iban", TestData.DEBTOR_IBAN_AT, "x"}, {"amount", "1"}},
        };
        for (String[][] pairs : wrong) {
            SEPAException e = assertThrows(SEPAException.class, () -> SEPA._add(handle, pairs));
            assertEquals("Invalid array dimensions", e.getMessage());
        }
        assertNoTransaction();
    }

    @Test
    void addRejectsNullRowsKeysAndValuesAndAddsNothing() {
        fillCreditor();
        String[][] complete = collection();
        Object[][] cases = {
            {"key-value pair is NULL", 0, null},
            {"key-value pair is NULL", 3, null},
            {"key is NULL", 2, new String[] {null, "1.50"}},
            {"value is NULL", 1, new String[] {"iban", null}},
            {"key is NULL", 5, new String[] {null, null}},
        };
        for (Object[] c : cases) {
            String[][] pairs = complete.clone();
            pairs[(Integer) c[1]] = (String[]) c[2];
            NullPointerException e = assertThrows(NullPointerException.class, () -> SEPA._add(handle, pairs));
            assertEquals(c[0], e.getMessage());
        }
        assertNoTransaction();
    }

    @Test
    void addWithNullArrayReturnsQuietly() {
        fillCreditor();
        assertDoesNotThrow(() -> SEPA._add(handle, null));
        assertNoTransaction();
    }

    @Test
    void addReportsTheCoreReason() {
        fillCreditor();
        assertEquals("IBAN missing", assertThrows(SEPAException.class, () -> SEPA._add(handle, new String[0][])).getMessage());
        String[][] badAmount = collection();
        badAmount[2] = new String[] {"amount", "12,50"};
        assertEquals("Invalid amount '12,50' (digits, optionally a full stop and up to two decimals, e.g. 60.00)",
                assertThrows(SEPAException.class, () -> SEPA._add(handle, badAmount)).getMessage());
        String[][] unknownKey = {{"purp", "SALA"}};
        assertEquals("Invalid transaction property 'purp'",
                assertThrows(SEPAException.class, () -> SEPA._add(handle, unknownKey)).getMessage());
        assertNoTransaction();
    }

    @Test
    void manyPairsInOneAdd() {
        fillCreditor();
        // A key given many times counts with its last value; the bridge must hold every row.
        String[][] pairs = new String[2001][];
        for (int i = 0; i < 2000; ++i) pairs[i] = new String[] {"ref", "Reference " + i};
        pairs[2000] = new String[] {"seq", "FRST"};
        String[][] all = Stream.concat(Stream.of(collection()), Stream.of(pairs)).toArray(String[][]::new);
        SEPA._add(handle, all);
        String xml = SEPA._toXML(handle);
        assertTrue(xml.contains("<Ustrd>Reference 1999</Ustrd>"), xml);
        assertTrue(xml.contains("<SeqTp>FRST</SeqTp>"), xml);
    }
}
