package com.ovaro;

import java.math.BigDecimal;
import java.time.LocalDate;
import java.util.ArrayList;
import java.util.Collections;
import java.util.List;

/**
 * One statement as {@link SEPAStatementParser} reads it: an MT940 statement (from
 * ":20:" to its "-" line; a multi-page statement gives one object per page) or one
 * camt Stmt, Rpt or Ntfctn. Immutable. Texts that the file does not give are null.
 */
public final class SEPAStatement {
    // Slots of the native record (see SEPAStatementParser).
    private static final int T_REF = 0, T_ACCOUNT = 1, T_OPEN_CURRENCY = 2, T_CLOSE_CURRENCY = 3,
            T_MESSAGE_TYPE = 4, T_MESSAGE_ID = 5, T_CREATED = 6, T_ACCOUNT_CURRENCY = 7, T_ACCOUNT_BIC = 8,
            T_OWNER_NAME = 9;
    private static final int N_NUMBER = 0, N_PAGE = 1, N_OPEN_DATE = 2, N_CLOSE_DATE = 3, N_OPEN_CENTS = 4,
            N_CLOSE_CENTS = 5, N_LEGAL_NUMBER = 6, N_HAS_OPEN = 7, N_HAS_CLOSE = 8;

    private final String[] texts;
    private final long[] numbers;
    private final List<SEPAStatementLine> lines;

    private SEPAStatement(String[] texts, long[] numbers, List<SEPAStatementLine> lines) {
        this.texts = texts;
        this.numbers = numbers;
        this.lines = lines;
    }

    static SEPAStatement fromRecord(Object[] record) {
        Object[] lineRecords = (Object[]) record[2];
        List<SEPAStatementLine> lines = new ArrayList<>(lineRecords.length);
        for (Object line : lineRecords) lines.add(SEPAStatementLine.fromRecord((Object[]) line));
        return new SEPAStatement((String[]) record[0], (long[]) record[1], Collections.unmodifiableList(lines));
    }

    /** Exact amount of signed minor units (cents). */
    static BigDecimal amount(long cents) {
        return BigDecimal.valueOf(cents, 2);
    }

    /** Date of a yyyymmdd number; null for 0 or a day the calendar does not have. */
    static LocalDate date(long yyyymmdd) {
        if (yyyymmdd <= 0) return null;
        try {
            return LocalDate.of((int) (yyyymmdd / 10000), (int) (yyyymmdd / 100 % 100), (int) (yyyymmdd % 100));
        } catch (java.time.DateTimeException e) {
            return null;
        }
    }

    /** MT940 ":20:" transaction reference, camt statement Id. */
    public String getRef() { return texts[T_REF]; }

    /** MT940 ":25:" account identification, camt account IBAN (else its other id). */
    public String getAccount() { return texts[T_ACCOUNT]; }

    /** Statement number (MT940 ":28C:", camt ElctrncSeqNb), 0 when absent. */
    public long getNumber() { return numbers[N_NUMBER]; }

    /** Page (MT940 sequence number after "/", camt PgNb), 0 when absent. */
    public long getPage() { return numbers[N_PAGE]; }

    /** camt legal sequence number (LglSeqNb), 0 when absent. */
    public long getLegalNumber() { return numbers[N_LEGAL_NUMBER]; }

    /** True when the file gives an opening balance. */
    public boolean hasOpenSaldo() { return numbers[N_HAS_OPEN] != 0; }

    /** Signed opening balance, exact to the cent (zero when the file gives none). */
    public BigDecimal getOpenSaldo() { return amount(numbers[N_OPEN_CENTS]); }

    /** Currency of the opening balance ("" when none). */
    public String getOpenCurrency() { return texts[T_OPEN_CURRENCY]; }

    /** Date of the opening balance, null when absent. */
    public LocalDate getOpenDate() { return date(numbers[N_OPEN_DATE]); }

    /** True when the file gives a closing balance. */
    public boolean hasCloseSaldo() { return numbers[N_HAS_CLOSE] != 0; }

    /** Signed closing balance, exact to the cent (zero when the file gives none). */
    public BigDecimal getCloseSaldo() { return amount(numbers[N_CLOSE_CENTS]); }

    /** Currency of the closing balance ("" when none). */
    public String getCloseCurrency() { return texts[T_CLOSE_CURRENCY]; }

    /** Date of the closing balance, null when absent. */
    public LocalDate getCloseDate() { return date(numbers[N_CLOSE_DATE]); }

    /** "MT940", or the camt message and version, e.g. "camt.053.001.08". */
    public String getMessageType() { return texts[T_MESSAGE_TYPE]; }

    /** camt message id (GrpHdr/MsgId). */
    public String getMessageId() { return texts[T_MESSAGE_ID]; }

    /** camt creation time as written (CreDtTm), e.g. "2025-11-03T08:00:00". */
    public String getCreated() { return texts[T_CREATED]; }

    /** camt account currency (Acct/Ccy). */
    public String getAccountCurrency() { return texts[T_ACCOUNT_CURRENCY]; }

    /** camt BIC of the account servicer. */
    public String getAccountBic() { return texts[T_ACCOUNT_BIC]; }

    /** camt account owner's name. */
    public String getOwnerName() { return texts[T_OWNER_NAME]; }

    /** The statement's lines (bookings) in file order; immutable. */
    public List<SEPAStatementLine> getLines() { return lines; }

    @Override
    public String toString() {
        return "SEPAStatement[" + getAccount() + " " + getRef() + ", " + lines.size() + " lines, "
                + getOpenSaldo() + " -> " + getCloseSaldo() + " " + getCloseCurrency() + "]";
    }
}
