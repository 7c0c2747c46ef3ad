package com.ovaro;

/**
 * A SEPA operation was refused: an invalid value for a setter, a transaction that
 * fails validation, a message that cannot be rendered, or an unknown message type.
 * The message text is the library's reason, for example
 * {@code "Invalid IBAN checksum (DE00123456780000000000)"}.
 *
 * <p>Unchecked, like {@link IllegalArgumentException}: the refused value usually
 * comes from user input that the caller validates through these messages, and the
 * message object stays usable after a refusal.
 */
public class SEPAException extends RuntimeException {
    private static final long serialVersionUID = 1L;

    /** Creates the exception with the library's reason (the natives use this constructor). */
    public SEPAException(String message) {
        super(message);
    }
}
