package com.ovaro;

import java.lang.ref.Cleaner;
import java.lang.ref.Reference;
import java.util.Map;
import java.util.function.LongConsumer;

/**
 * One SEPA payment message (a credit transfer or a direct debit) and the library's
 * static utilities (IBAN check and conversion, BIC of an IBAN, bank lookup by BIC,
 * rulebook selection).
 *
 * <p>A message is built with the setters and {@link #add(Map)}, rendered with
 * {@link #toXML()} (pain.001 or pain.008 in the schema version of the current
 * rulebook) and released with {@link #close()}, best in try-with-resources:
 *
 * <pre>{@code
 * try (SEPA dd = new SEPA(SEPA.MSGTYPE_DDI)) {
 *     dd.setIBAN("DE89370400440532013000").setBIC("COBADEFFXXX")
 *       .setName("Creditor Ltd").setCreditorIdentifier("DE98ZZZ09999999999");
 *     dd.add(Map.of("name", "Debtor", "iban", "...", "amount", "12.50",
 *                   "seq", "FRST", "mref", "M-1", "mdate", "2024-01-31"));
 *     String xml = dd.toXML();
 * }
 * }</pre>
 *
 * <p>Refused values throw {@link SEPAException} with the library's reason and leave the
 * message as it was; null arguments throw {@link NullPointerException}. Any method on a
 * closed message throws {@link IllegalStateException}. A message must not be used by
 * two threads at once (its methods are synchronized, so concurrent use is serialized
 * rather than unsafe). The static utilities are safe on any thread; {@link #init}
 * changes the rulebook of the whole process and must not run concurrently with other
 * calls.
 *
 * <p>The class loads the native library {@code ovaro-jni} itself: from the file named by
 * the system property {@code com.ovaro.sepa.library} when it is set, otherwise from
 * {@code java.library.path}, otherwise the copy the jar carries for this platform
 * ({@code native/linux-x86_64/libovaro-jni.so}), so the jar alone is enough.
 */
public final class SEPA implements AutoCloseable {

    /** Message type of a direct debit (pain.008). */
    public static final int MSGTYPE_DDI = 1;
    /** Message type of a credit transfer (pain.001). */
    public static final int MSGTYPE_CTI = 2;

    /** Local instrument of a direct debit: core direct debit (the default). */
    public static final int DDTYPE_CORE = 0;
    /** Local instrument of a direct debit: COR1 (only under the rulebooks DE-2.7 to DE-2.9, AT-6, NL-6). */
    public static final int DDTYPE_COR1 = 1;
    /** Local instrument of a direct debit: business to business. */
    public static final int DDTYPE_B2B = 2;

    /** Option of {@link #init} that selects the rulebook by name. */
    public static final int INIT_RULEBOOK = 3;

    /** Reachability flag of {@link #BIC_getBankFlags}: SEPA credit transfer. */
    public static final int SCL_SCT = 1;
    /** Reachability flag: SEPA core direct debit. */
    public static final int SCL_SDD = 2;
    /** Reachability flag: COR1 direct debit. */
    public static final int SCL_COR1 = 4;
    /** Reachability flag: B2B direct debit. */
    public static final int SCL_B2B = 8;

    /** System property naming the native library file to load instead of searching java.library.path and the jar. */
    public static final String LIBRARY_PROPERTY = "com.ovaro.sepa.library";

    static {
        NativeLibrary.load();
    }

    private static final Cleaner CLEANER = Cleaner.create();

    /**
     * The native message, shared with the cleaner so that a message that is never closed
     * is still freed once it becomes unreachable. Holds no reference to the SEPA object.
     */
    private static final class NativeMessage implements Runnable {
        private long handle;

        NativeMessage(long handle) {
            this.handle = handle;
        }

        @Override
        public synchronized void run() {
            long h = handle;
            handle = 0;
            if (h != 0) _free(h);
        }

        synchronized boolean isClosed() {
            return handle == 0;
        }

        synchronized long get() {
            if (handle == 0) throw new IllegalStateException("SEPA message is closed");
            return handle;
        }
    }

    private final NativeMessage message;
    private final Cleaner.Cleanable cleanable;
    private final int type;

    /**
     * Creates an empty message.
     *
     * @param type {@link #MSGTYPE_DDI} or {@link #MSGTYPE_CTI}
     * @throws SEPAException "Invalid message type or out of memory" for any other type
     */
    public SEPA(int type) {
        long handle = _new(type);
        this.type = type;
        this.message = new NativeMessage(handle);
        this.cleanable = CLEANER.register(this, message);
    }

    /** The message type given at creation: {@link #MSGTYPE_DDI} or {@link #MSGTYPE_CTI}. */
    public int getType() {
        return type;
    }

    /** True once {@link #close()} has run. */
    public boolean isClosed() {
        return message.isClosed();
    }

    /**
     * Frees the native message (its texts are overwritten with zeros first). Calling it
     * again does nothing; every other method throws {@link IllegalStateException} afterwards.
     */
    @Override
    public synchronized void close() {
        cleanable.clean();
    }

    /**
     * Runs a native on this message's handle. The fence keeps the message reachable, so
     * the cleaner cannot free the handle while the native still works on it.
     */
    private SEPA onHandle(LongConsumer call) {
        try {
            call.accept(message.get());
        } finally {
            Reference.reachabilityFence(this);
        }
        return this;
    }

    /** IBAN of this side: the creditor's account of a direct debit, the debtor's of a credit transfer. */
    public synchronized SEPA setIBAN(String iban) {
        return onHandle(handle -> _setIBAN(handle, iban));
    }

    /** BIC of this side's account, 8 or 11 characters (stored in upper case). */
    public synchronized SEPA setBIC(String bic) {
        return onHandle(handle -> _setBIC(handle, bic));
    }

    /** Name of this side, 1 to 70 bytes of UTF-8 in the rulebook's character set. */
    public synchronized SEPA setName(String name) {
        return onHandle(handle -> _setName(handle, name));
    }

    /** SEPA creditor identifier (direct debits), 7 to 35 characters with valid check digits. */
    public synchronized SEPA setCreditorIdentifier(String creditorIdentifier) {
        return onHandle(handle -> _setCreditorIdentifier(handle, creditorIdentifier));
    }

    /** Requested execution or collection date "yyyy-mm-dd" of transactions without a date of their own. */
    public synchronized SEPA setDate(String date) {
        return onHandle(handle -> _setDate(handle, date));
    }

    /** Local instrument of a direct debit: {@link #DDTYPE_CORE}, {@link #DDTYPE_COR1} or {@link #DDTYPE_B2B}. */
    public synchronized SEPA setDDType(int ddType) {
        return onHandle(handle -> _setDDType(handle, ddType));
    }

    /** Batch booking (true in a new message). */
    public synchronized SEPA setBatchBooking(boolean batchBooking) {
        return onHandle(handle -> _setBatchBooking(handle, batchBooking));
    }

    /**
     * Transliteration (off in a new message): names, address lines and remittance
     * texts passed afterwards are converted to the SEPA character set (é to e, ł to l,
     * ø to o ...; umlauts and ß stay where the rulebook admits them) instead of being
     * refused. Characters without a conversion are still refused.
     */
    public synchronized SEPA setTransliteration(boolean on) {
        return onHandle(handle -> _setTransliteration(handle, on));
    }

    /** Message identification, 1 to 35 characters; generated at the first rendering when unset. */
    public synchronized SEPA setMessageId(String messageId) {
        return onHandle(handle -> _setMessageId(handle, messageId));
    }

    /**
     * One part of this side's postal address (the debtor's of a credit transfer, the
     * creditor's of a direct debit). Keys as in {@link #add}: "addrDept", "addrSubDept",
     * "addrStreet", "addrBuildingNumber", "addrBuildingName", "addrFloor", "addrPostBox",
     * "addrRoom", "addrPostCode", "addrTown", "addrTownLocation", "addrDistrict",
     * "addrCountrySubDivision", "addrCC", "addrLine1", "addrLine2". A null value removes
     * the part. Structured parts need rulebook "DE-3.7" or later; under "DE-26.11" a
     * credit transfer to a bank outside the EEA needs town and country here.
     *
     * @throws NullPointerException when the key is null
     */
    public synchronized SEPA setAddress(String key, String value) {
        return onHandle(handle -> _setAddress(handle, key, value));
    }

    /** SEPA Instant credit transfer (local instrument INST); rulebook "DE-3.7" or later. */
    public synchronized SEPA setInstant(boolean instant) {
        return onHandle(handle -> _setInstant(handle, instant));
    }

    /**
     * Adds one transaction described by key-value pairs ("name", "iban", "bic",
     * "amount", "id", "ref", "date", the address keys of {@link #setAddress}; credit
     * transfers also "purp"; direct debits also "seq", "mref", "mdate", "old_mref",
     * "old_iban", "smnda"). Keys are compared without regard to case. Either the whole
     * transaction is accepted or the message stays unchanged.
     *
     * <p>A null map adds nothing and returns quietly, as {@link #add(String[][])} does.
     *
     * @throws NullPointerException when a key or a value is null
     * @throws SEPAException with the library's reason when the transaction is refused
     */
    public SEPA add(Map<String, String> transaction) {
        if (transaction == null) return add((String[][]) null);
        String[][] pairs = new String[transaction.size()][];
        int i = 0;
        for (Map.Entry<String, String> entry : transaction.entrySet()) {
            if (i == pairs.length) throw new java.util.ConcurrentModificationException();
            pairs[i++] = new String[] {entry.getKey(), entry.getValue()};
        }
        if (i != pairs.length) throw new java.util.ConcurrentModificationException();
        return add(pairs);
    }

    /**
     * Adds one transaction given as rows {@code {key, value}}, in order (a key given
     * twice counts with its last value). As the native does, a null array adds
     * nothing and returns quietly.
     *
     * @throws NullPointerException when a row, a key or a value is null
     * @throws SEPAException "Invalid array dimensions" when a row does not hold exactly
     *     two strings, or the library's reason when the transaction is refused
     */
    public synchronized SEPA add(String[][] pairs) {
        return onHandle(handle -> _add(handle, pairs));
    }

    /**
     * Renders the message as an ISO 20022 XML document. Fills in today's date and a
     * generated message id when they are unset, so a second rendering repeats them.
     *
     * @throws SEPAException with the library's reason (missing data, no transactions, ...)
     */
    public synchronized String toXML() {
        try {
            return _toXML(message.get());
        } finally {
            Reference.reachabilityFence(this);
        }
    }

    // ---------------------------------------------------------------------------------
    // Static utilities: these are the natives themselves.

    /**
     * Selects the process-wide rulebook: {@code init(INIT_RULEBOOK, "DE-26.11")}. Names:
     * "DE-2.6", "DE-2.7", "AT-6", "NL-6", "DE-2.8", "DE-2.9", "DE-3.0", "DE-3.1",
     * "DE-3.5", "DE-3.7", "DE-3.8", "DE-3.9", "DE-26.11". Without a call the rulebook
     * follows the date: "DE-26.11" from 15 November 2026. Returns 1 on success, 0 for an unknown option or name or a
     * null value (the rulebook stays as it was). Must not run concurrently with other calls.
     */
    public static native int init(int option, String value);

    /**
     * The IBAN of a German account (country "DE", account up to 10 digits, 8-digit bank
     * code) by the bank's IBAN rule, or null when none can be formed (other country,
     * unknown bank code, failed account check, rule refuses).
     *
     * @throws NullPointerException "country is NULL", "account is NULL", "bankid is NULL"
     */
    public static native String IBAN_convert(String country, String account, String bankid);

    /**
     * The 11-character BIC of an IBAN of AT, CH, LI or DE, an empty string when the bank
     * has no BIC, or null when the country is another one, the length is wrong for the
     * country or the bank code is unknown. The IBAN is not otherwise validated.
     *
     * @throws NullPointerException "iban is NULL"
     */
    public static native String IBAN_getBIC(String iban);

    /**
     * True when the IBAN (electronic form) is valid: country, length, layout, check
     * digits, and for German IBANs bank code and account check digit.
     *
     * @throws NullPointerException "iban is NULL"
     */
    public static native boolean IBAN_check(String iban);

    /**
     * Inspects an IBAN (electronic form; see {@link #IBAN_normalize(String)}) against
     * every country of the IBAN registry, SEPA or not: the reason when it is invalid,
     * its parts, the SEPA and EEA marks of its country and the bank the directory knows.
     *
     * @throws NullPointerException "iban is NULL"
     */
    public static native IbanInfo IBAN_inspect(String iban);

    /**
     * The electronic form of an IBAN given in printed form or lower case (a leading
     * "IBAN " and spaces removed, upper case), or null when the text holds anything
     * but letters, digits and spaces or is empty or longer than 34 characters. The IBAN
     * itself is not checked.
     *
     * @throws NullPointerException "iban is NULL"
     */
    public static native String IBAN_normalize(String iban);

    /**
     * The printed form of an IBAN (groups of four), from any text that
     * {@link #IBAN_normalize(String)} accepts; null when it refuses the text.
     *
     * @throws NullPointerException "iban is NULL"
     */
    public static native String IBAN_format(String iban);

    /**
     * Name of the bank of a BIC (8 or 11 characters, any case), or null when the BIC is
     * not in the directory.
     *
     * @throws NullPointerException "bic is NULL"
     */
    public static native String BIC_getBankName(String bic);

    /**
     * Reachability flags of the bank of a BIC, a sum of {@link #SCL_SCT}, {@link #SCL_SDD},
     * {@link #SCL_COR1}, {@link #SCL_B2B}; 0 when the BIC is not in the directory.
     *
     * @throws NullPointerException "bic is NULL"
     */
    public static native int BIC_getBankFlags(String bic);

    // ---------------------------------------------------------------------------------
    // Message natives: a handle is the address of the native message, 0 for none. They
    // stay package-private so that no caller can hand them a dangling or foreign handle.

    static native long _new(int type);

    static native void _free(long handle);

    static native void _setIBAN(long handle, String iban);

    static native void _setBIC(long handle, String bic);

    static native void _setName(long handle, String name);

    static native void _setCreditorIdentifier(long handle, String creditorIdentifier);

    static native void _setDate(long handle, String date);

    static native void _setDDType(long handle, int type);

    static native void _setBatchBooking(long handle, boolean flag);

    static native void _setMessageId(long handle, String msgid);

    static native void _setTransliteration(long handle, boolean on);
    static native void _setAddress(long handle, String key, String value);

    static native void _setInstant(long handle, boolean flag);

    static native void _add(long handle, String[][] pairs);

    static native String _toXML(long handle);
}
