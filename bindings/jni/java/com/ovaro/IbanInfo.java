package com.ovaro;

/**
 * What {@link SEPA#IBAN_inspect(String)} finds out about an IBAN: validity over every
 * country of the IBAN registry with the reason, the parts of the IBAN, whether its
 * country is in the SEPA area and in the EEA, and the bank the directory knows for
 * it (Austria, Switzerland, Liechtenstein, Germany). Immutable; texts that the check
 * did not get to are empty strings.
 */
public final class IbanInfo {
    /** Valid. */
    public static final int REASON_NONE = 0;
    /** The first two characters name no IBAN country. */
    public static final int REASON_COUNTRY = 1;
    /** Wrong length for the country. */
    public static final int REASON_LENGTH = 2;
    /** A character does not fit the country's layout (also lower case). */
    public static final int REASON_FORMAT = 3;
    /** Wrong check digits. */
    public static final int REASON_CHECK_DIGITS = 4;
    /** German bank code not in the bank directory. */
    public static final int REASON_BANK_CODE = 5;
    /** German account number fails its bank's check-digit method. */
    public static final int REASON_ACCOUNT = 6;

    private final int reason;
    private final String reasonText;
    private final String country;
    private final String checkDigits;
    private final String bban;
    private final String bankId;
    private final String branchId;
    private final boolean sepa;
    private final boolean eea;
    private final boolean bankFound;
    private final int checkMethod;
    private final String bankBic;
    private final String bankName;
    private final String bankZip;
    private final String bankCity;

    /** Made by the natives; arguments in field order. */
    IbanInfo(int reason, String reasonText, String country, String checkDigits, String bban, String bankId,
             String branchId, boolean sepa, boolean eea, boolean bankFound, int checkMethod, String bankBic,
             String bankName, String bankZip, String bankCity) {
        this.reason = reason;
        this.reasonText = reasonText;
        this.country = country;
        this.checkDigits = checkDigits;
        this.bban = bban;
        this.bankId = bankId;
        this.branchId = branchId;
        this.sepa = sepa;
        this.eea = eea;
        this.bankFound = bankFound;
        this.checkMethod = checkMethod;
        this.bankBic = bankBic;
        this.bankName = bankName;
        this.bankZip = bankZip;
        this.bankCity = bankCity;
    }

    /** True when the IBAN is valid ({@link #reason()} is {@link #REASON_NONE}). */
    public boolean valid() { return reason == REASON_NONE; }
    /** One of the REASON_* constants. */
    public int reason() { return reason; }
    /** The library's text of the reason ("Invalid IBAN checksum" ...), null when valid. */
    public String reasonText() { return reasonText; }
    /** Country code in upper case, once the country is known. */
    public String country() { return country; }
    /** The two check digits, once length and layout are right (as the parts below). */
    public String checkDigits() { return checkDigits; }
    public String bban() { return bban; }
    /** Bank identifier at the registry's position, empty when the country has none. */
    public String bankId() { return bankId; }
    /** Branch identifier at the registry's position, empty when the country has none. */
    public String branchId() { return branchId; }
    /** True when the country is in today's SEPA area. */
    public boolean sepa() { return sepa; }
    /** True when the country is in the EEA. */
    public boolean eea() { return eea; }
    /** True when the bank directory knows the bank code; the bank fields are filled then. */
    public boolean bankFound() { return bankFound; }
    /** The German bank's check-digit method byte (0x13 for "13"), -1 otherwise. */
    public int checkMethod() { return checkMethod; }
    public String bankBic() { return bankBic; }
    public String bankName() { return bankName; }
    public String bankZip() { return bankZip; }
    public String bankCity() { return bankCity; }

    @Override
    public String toString() {
        return "IbanInfo[" + (valid() ? "valid" : reasonText) + ", " + country + checkDigits + bban + "]";
    }
}
