package com.ovaro;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertFalse;
import static org.junit.jupiter.api.Assertions.assertNull;
import static org.junit.jupiter.api.Assertions.assertThrows;
import static org.junit.jupiter.api.Assertions.assertTrue;

import org.junit.jupiter.api.AfterAll;
import org.junit.jupiter.api.Test;
import org.junit.jupiter.api.function.Executable;
import org.junit.jupiter.params.ParameterizedTest;
import org.junit.jupiter.params.provider.Arguments;
import org.junit.jupiter.params.provider.CsvSource;
import org.junit.jupiter.params.provider.MethodSource;

import java.util.stream.Stream;

/** The static natives: rulebook, IBAN check and conversion, BIC of an IBAN, BIC lookups. */
class UtilityNativesTest {

    @AfterAll
    static void restoreRulebook() {
        TestData.rulebook("DE-3.5");
    }

    @Test
    void initSelectsKnownRulebooksAndRefusesTheRest() {
        for (String name : new String[] {"DE-2.6", "DE-2.7", "AT-6", "NL-6", "DE-2.8", "DE-2.9",
                "DE-3.0", "DE-3.1", "DE-3.5", "DE-3.7"}) {
            assertEquals(1, SEPA.init(SEPA.INIT_RULEBOOK, name), name);
        }
        assertEquals(0, SEPA.init(SEPA.INIT_RULEBOOK, "de-3.5"), "names are case-sensitive");
        assertEquals(0, SEPA.init(SEPA.INIT_RULEBOOK, "DE-9.9"));
        assertEquals(0, SEPA.init(4, "DE-3.5"), "unknown option");
        // A null value goes to the core, which refuses it: no exception.
        assertEquals(0, SEPA.init(SEPA.INIT_RULEBOOK, null));
    }

    @Test
    void ibanCheckAnswersTrueOnlyForValidIbans() {
        assertTrue(SEPA.IBAN_check(TestData.CREDITOR_IBAN));
        assertTrue(SEPA.IBAN_check(TestData.DEBTOR_IBAN_AT));
        assertTrue(SEPA.IBAN_check(TestData.DEBTOR_IBAN_FR));
        assertFalse(SEPA.IBAN_check(TestData.BAD_CHECKSUM_IBAN));
        assertFalse(SEPA.IBAN_check(""));
        assertFalse(SEPA.IBAN_check("DE89 3704 0044 0532 0130 00"));
        assertFalse(SEPA.IBAN_check("XX89370400440532013000"));
    }

    @Test
    void ibanInspectGivesReasonPartsMarksAndBank() {
        IbanInfo de = SEPA.IBAN_inspect("DE89370400440532013000");
        assertTrue(de.valid());
        assertEquals(IbanInfo.REASON_NONE, de.reason());
        assertNull(de.reasonText());
        assertEquals("DE", de.country());
        assertEquals("89", de.checkDigits());
        assertEquals("370400440532013000", de.bban());
        assertEquals("37040044", de.bankId());
        assertTrue(de.sepa());
        assertTrue(de.eea());
        assertTrue(de.bankFound());
        assertEquals(0x13, de.checkMethod());
        assertEquals("COBADEFFXXX", de.bankBic());

        IbanInfo gb = SEPA.IBAN_inspect("GB29NWBK60161331926819");
        assertEquals("NWBK", gb.bankId());
        assertEquals("601613", gb.branchId());
        assertTrue(gb.sepa());
        assertFalse(gb.eea());
        assertFalse(gb.bankFound());
        assertEquals(-1, gb.checkMethod());

        IbanInfo br = SEPA.IBAN_inspect("BR1800360305000010009795493C1");
        assertTrue(br.valid());
        assertFalse(br.sepa());
        assertFalse(SEPA.IBAN_check("BR1800360305000010009795493C1"), "valid, but not in SEPA");
        assertTrue(SEPA.IBAN_check("ME25505000012345678951"));

        Object[][] reasons = {
            {"US64SVBKUS6S3300958879", IbanInfo.REASON_COUNTRY, "Invalid or unknown IBAN country code"},
            {"GB29NWBK6016133192681", IbanInfo.REASON_LENGTH, "Wrong IBAN length"},
            {"gb29nwbk60161331926819", IbanInfo.REASON_FORMAT, "Invalid IBAN format"},
            {"GB29NWBK60161331926818", IbanInfo.REASON_CHECK_DIGITS, "Invalid IBAN checksum"},
            {"DE57000000000532013000", IbanInfo.REASON_BANK_CODE, "Invalid bank ID (BLZ) in IBAN"},
            {"DE55370400440532014000", IbanInfo.REASON_ACCOUNT, "Invalid account number in IBAN"},
        };
        for (Object[] c : reasons) {
            IbanInfo info = SEPA.IBAN_inspect((String) c[0]);
            assertFalse(info.valid(), (String) c[0]);
            assertEquals(c[1], info.reason(), (String) c[0]);
            assertEquals(c[2], info.reasonText(), (String) c[0]);
        }
        assertEquals("", SEPA.IBAN_inspect("XX").country(), "parts stay empty where the check stops");
    }

    @Test
    void ibanNormalizeAndFormatRoundTrip() {
        assertEquals("DE89370400440532013000", SEPA.IBAN_normalize("IBAN de89 3704 0044 0532 0130 00"));
        assertEquals("DE89 3704 0044 0532 0130 00", SEPA.IBAN_format("DE89370400440532013000"));
        assertEquals("NO93 8601 1117 947", SEPA.IBAN_format("no9386011117947"));
        assertEquals("NO9386011117947", SEPA.IBAN_normalize(SEPA.IBAN_format("NO9386011117947")));
        assertNull(SEPA.IBAN_normalize("DE89-3704"));
        assertNull(SEPA.IBAN_format(""));
        assertNull(SEPA.IBAN_normalize("DE89ä3704"));
    }

    @Test
    void ibanConvertFormsGermanIbansOnly() {
        assertEquals(TestData.CREDITOR_IBAN, SEPA.IBAN_convert("DE", "0532013000", "37040044"));
        assertEquals(TestData.CREDITOR_IBAN, SEPA.IBAN_convert("DE", "532013000", "37040044"), "leading zeros optional");
        assertNull(SEPA.IBAN_convert("AT", "0532013000", "37040044"), "other countries are not converted");
        assertNull(SEPA.IBAN_convert("DE", "0532013000", "3704004"), "bank code of 7 digits");
        assertNull(SEPA.IBAN_convert("DE", "", "37040044"), "empty account");
        assertNull(SEPA.IBAN_convert("DE", "12345678901", "37040044"), "account of 11 digits");
    }

    @Test
    void ibanGetBicFindsTheBankOfTheIban() {
        assertEquals("COBADEFFXXX", SEPA.IBAN_getBIC(TestData.CREDITOR_IBAN));
        assertNull(SEPA.IBAN_getBIC(TestData.DEBTOR_IBAN_FR), "country without directory");
        assertNull(SEPA.IBAN_getBIC("DE8937040044053201300"), "21 characters");
        assertNull(SEPA.IBAN_getBIC("de89370400440532013000"), "prefix compared exactly");
        assertEquals("", SEPA.IBAN_getBIC("DE00250502990000000000"), "bank without a BIC of its own");
    }

    @Test
    void bicLookupsReturnNameAndFlags() {
        assertEquals(TestData.KNOWN_BIC_NAME, SEPA.BIC_getBankName(TestData.KNOWN_BIC));
        assertEquals(TestData.KNOWN_BIC_NAME, SEPA.BIC_getBankName("vobadess"), "8 characters, any case");
        assertEquals(SEPA.SCL_SCT | SEPA.SCL_SDD | SEPA.SCL_B2B, SEPA.BIC_getBankFlags(TestData.KNOWN_BIC));
        assertEquals(11, SEPA.BIC_getBankFlags("VOBADESS"));
    }

    @ParameterizedTest
    @CsvSource({"VOBADESSXX", "VOBA-ESSXXX", "ZZZZZZZZZZZ", "''"})
    void unknownOrMalformedBicsGiveNullAndZero(String bic) {
        assertNull(SEPA.BIC_getBankName(bic));
        assertEquals(0, SEPA.BIC_getBankFlags(bic));
    }

    static Stream<Arguments> nullArguments() {
        return Stream.of(
                Arguments.of("country is NULL", (Executable) () -> SEPA.IBAN_convert(null, "1", "37040044")),
                Arguments.of("country is NULL", (Executable) () -> SEPA.IBAN_convert(null, null, null)),
                Arguments.of("account is NULL", (Executable) () -> SEPA.IBAN_convert("DE", null, "37040044")),
                Arguments.of("account is NULL", (Executable) () -> SEPA.IBAN_convert("AT", null, null)),
                Arguments.of("bankid is NULL", (Executable) () -> SEPA.IBAN_convert("DE", "1", null)),
                Arguments.of("iban is NULL", (Executable) () -> SEPA.IBAN_getBIC(null)),
                Arguments.of("iban is NULL", (Executable) () -> SEPA.IBAN_check(null)),
                Arguments.of("iban is NULL", (Executable) () -> SEPA.IBAN_inspect(null)),
                Arguments.of("iban is NULL", (Executable) () -> SEPA.IBAN_normalize(null)),
                Arguments.of("iban is NULL", (Executable) () -> SEPA.IBAN_format(null)),
                Arguments.of("bic is NULL", (Executable) () -> SEPA.BIC_getBankName(null)),
                Arguments.of("bic is NULL", (Executable) () -> SEPA.BIC_getBankFlags(null)));
    }

    @ParameterizedTest
    @MethodSource("nullArguments")
    void nullArgumentsThrowNullPointerExceptionWithTheirName(String text, Executable call) {
        NullPointerException e = assertThrows(NullPointerException.class, call);
        assertEquals(text, e.getMessage());
    }
}
