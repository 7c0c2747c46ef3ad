package com.ovaro;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertTrue;

import org.junit.jupiter.api.AfterAll;
import org.junit.jupiter.api.Assumptions;
import org.junit.jupiter.params.ParameterizedTest;
import org.junit.jupiter.params.provider.CsvSource;

import java.io.StringReader;
import java.nio.file.Files;
import java.nio.file.Path;
import java.util.regex.Matcher;
import java.util.regex.Pattern;
import javax.xml.XMLConstants;
import javax.xml.transform.stream.StreamSource;
import javax.xml.validation.SchemaFactory;

/** Whole direct debits and credit transfers built from Java, rendered and checked against the schemas. */
class DocumentTest {

    @AfterAll
    static void restoreRulebook() {
        TestData.rulebook("DE-3.5");
    }

    /**
     * Validates the document against its schema from SEPA_SCHEMA_DIR (filled by
     * scripts/extract-schemas.sh); skips when the schema is not there.
     */
    static void assertSchemaValid(String xml, String schema) throws Exception {
        String dir = System.getenv("SEPA_SCHEMA_DIR");
        Path xsd = dir == null ? null : Path.of(dir, schema + ".xsd");
        Assumptions.assumeTrue(xsd != null && Files.isRegularFile(xsd), "schema " + schema + " not available");
        SchemaFactory factory = SchemaFactory.newInstance(XMLConstants.W3C_XML_SCHEMA_NS_URI);
        factory.newSchema(xsd.toFile()).newValidator().validate(new StreamSource(new StringReader(xml)));
    }

    static String element(String xml, String name) {
        Matcher m = Pattern.compile("<" + name + ">([^<]*)</" + name + ">").matcher(xml);
        assertTrue(m.find(), name + " in " + xml);
        return m.group(1);
    }

    static int count(String xml, String text) {
        int n = 0;
        for (int i = xml.indexOf(text); i >= 0; i = xml.indexOf(text, i + 1)) ++n;
        return n;
    }

    @ParameterizedTest
    @CsvSource({"DE-2.7, pain.008.003.02", "DE-3.5, pain.008.001.02", "DE-3.7, pain.008.001.08"})
    void directDebitRendersAsPain008(String rulebook, String schema) throws Exception {
        TestData.rulebook(rulebook);
        String xml;
        try (SEPA dd = TestData.directDebit()) {
            dd.setDate("2030-03-01");
            dd.add(TestData.collection(TestData.DEBTOR_IBAN_AT, "10.00", "FRST"));
            dd.add(TestData.collection(TestData.DEBTOR_IBAN_FR, "20.5", "RCUR"));
            dd.add(TestData.collection(TestData.DEBTOR_IBAN_NL, "0.11", "FRST"));
            xml = dd.toXML();
            assertEquals(xml, dd.toXML(), "a second rendering repeats date and message id");
        }
        assertTrue(xml.contains("xmlns=\"urn:iso:std:iso:20022:tech:xsd:" + schema + "\""), xml);
        assertTrue(xml.contains("<CstmrDrctDbtInitn>"), xml);
        assertEquals("3", element(xml, "NbOfTxs"));
        assertEquals("30.61", element(xml, "CtrlSum"));
        assertEquals(2, count(xml, "<PmtInf>"), "FRST and RCUR groups");
        assertTrue(xml.contains("<Nm>Creditor &amp; Co</Nm>"), xml);
        assertTrue(xml.contains("<InstdAmt Ccy=\"EUR\">0.11</InstdAmt>"), xml);
        assertTrue(xml.contains("<Id>" + TestData.CREDITOR_ID + "</Id>"), xml);
        assertSchemaValid(xml, schema);
    }

    @ParameterizedTest
    @CsvSource({"DE-2.6, pain.001.002.03", "DE-3.5, pain.001.001.03", "DE-3.7, pain.001.001.09"})
    void creditTransferRendersAsPain001(String rulebook, String schema) throws Exception {
        TestData.rulebook(rulebook);
        String xml;
        try (SEPA ct = TestData.creditTransfer()) {
            ct.setMessageId("CT-2030-0001").setBatchBooking(true);
            ct.add(TestData.payment(TestData.DEBTOR_IBAN_AT, "BKAUATWW", "100", "2030-03-01").entrySet().stream()
                    .map(e -> new String[] {e.getKey(), e.getValue()}).toArray(String[][]::new));
            String[][] second = {{"name", "Second Creditor"}, {"iban", TestData.DEBTOR_IBAN_NL},
                {"bic", "abnanl2a"}, {"amount", "0.1"}, {"date", "2030-01-15"}, {"purp", "SALA"}};
            ct.add(second);
            if (rulebook.equals("DE-2.6")) {
                // DE-2.6 requires a BIC in every transaction.
                SEPAException e = org.junit.jupiter.api.Assertions.assertThrows(SEPAException.class,
                        () -> ct.add(TestData.payment(TestData.DEBTOR_IBAN_FR, "1", null)));
                assertEquals("BIC missing", e.getMessage());
            }
            xml = ct.toXML();
        }
        assertTrue(xml.contains("xmlns=\"urn:iso:std:iso:20022:tech:xsd:" + schema + "\""), xml);
        assertTrue(xml.contains("<CstmrCdtTrfInitn>"), xml);
        assertEquals("CT-2030-0001", element(xml, "MsgId"));
        assertEquals("2", element(xml, "NbOfTxs"));
        assertEquals("100.10", element(xml, "CtrlSum"));
        assertEquals(2, count(xml, "<PmtInf>"), "one group per execution date");
        assertTrue(xml.indexOf("2030-01-15") < xml.indexOf("2030-03-01"), "groups in date order");
        assertTrue(xml.contains("<Nm>Smith + Sons (Ltd)</Nm>"), xml);
        assertTrue(xml.contains("ABNANL2A"), "BIC upper-cased");
        assertSchemaValid(xml, schema);
    }

    @ParameterizedTest
    @CsvSource({"'', Missing creditor IBAN", "iban, Missing creditor BIC", "iban bic, Missing creditor name",
        "iban bic name, Missing creditor identifier", "iban bic name cid, No transactions available"})
    void directDebitNamesWhatIsMissing(String given, String error) {
        TestData.rulebook("DE-3.5");
        try (SEPA dd = new SEPA(SEPA.MSGTYPE_DDI)) {
            if (given.contains("iban")) dd.setIBAN(TestData.CREDITOR_IBAN);
            if (given.contains("bic")) dd.setBIC(TestData.CREDITOR_BIC);
            if (given.contains("name")) dd.setName("Creditor");
            if (given.contains("cid")) dd.setCreditorIdentifier(TestData.CREDITOR_ID);
            SEPAException e = org.junit.jupiter.api.Assertions.assertThrows(SEPAException.class, dd::toXML);
            assertEquals(error, e.getMessage());
        }
    }

    @ParameterizedTest
    @CsvSource({"DE-3.5, Müller & Söhne", "AT-6, Straße <1> & \"Co\" €"})
    void nonAsciiTextsSurviveTheRoundTrip(String rulebook, String name) {
        TestData.rulebook(rulebook);
        try (SEPA ct = TestData.creditTransfer()) {
            ct.setName(name);
            ct.add(TestData.payment(TestData.DEBTOR_IBAN_AT, "1", null));
            String xml = ct.toXML();
            String escaped = name.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;");
            assertTrue(xml.contains("<Nm>" + escaped + "</Nm>"), xml);
        }
    }
}
