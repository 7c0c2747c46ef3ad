package com.ovaro;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertFalse;
import static org.junit.jupiter.api.Assertions.assertNull;
import static org.junit.jupiter.api.Assertions.assertThrows;
import static org.junit.jupiter.api.Assertions.assertTrue;
import static org.junit.jupiter.api.Assumptions.assumeTrue;

import java.io.IOException;
import java.math.BigDecimal;
import java.nio.charset.StandardCharsets;
import java.nio.file.DirectoryStream;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.Paths;
import java.time.LocalDate;
import java.util.ArrayList;
import java.util.LinkedHashMap;
import java.util.List;
import java.util.Map;
import java.util.function.Function;
import java.util.regex.Matcher;
import java.util.regex.Pattern;

import org.junit.jupiter.api.Test;
import org.junit.jupiter.api.io.TempDir;

/** SEPAStatementParser: every field of MT940 and camt statements, real files, errors, lifecycle. */
class StatementParserTest {

    private static Path testFile(String name) {
        String dir = System.getenv("SEPA_TEST_DIR");
        assumeTrue(dir != null, "SEPA_TEST_DIR (the repository's tests/ folder) not set");
        return Paths.get(dir, name);
    }

    private static Path sharedCamt() {
        String dir = System.getenv("SEPA_SHARED_DATA_DIR");
        Path camt = dir != null ? Paths.get(dir, "camt") : null;
        assumeTrue(camt != null && Files.isDirectory(camt),
                "skipped: real camt files not found (SEPA_SHARED_DATA_DIR/camt)");
        return camt;
    }

    private static List<SEPAStatement> read(int format, Path path) {
        try (SEPAStatementParser parser = new SEPAStatementParser()) {
            parser.load(format, path.toString());
            return parser.getStatements();
        }
    }

    private static BigDecimal money(String text) {
        return new BigDecimal(text);
    }

    /** Checks each expected getter value of one object, naming the getter that differs. */
    private static <T> void check(String what, T object, Map<String, Object> expected,
                                  Map<String, Function<T, Object>> getters) {
        for (Map.Entry<String, Object> entry : expected.entrySet()) {
            Function<T, Object> getter = getters.get(entry.getKey());
            if (getter == null) throw new AssertionError("no getter " + entry.getKey());
            assertEquals(entry.getValue(), getter.apply(object), what + " " + entry.getKey());
        }
    }

    private static final Map<String, Function<SEPAStatementLine, Object>> LINE = new LinkedHashMap<>();
    static {
        LINE.put("valuta", SEPAStatementLine::getValuta);
        LINE.put("booked", SEPAStatementLine::getBooked);
        LINE.put("amount", SEPAStatementLine::getAmount);
        LINE.put("currency", SEPAStatementLine::getCurrency);
        LINE.put("reversal", SEPAStatementLine::isReversal);
        LINE.put("status", SEPAStatementLine::getStatus);
        LINE.put("code", SEPAStatementLine::getCode);
        LINE.put("ref", SEPAStatementLine::getRef);
        LINE.put("bankref", SEPAStatementLine::getBankRef);
        LINE.put("txtext", SEPAStatementLine::getTxText);
        LINE.put("primanota", SEPAStatementLine::getPrimanota);
        LINE.put("gvc", SEPAStatementLine::getGvc);
        LINE.put("extcode", SEPAStatementLine::getExtCode);
        LINE.put("bank", SEPAStatementLine::getBank);
        LINE.put("account", SEPAStatementLine::getAccount);
        LINE.put("name", SEPAStatementLine::getName);
        LINE.put("purpose", SEPAStatementLine::getPurpose);
        LINE.put("eref", SEPAStatementLine::getEref);
        LINE.put("kref", SEPAStatementLine::getKref);
        LINE.put("mref", SEPAStatementLine::getMref);
        LINE.put("cred", SEPAStatementLine::getCred);
        LINE.put("debt", SEPAStatementLine::getDebt);
        LINE.put("purp", SEPAStatementLine::getPurp);
        LINE.put("coam", SEPAStatementLine::getCoam);
        LINE.put("oamt", SEPAStatementLine::getOamt);
        LINE.put("svwz", SEPAStatementLine::getSvwz);
        LINE.put("abwa", SEPAStatementLine::getAbwa);
        LINE.put("abwe", SEPAStatementLine::getAbwe);
        LINE.put("endToEndId", SEPAStatementLine::getEndToEndId);
        LINE.put("creditorRef", SEPAStatementLine::getCreditorRef);
        LINE.put("bankTxCode", SEPAStatementLine::getBankTxCode);
        LINE.put("domain", SEPAStatementLine::getDomain);
        LINE.put("family", SEPAStatementLine::getFamily);
        LINE.put("subFamily", SEPAStatementLine::getSubFamily);
        LINE.put("returnReason", SEPAStatementLine::getReturnReason);
        LINE.put("charges", SEPAStatementLine::getCharges);
        LINE.put("chargesCurrency", SEPAStatementLine::getChargesCurrency);
        LINE.put("originalAmount", SEPAStatementLine::getOriginalAmount);
        LINE.put("originalCurrency", SEPAStatementLine::getOriginalCurrency);
        LINE.put("entryRef", SEPAStatementLine::getEntryRef);
        LINE.put("entryIndex", SEPAStatementLine::getEntryIndex);
        LINE.put("entryTxCount", SEPAStatementLine::getEntryTxCount);
        LINE.put("entryAmount", SEPAStatementLine::getEntryAmount);
    }

    private static final Map<String, Function<SEPAStatement, Object>> STATEMENT = new LinkedHashMap<>();
    static {
        STATEMENT.put("ref", SEPAStatement::getRef);
        STATEMENT.put("account", SEPAStatement::getAccount);
        STATEMENT.put("number", SEPAStatement::getNumber);
        STATEMENT.put("page", SEPAStatement::getPage);
        STATEMENT.put("legalNumber", SEPAStatement::getLegalNumber);
        STATEMENT.put("hasOpenSaldo", SEPAStatement::hasOpenSaldo);
        STATEMENT.put("openSaldo", SEPAStatement::getOpenSaldo);
        STATEMENT.put("openCurrency", SEPAStatement::getOpenCurrency);
        STATEMENT.put("openDate", SEPAStatement::getOpenDate);
        STATEMENT.put("hasCloseSaldo", SEPAStatement::hasCloseSaldo);
        STATEMENT.put("closeSaldo", SEPAStatement::getCloseSaldo);
        STATEMENT.put("closeCurrency", SEPAStatement::getCloseCurrency);
        STATEMENT.put("closeDate", SEPAStatement::getCloseDate);
        STATEMENT.put("messageType", SEPAStatement::getMessageType);
        STATEMENT.put("messageId", SEPAStatement::getMessageId);
        STATEMENT.put("created", SEPAStatement::getCreated);
        STATEMENT.put("accountCurrency", SEPAStatement::getAccountCurrency);
        STATEMENT.put("accountBic", SEPAStatement::getAccountBic);
        STATEMENT.put("ownerName", SEPAStatement::getOwnerName);
    }

    private static Map<String, Object> map(Object... pairs) {
        Map<String, Object> m = new LinkedHashMap<>();
        for (int i = 0; i < pairs.length; i += 2) m.put((String) pairs[i], pairs[i + 1]);
        return m;
    }

    private static void assertBalancesAddUp(SEPAStatement s) {
        BigDecimal sum = s.getOpenSaldo();
        for (SEPAStatementLine line : s.getLines()) sum = sum.add(line.getAmount());
        assertEquals(s.getCloseSaldo(), sum, "opening balance plus lines of " + s);
    }

    @Test
    void camtStatementCarriesEveryField() {
        List<SEPAStatement> statements = read(SEPAStatementParser.FORMAT_CAMT, testFile("camt/surfaces_camt053_v08.xml"));
        assertEquals(1, statements.size());
        SEPAStatement s = statements.get(0);
        check("statement", s, map("ref", "STMT-2026-11-03", "account", "DE89370400440532013000", "number", 215L,
                "page", 0L, "legalNumber", 44L, "hasOpenSaldo", true, "openSaldo", money("1000.00"),
                "openCurrency", "EUR", "openDate", LocalDate.of(2026, 11, 2), "hasCloseSaldo", true,
                "closeSaldo", money("900.01"), "closeCurrency", "EUR", "closeDate", LocalDate.of(2026, 11, 3),
                "messageType", "camt.053.001.08", "messageId", "MSG-SURFACE-1", "created", "2026-11-03T08:00:00",
                "accountCurrency", "EUR", "accountBic", "COBADEFFXXX", "ownerName", "Muster & Söhne GmbH"),
                STATEMENT);
        List<SEPAStatementLine> lines = s.getLines();
        assertEquals(4, lines.size());
        String longName = "Überlange Firmenbezeichnung & Partner Gesellschaft mit beschränkter Haftung "
                + "für Handel, Logistik und Dienstleistungen aller Art";
        check("line 0", lines.get(0), map("valuta", LocalDate.of(2026, 11, 4), "booked", LocalDate.of(2026, 11, 3),
                "amount", money("250.01"), "currency", "EUR", "reversal", false, "status", "BOOK", "code", "TRF",
                "gvc", 166, "primanota", "9310", "bankref", "BANKREF-1", "ref", "E2E-INV-1", "eref", "E2E-INV-1",
                "endToEndId", "E2E-INV-1", "bank", "BYLADEM1001", "account", "DE02120300000000202051",
                "name", longName, "abwa", "Ultimate Payer", "purp", "SALA", "svwz", "Invoice 4711 paid in full",
                "creditorRef", "RF18539007547034", "bankTxCode", "NTRF+166+9310", "domain", "PMNT",
                "family", "RCDT", "subFamily", "ESCT", "entryRef", "N-1", "entryIndex", 1L, "entryTxCount", 1L,
                "entryAmount", money("250.01"), "charges", null, "originalAmount", null, "returnReason", null),
                LINE);
        check("line 1", lines.get(1), map("amount", money("-100.00"), "code", "MSC", "gvc", 191,
                "primanota", "9320", "mref", "MANDATE-1", "cred", "DE98ZZZ09999999999",
                "name", "Stadtwerke Musterstadt", "account", "DE02500105170137075030", "svwz", "Abschlag November",
                "entryIndex", 1L, "entryTxCount", 2L, "entryAmount", money("-300.00"), "domain", null), LINE);
        check("line 2", lines.get(2), map("amount", money("-200.00"), "name", "Vermieter", "entryIndex", 2L,
                "entryTxCount", 2L, "entryAmount", money("-300.00"), "endToEndId", "E2E-B-2"), LINE);
        check("line 3", lines.get(3), map("amount", money("-50.00"), "reversal", true, "gvc", 109,
                "returnReason", "MD06", "charges", money("3.00"), "chargesCurrency", "EUR",
                "originalAmount", money("47.00"), "originalCurrency", "EUR", "endToEndId", "E2E-RET-1"), LINE);
        assertBalancesAddUp(s);
        assertEquals(statements.toString(), read(SEPAStatementParser.FORMAT_AUTO,
                testFile("camt/surfaces_camt053_v08.xml")).toString());
    }

    @Test
    void mt940StatementKeepsItsFields() {
        List<SEPAStatement> statements = read(SEPAStatementParser.FORMAT_AUTO, testFile("../examples/data/statement.sta"));
        SEPAStatement s = statements.get(0);
        check("statement", s, map("ref", "STARTUMS", "account", "37040044/0532013000", "number", 1L, "page", 1L,
                "openSaldo", money("1234.56"), "openCurrency", "EUR", "openDate", LocalDate.of(2026, 12, 31),
                "closeSaldo", money("2684.66"), "closeDate", LocalDate.of(2027, 1, 5), "messageType", "MT940",
                "messageId", null), STATEMENT);
        check("line 0", s.getLines().get(0), map("valuta", LocalDate.of(2027, 1, 2), "amount", money("-49.90"),
                "currency", "EUR", "reversal", false, "status", null, "code", "DDT", "ref", "NONREF",
                "bankref", "0000012345", "gvc", 105, "txtext", "SEPA-BASISLASTSCHRIFT", "primanota", "9310",
                "bank", "BYLADEM1001", "account", "DE02120300000000202051", "name", "Stadtwerke Musterstadt GmbH",
                "eref", "INV-2027-0001", "mref", "M-100234", "cred", "DE98ZZZ09999999999",
                "svwz", "Abschlag Januar 2027", "kref", null, "entryTxCount", 1L), LINE);
        check("line 1", s.getLines().get(1), map("booked", null, "amount", money("1500.00"),
                "svwz", "Rechnung 4711 vom 15.12.2026"), LINE);
        assertBalancesAddUp(s);
    }

    @Test
    void latin1TextsArriveAsJavaStrings() {
        List<SEPAStatementLine> lines = read(SEPAStatementParser.FORMAT_MT940,
                testFile("mt940/volksbank_charsets.sta")).get(0).getLines();
        assertEquals("Jürgen Müller", lines.get(0).getName());
        assertEquals("Straßenbahn AG", lines.get(1).getName());
    }

    @Test
    void refusalsNameTheReason(@TempDir Path tmp) throws IOException {
        Path camt = testFile("camt/surfaces_camt053_v08.xml");
        Path text = Files.write(tmp.resolve("text.sta"), "no statement in here\r\n".getBytes(StandardCharsets.US_ASCII));
        Object[][] cases = {
            {SEPAStatementParser.FORMAT_MT940, camt.toString()},
            {SEPAStatementParser.FORMAT_CAMT, testFile("mt940/volksbank_charsets.sta").toString()},
            {SEPAStatementParser.FORMAT_AUTO, text.toString()},
            {SEPAStatementParser.FORMAT_AUTO, tmp.toString()},
            {SEPAStatementParser.FORMAT_AUTO, tmp.resolve("missing.sta").toString()},
        };
        for (Object[] c : cases) {
            try (SEPAStatementParser parser = new SEPAStatementParser()) {
                SEPAException e = assertThrows(SEPAException.class, () -> parser.load((Integer) c[0], (String) c[1]),
                        "format " + c[0] + " " + c[1]);
                assertFalse(e.getMessage().isEmpty());
                assertTrue(parser.getStatements().isEmpty());
                // One parser, one load: a failed load used it up.
                assertEquals("Parser already used",
                        assertThrows(SEPAException.class, () -> parser.load(camt.toString())).getMessage());
            }
        }
    }

    @Test
    void formatAndArgumentsAreCheckedFirst() {
        String camt = testFile("camt/surfaces_camt053_v08.xml").toString();
        try (SEPAStatementParser parser = new SEPAStatementParser()) {
            assertEquals("invalid/unknown statement format",
                    assertThrows(SEPAException.class, () -> parser.load(4, camt)).getMessage());
            assertEquals("path is NULL", assertThrows(NullPointerException.class, () -> parser.load(null)).getMessage());
            assertThrows(SEPAException.class, () -> parser.load(camt + "\0.sta"));
            // Neither used the parser up.
            parser.load(camt);
            assertEquals(1, parser.getStatements().size());
        }
    }

    @Test
    void lifecycle() {
        SEPAStatementParser parser = new SEPAStatementParser();
        assertTrue(parser.getStatements().isEmpty());
        parser.load(testFile("camt/surfaces_camt053_v08.xml").toString());
        List<SEPAStatement> statements = parser.getStatements();
        assertThrows(UnsupportedOperationException.class, () -> statements.clear());
        assertThrows(UnsupportedOperationException.class, () -> statements.get(0).getLines().clear());
        parser.close();
        parser.close();
        assertTrue(parser.isClosed());
        assertThrows(IllegalStateException.class, parser::getStatements);
        assertThrows(IllegalStateException.class, () -> parser.load("x"));
        // The statements are plain Java objects: still readable after close.
        assertEquals(4, statements.get(0).getLines().size());
    }

    @Test
    void parsersWorkFromManyThreadsAtOnce() throws Exception {
        String camt = testFile("camt/surfaces_camt053_v08.xml").toString();
        String expected = read(SEPAStatementParser.FORMAT_AUTO, Paths.get(camt)).get(0).getLines().toString();
        List<Thread> threads = new ArrayList<>();
        List<Throwable> failures = java.util.Collections.synchronizedList(new ArrayList<>());
        for (int t = 0; t < 8; ++t) {
            Thread thread = new Thread(() -> {
                try {
                    for (int i = 0; i < 50; ++i) {
                        String got = read(SEPAStatementParser.FORMAT_AUTO, Paths.get(camt)).get(0).getLines().toString();
                        if (!got.equals(expected)) throw new AssertionError(got);
                    }
                } catch (Throwable e) {
                    failures.add(e);
                }
            });
            threads.add(thread);
            thread.start();
        }
        for (Thread thread : threads) thread.join();
        assertTrue(failures.isEmpty(), failures.toString());
    }

    @Test
    void konfipayStatementMatchesTheGem() throws IOException {
        Path dir = sharedCamt();
        String json = new String(Files.readAllBytes(dir.resolve("konfipay_CAMT.053_458b71be.parsed-by-gem.json")),
                StandardCharsets.UTF_8);
        List<SEPAStatementLine> lines = new ArrayList<>();
        for (SEPAStatement s : read(SEPAStatementParser.FORMAT_AUTO, dir.resolve("konfipay_CAMT.053_458b71be.XML"))) {
            lines.addAll(s.getLines());
        }
        // The gem's file holds one flat object per line; its values are plain strings and numbers.
        Matcher object = Pattern.compile("\\{([^}]*)\\}").matcher(json);
        Pattern member = Pattern.compile("\"(\\w+)\": (\"([^\"]*)\"|(-?\\d+))");
        int index = 0;
        while (object.find()) {
            Map<String, String> want = new LinkedHashMap<>();
            Matcher m = member.matcher(object.group(1));
            while (m.find()) want.put(m.group(1), m.group(3) != null ? m.group(3) : m.group(4));
            SEPAStatementLine line = lines.get(index);
            String what = "line " + index;
            BigDecimal cents = new BigDecimal(want.get("amount_in_cents")).movePointLeft(2);
            assertEquals("debit".equals(want.get("type")) ? cents.negate() : cents, line.getAmount(), what);
            assertEquals(want.get("currency"), line.getCurrency(), what);
            assertEquals(want.get("name"), line.getName(), what);
            assertEquals(want.get("iban"), line.getAccount(), what);
            assertEquals(want.get("bic"), line.getBank(), what);
            assertEquals(LocalDate.parse(want.get("executed_on")), line.getBooked(), what);
            assertEquals(want.get("reference"), line.getSvwz(), what);
            assertEquals(want.get("end_to_end_reference"), line.getEndToEndId(), what);
            ++index;
        }
        assertEquals(lines.size(), index);
    }

    @Test
    void everyRealFileLoadsOrSaysWhy() throws IOException {
        Path dir = sharedCamt();
        List<SEPAStatement> zip = read(SEPAStatementParser.FORMAT_AUTO, dir.resolve("oca_test-camt053.zip"));
        assertEquals(2, zip.size());
        int loaded = 0;
        try (DirectoryStream<Path> files = Files.newDirectoryStream(dir, "*.{xml,XML,zip}")) {
            for (Path file : files) {
                try {
                    for (SEPAStatement s : read(SEPAStatementParser.FORMAT_AUTO, file)) {
                        for (SEPAStatementLine line : s.getLines()) {
                            assertTrue(line.getCurrency().matches("[A-Z]{3}"), file + ": " + line);
                            assertNull(line.getAmount().scale() == 2 ? null : line.getAmount(), file + ": " + line);
                        }
                    }
                    ++loaded;
                } catch (SEPAException e) {
                    assertFalse(e.getMessage().isEmpty(), file.toString());
                }
            }
        }
        assertTrue(loaded >= 25, loaded + " files loaded");
    }
}
