package com.ovaro;

import java.math.BigDecimal;
import java.time.LocalDate;

/**
 * One statement line: an MT940 ":61:" with its field 86, or a camt booking (an entry,
 * or one transaction of a batch entry; then {@link #getEntryTxCount()} is above 1 and
 * {@link #getEntryAmount()} is the whole entry's amount). Immutable. Texts that the
 * file does not give are null; the getters named after MT940 keywords ("eref",
 * "svwz", ...) hold the same data for camt where it has it.
 */
public final class SEPAStatementLine {
    // Slots of the native record (see SEPAStatementParser).
    private static final int T_CODE = 0, T_REF = 1, T_BANKREF = 2, T_TXTEXT = 3, T_PRIMANOTA = 4, T_BANK = 5,
            T_ACCOUNT = 6, T_NAME = 7, T_PURPOSE = 8, T_EREF = 9, T_KREF = 10, T_MREF = 11, T_CRED = 12,
            T_DEBT = 13, T_PURP = 14, T_COAM = 15, T_OAMT = 16, T_SVWZ = 17, T_ABWA = 18, T_ABWE = 19,
            T_CURRENCY = 20, T_STATUS = 21, T_DOMAIN = 22, T_FAMILY = 23, T_SUBFAMILY = 24,
            T_CHARGES_CURRENCY = 25, T_ORIGINAL_CURRENCY = 26, T_CREDITOR_REF = 27, T_BANK_TX_CODE = 28,
            T_RETURN_REASON = 29, T_END_TO_END_ID = 30, T_ENTRY_REF = 31;
    private static final int N_VALUTA = 0, N_BOOKED = 1, N_REVERSAL = 2, N_AMOUNT_CENTS = 3, N_GVC = 4,
            N_EXTCODE = 5, N_ENTRY_INDEX = 6, N_ENTRY_TX_COUNT = 7, N_ENTRY_AMOUNT_CENTS = 8,
            N_CHARGES_CENTS = 9, N_ORIGINAL_AMOUNT_CENTS = 10;

    private final String[] texts;
    private final long[] numbers;

    private SEPAStatementLine(String[] texts, long[] numbers) {
        this.texts = texts;
        this.numbers = numbers;
    }

    static SEPAStatementLine fromRecord(Object[] record) {
        return new SEPAStatementLine((String[]) record[0], (long[]) record[1]);
    }

    /** Value date; null when the file's date is not a calendar day. */
    public LocalDate getValuta() { return SEPAStatement.date(numbers[N_VALUTA]); }

    /** Booking (entry) date, null when absent. */
    public LocalDate getBooked() { return SEPAStatement.date(numbers[N_BOOKED]); }

    /**
     * Signed amount, exact to the cent: negative for debits (and for the reversal of a
     * credit), so that a statement's amounts add up from opening to closing balance.
     */
    public BigDecimal getAmount() { return SEPAStatement.amount(numbers[N_AMOUNT_CENTS]); }

    /** Currency of the amount. */
    public String getCurrency() { return texts[T_CURRENCY]; }

    /** True for a reversal (MT940 mark "RC"/"RD", camt RvslInd). */
    public boolean isReversal() { return numbers[N_REVERSAL] != 0; }

    /** camt entry status "BOOK", "PDNG" or "INFO"; null for MT940. */
    public String getStatus() { return texts[T_STATUS]; }

    /** Transaction type code ("TRF", "DDT", ...; "" when none). */
    public String getCode() { return texts[T_CODE]; }

    /** Reference for the account owner (MT940 customer reference, camt EndToEndId or InstrId). */
    public String getRef() { return texts[T_REF]; }

    /** Bank reference (MT940 after "//", camt AcctSvcrRef). */
    public String getBankRef() { return texts[T_BANKREF]; }

    /** Posting text (MT940 subfield 00, camt AddtlTxInf or AddtlNtryInf). */
    public String getTxText() { return texts[T_TXTEXT]; }

    /** Journal number (MT940 subfield 10, from a German camt proprietary code). */
    public String getPrimanota() { return texts[T_PRIMANOTA]; }

    /** German business transaction code (GVC), 0 when absent. */
    public int getGvc() { return (int) numbers[N_GVC]; }

    /** Text key extension (MT940 subfield 34), 0 when absent. */
    public int getExtCode() { return (int) numbers[N_EXTCODE]; }

    /** Counterparty's bank code or BIC ("" when none). */
    public String getBank() { return texts[T_BANK]; }

    /** Counterparty's account or IBAN ("" when none). */
    public String getAccount() { return texts[T_ACCOUNT]; }

    /** Counterparty's name in full ("" when none). */
    public String getName() { return texts[T_NAME]; }

    /** Purpose lines before the first keyword; the text of an unstructured field 86. */
    public String getPurpose() { return texts[T_PURPOSE]; }

    /** End-to-end reference (EREF+). */
    public String getEref() { return texts[T_EREF]; }

    /** Customer reference (KREF+). */
    public String getKref() { return texts[T_KREF]; }

    /** Mandate reference (MREF+, camt MndtId). */
    public String getMref() { return texts[T_MREF]; }

    /** Creditor identifier (CRED+). */
    public String getCred() { return texts[T_CRED]; }

    /** Originator identifier (DEBT+). */
    public String getDebt() { return texts[T_DEBT]; }

    /** Purpose code (PURP+, camt Purp/Cd). */
    public String getPurp() { return texts[T_PURP]; }

    /** Compensation amount as written (COAM+). */
    public String getCoam() { return texts[T_COAM]; }

    /** Original amount as written (OAMT+). */
    public String getOamt() { return texts[T_OAMT]; }

    /** Remittance text (SVWZ+, camt Ustrd joined). */
    public String getSvwz() { return texts[T_SVWZ]; }

    /** Ultimate debtor (ABWA+). */
    public String getAbwa() { return texts[T_ABWA]; }

    /** Ultimate creditor (ABWE+). */
    public String getAbwe() { return texts[T_ABWE]; }

    /** End-to-end id (camt EndToEndId, MT940 EREF+). */
    public String getEndToEndId() { return texts[T_END_TO_END_ID]; }

    /** Structured creditor reference (camt CdtrRefInf/Ref). */
    public String getCreditorRef() { return texts[T_CREDITOR_REF]; }

    /** Proprietary bank transaction code as given, e.g. "NMSC+201+9310". */
    public String getBankTxCode() { return texts[T_BANK_TX_CODE]; }

    /** ISO bank transaction code: domain, e.g. "PMNT". */
    public String getDomain() { return texts[T_DOMAIN]; }

    /** ISO bank transaction code: family, e.g. "RCDT". */
    public String getFamily() { return texts[T_FAMILY]; }

    /** ISO bank transaction code: sub-family, e.g. "ESCT". */
    public String getSubFamily() { return texts[T_SUBFAMILY]; }

    /** Return reason code of a returned payment. */
    public String getReturnReason() { return texts[T_RETURN_REASON]; }

    /** Total charges reported for the line (positive), null when none. */
    public BigDecimal getCharges() {
        long cents = numbers[N_CHARGES_CENTS];
        return cents != 0 ? SEPAStatement.amount(cents) : null;
    }

    /** Currency of the charges, null when none. */
    public String getChargesCurrency() { return texts[T_CHARGES_CURRENCY]; }

    /** Original (instructed) amount (positive), null when absent. */
    public BigDecimal getOriginalAmount() {
        long cents = numbers[N_ORIGINAL_AMOUNT_CENTS];
        return cents != 0 ? SEPAStatement.amount(cents) : null;
    }

    /** Currency of the original amount, null when absent. */
    public String getOriginalCurrency() { return texts[T_ORIGINAL_CURRENCY]; }

    /** camt entry reference (NtryRef). */
    public String getEntryRef() { return texts[T_ENTRY_REF]; }

    /** 1-based position of this line within its camt entry. */
    public long getEntryIndex() { return numbers[N_ENTRY_INDEX]; }

    /** Lines the camt entry was split into (or its batch count when larger); 1 for MT940. */
    public long getEntryTxCount() { return numbers[N_ENTRY_TX_COUNT]; }

    /** Signed amount of the whole camt entry (the line's own amount unless it is a batch). */
    public BigDecimal getEntryAmount() { return SEPAStatement.amount(numbers[N_ENTRY_AMOUNT_CENTS]); }

    @Override
    public String toString() {
        return "SEPAStatementLine[" + getValuta() + " " + getAmount() + " " + getCurrency() + " " + getName() + "]";
    }
}
