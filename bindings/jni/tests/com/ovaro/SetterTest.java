package com.ovaro;

import static org.junit.jupiter.api.Assertions.assertDoesNotThrow;
import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertThrows;
import static org.junit.jupiter.api.Assertions.assertTrue;

import org.junit.jupiter.api.AfterAll;
import org.junit.jupiter.api.Test;
import org.junit.jupiter.params.ParameterizedTest;
import org.junit.jupiter.params.provider.CsvSource;

import java.util.Map;
import java.util.function.BiConsumer;

/** The public setters: refusals carry the library's text, null arguments their name. */
class SetterTest {

    @AfterAll
    static void restoreRulebook() {
        TestData.rulebook("DE-3.5");
    }

    static final Map<String, BiConsumer<SEPA, String>> SETTERS = Map.of(
            "setIBAN", SEPA::setIBAN,
            "setBIC", SEPA::setBIC,
            "setName", SEPA::setName,
            "setCreditorIdentifier", SEPA::setCreditorIdentifier,
            "setDate", SEPA::setDate,
            "setMessageId", SEPA::setMessageId);

    @ParameterizedTest
    @CsvSource({
        "setIBAN, DE00370400440532013000, Invalid IBAN checksum (DE00370400440532013000)",
        "setBIC, COBADEFFXXXX, sepa_setBIC: invalid BIC",
        "setBIC, COBADE-F, sepa_setBIC: invalid BIC format",
        "setName, '', sepa_setAccount: Name too short",
        "setName, 'Name ~ with tilde', sepa_setName: invalid character '~' in name",
        "setCreditorIdentifier, DE98ZZ, Creditor Identifier too short",
        "setCreditorIdentifier, DE99ZZZ09999999999, Invalid Creditor Identifier checksum",
        "setCreditorIdentifier, DE98ZZZ0999999999_, Invalid character in Creditor Identifier",
        "setDate, 2024-1-1, Invalid date",
        "setDate, 2024/01/01, Invalid date format",
        "setMessageId, with_underscore, Invalid message id",
        "setMessageId, '', Invalid message id",
    })
    void refusedValuesThrowTheLibrarysText(String setter, String value, String error) {
        TestData.rulebook("DE-3.5");
        try (SEPA dd = new SEPA(SEPA.MSGTYPE_DDI)) {
            SEPAException e = assertThrows(SEPAException.class, () -> SETTERS.get(setter).accept(dd, value));
            assertEquals(error, e.getMessage());
        }
    }

    @ParameterizedTest
    @CsvSource({"setIBAN, iban", "setBIC, bic", "setName, name", "setCreditorIdentifier, creditorIdentifier",
        "setDate, date", "setMessageId, msgid"})
    void nullArgumentsThrowNullPointerException(String setter, String argument) {
        try (SEPA ct = new SEPA(SEPA.MSGTYPE_CTI)) {
            NullPointerException e = assertThrows(NullPointerException.class, () -> SETTERS.get(setter).accept(ct, null));
            assertEquals(argument + " is NULL", e.getMessage());
        }
    }

    @Test
    void nameLimitsCountUtf8Bytes() {
        TestData.rulebook("DE-3.5");
        try (SEPA ct = new SEPA(SEPA.MSGTYPE_CTI)) {
            assertDoesNotThrow(() -> ct.setName("x".repeat(70)));
            assertEquals("sepa_setAccount: Name too long",
                    assertThrows(SEPAException.class, () -> ct.setName("x".repeat(71))).getMessage());
            // 69 letters and one umlaut are 71 bytes.
            assertEquals("sepa_setAccount: Name too long",
                    assertThrows(SEPAException.class, () -> ct.setName("x".repeat(69) + "ä")).getMessage());
        }
    }

    @Test
    void errorTextShowsTheWholeRefusedCharacter() {
        // Under DE-2.6 umlauts are refused, and the text shows the whole character.
        TestData.rulebook("DE-2.6");
        try (SEPA ct = new SEPA(SEPA.MSGTYPE_CTI)) {
            SEPAException e = assertThrows(SEPAException.class, () -> ct.setName("Müller"));
            assertEquals("sepa_setName: invalid character '\u00fc' in name", e.getMessage());
        }
    }

    @Test
    void argumentTextsComeBackUnchangedInErrorTexts() {
        // The IBAN error repeats the argument: an emoji (a surrogate pair), NUL and umlauts
        // must survive the trip through modified UTF-8 and back.
        TestData.rulebook("DE-3.5");
        for (String iban : new String[] {"DE89\uD83D\uDE00", "DE89\u0000X", "D\u00c4\u20ac"}) {
            try (SEPA ct = new SEPA(SEPA.MSGTYPE_CTI)) {
                SEPAException e = assertThrows(SEPAException.class, () -> ct.setIBAN(iban));
                assertTrue(e.getMessage().endsWith("(" + iban + ")"), e.getMessage());
            }
        }
    }

    @Test
    void directDebitTypeDependsOnRulebookAndMessageType() {
        TestData.rulebook("DE-3.5");
        try (SEPA dd = new SEPA(SEPA.MSGTYPE_DDI); SEPA ct = new SEPA(SEPA.MSGTYPE_CTI)) {
            assertEquals("COR1 is not allowed with selected SEPA rulebook",
                    assertThrows(SEPAException.class, () -> dd.setDDType(SEPA.DDTYPE_COR1)).getMessage());
            assertEquals("Unknown/unsupported LocalInstrumentCode (setDDType)",
                    assertThrows(SEPAException.class, () -> dd.setDDType(7)).getMessage());
            dd.setDDType(SEPA.DDTYPE_B2B).setDDType(SEPA.DDTYPE_CORE);
            TestData.rulebook("DE-2.9");
            dd.setDDType(SEPA.DDTYPE_COR1);
            for (int type : new int[] {SEPA.DDTYPE_CORE, SEPA.DDTYPE_COR1, SEPA.DDTYPE_B2B}) {
                assertEquals("Not a direct debit message",
                        assertThrows(SEPAException.class, () -> ct.setDDType(type)).getMessage());
            }
            ct.setBatchBooking(false).setBatchBooking(true);
        }
    }

    @Test
    void transliterationConvertsTextsPassedAfterIt() {
        TestData.rulebook("DE-3.5");
        try (SEPA ct = new SEPA(SEPA.MSGTYPE_CTI)) {
            Map<String, String> payee = Map.of("name", "Ren\u00e9 Dvo\u0159\u00e1k", "iban", TestData.DEBTOR_IBAN_NL,
                    "amount", "10.00");
            assertEquals("Invalid character '\u00e9' in creditor name",
                    assertThrows(SEPAException.class, () -> ct.add(payee)).getMessage());
            ct.setTransliteration(true).setName("\u0141ukasz M\u00fcller").setIBAN(TestData.CREDITOR_IBAN);
            ct.add(payee);
            String xml = ct.toXML();
            assertTrue(xml.contains("<Nm>Lukasz M\u00fcller</Nm>"), xml);
            assertTrue(xml.contains("<Nm>Rene Dvorak</Nm>"), xml);
        }
    }
}
