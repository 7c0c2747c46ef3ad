package com.ovaro;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertTrue;

import org.junit.jupiter.api.BeforeAll;
import org.junit.jupiter.api.Test;

import java.util.ArrayList;
import java.util.HashSet;
import java.util.List;
import java.util.Set;
import java.util.concurrent.Callable;
import java.util.concurrent.CountDownLatch;
import java.util.concurrent.ExecutorService;
import java.util.concurrent.Executors;
import java.util.concurrent.Future;
import java.util.concurrent.TimeUnit;

/** Many threads at once on the static utilities, and on messages of their own. */
class ConcurrencyTest {
    private static final int THREADS = 8;
    private static final int ROUNDS = 300;

    private static final String[] IBANS = {
        TestData.CREDITOR_IBAN, TestData.BAD_CHECKSUM_IBAN, TestData.DEBTOR_IBAN_AT, TestData.DEBTOR_IBAN_FR,
        TestData.DEBTOR_IBAN_NL, "DE8937040044053201300", "CH9300762011623852957", "", "ZZ",
    };
    private static final String[] BICS = {TestData.KNOWN_BIC, "vobadess", "COBADEFFXXX", "ZZZZZZZZZZZ", "x"};

    @BeforeAll
    static void rulebook() {
        TestData.rulebook("DE-3.5");
    }

    /** Every answer of the utilities for the inputs above, as one text. */
    private static String answers() {
        StringBuilder out = new StringBuilder();
        for (String iban : IBANS) {
            out.append(SEPA.IBAN_check(iban)).append(' ').append(SEPA.IBAN_getBIC(iban)).append('\n');
        }
        for (String bic : BICS) {
            out.append(SEPA.BIC_getBankName(bic)).append(' ').append(SEPA.BIC_getBankFlags(bic)).append('\n');
        }
        out.append(SEPA.IBAN_convert("DE", "532013000", "37040044")).append('\n');
        out.append(SEPA.IBAN_convert("DE", "1", "00000000")).append('\n');
        try {
            SEPA.IBAN_check(null);
        } catch (NullPointerException e) {
            out.append(e.getMessage()).append('\n');
        }
        return out.toString();
    }

    private static <T> List<T> runTogether(Callable<T> task) throws Exception {
        ExecutorService pool = Executors.newFixedThreadPool(THREADS);
        try {
            CountDownLatch start = new CountDownLatch(1);
            List<Future<T>> futures = new ArrayList<>();
            for (int t = 0; t < THREADS; ++t) {
                futures.add(pool.submit(() -> {
                    start.await();
                    return task.call();
                }));
            }
            start.countDown();
            List<T> results = new ArrayList<>();
            for (Future<T> f : futures) results.add(f.get(120, TimeUnit.SECONDS));
            return results;
        } finally {
            pool.shutdownNow();
        }
    }

    @Test
    void utilitiesGiveTheSameAnswersOnEveryThread() throws Exception {
        String expected = answers();
        assertTrue(expected.contains(TestData.KNOWN_BIC_NAME + " 11"), expected);
        List<String> mismatches = runTogether(() -> {
            for (int round = 0; round < ROUNDS; ++round) {
                String got = answers();
                if (!got.equals(expected)) return got;
            }
            return "";
        });
        for (String mismatch : mismatches) assertEquals("", mismatch);
    }

    @Test
    void messagesOfTheirOwnRenderConcurrently() throws Exception {
        List<Set<String>> ids = runTogether(() -> {
            Set<String> seen = new HashSet<>();
            for (int round = 0; round < ROUNDS / 10; ++round) {
                try (SEPA ct = TestData.creditTransfer()) {
                    ct.add(TestData.payment(TestData.DEBTOR_IBAN_AT, round + ".01", null));
                    String xml = ct.toXML();
                    if (!xml.contains("<InstdAmt Ccy=\"EUR\">" + round + ".01</InstdAmt>")) return Set.of("bad: " + xml);
                    seen.add(DocumentTest.element(xml, "MsgId"));
                }
            }
            return seen;
        });
        Set<String> all = new HashSet<>();
        int total = 0;
        for (Set<String> s : ids) {
            total += s.size();
            all.addAll(s);
        }
        assertEquals(THREADS * (ROUNDS / 10), total, "distinct ids within a thread");
        assertEquals(total, all.size(), "generated message ids never repeat across threads");
    }
}
