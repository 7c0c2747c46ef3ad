package com.ovaro;

import java.util.LinkedHashMap;
import java.util.Map;

/** Accounts, banks and transactions shared by the tests. */
final class TestData {
    private TestData() {}

    /** Commerzbank Köln, bank code 37040044, account 0532013000. */
    static final String CREDITOR_IBAN = "DE89370400440532013000";
    static final String CREDITOR_BIC = "COBADEFFXXX";
    /** The same IBAN with wrong check digits. */
    static final String BAD_CHECKSUM_IBAN = "DE00370400440532013000";
    /** Deutsche Bundesbank's creditor identifier for tests. */
    static final String CREDITOR_ID = "DE98ZZZ09999999999";

    static final String DEBTOR_IBAN_AT = "AT611904300234573201";
    static final String DEBTOR_IBAN_FR = "FR1420041010050500013M02606";
    static final String DEBTOR_IBAN_NL = "NL91ABNA0417164300";

    static final String KNOWN_BIC = "VOBADESSXXX";
    static final String KNOWN_BIC_NAME = "VOLKSBANK STUTTGART EG";

    /** Selects a rulebook and fails the test when it is refused. */
    static void rulebook(String name) {
        if (SEPA.init(SEPA.INIT_RULEBOOK, name) != 1) throw new AssertionError("rulebook " + name + " refused");
    }

    /** A direct debit with the creditor's data set. */
    static SEPA directDebit() {
        return new SEPA(SEPA.MSGTYPE_DDI)
                .setIBAN(CREDITOR_IBAN)
                .setBIC(CREDITOR_BIC)
                .setName("Creditor & Co")
                .setCreditorIdentifier(CREDITOR_ID);
    }

    /** A credit transfer with the debtor's data set. */
    static SEPA creditTransfer() {
        return new SEPA(SEPA.MSGTYPE_CTI)
                .setIBAN(CREDITOR_IBAN)
                .setBIC(CREDITOR_BIC)
                .setName("Payer GmbH");
    }

    /** A complete direct-debit transaction. */
    static Map<String, String> collection(String iban, String amount, String seq) {
        Map<String, String> tx = new LinkedHashMap<>();
        tx.put("name", "Debtor One");
        tx.put("iban", iban);
        tx.put("amount", amount);
        tx.put("seq", seq);
        tx.put("mref", "MANDATE-1");
        tx.put("mdate", "2024-01-31");
        tx.put("id", "E2E-1");
        tx.put("ref", "Invoice 4711");
        return tx;
    }

    /** A complete credit-transfer transaction. */
    static Map<String, String> payment(String iban, String amount, String date) {
        return payment(iban, null, amount, date);
    }

    /** A complete credit-transfer transaction with the creditor's BIC. */
    static Map<String, String> payment(String iban, String bic, String amount, String date) {
        Map<String, String> tx = new LinkedHashMap<>();
        tx.put("name", "Smith + Sons (Ltd)");
        tx.put("iban", iban);
        tx.put("amount", amount);
        tx.put("id", "E2E-" + amount);
        tx.put("ref", "Invoice 0815");
        if (bic != null) tx.put("bic", bic);
        if (date != null) tx.put("date", date);
        return tx;
    }
}
