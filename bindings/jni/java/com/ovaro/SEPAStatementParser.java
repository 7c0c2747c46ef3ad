package com.ovaro;

import java.nio.charset.StandardCharsets;
import java.util.ArrayList;
import java.util.Collections;
import java.util.List;

/**
 * Reads bank statements: MT940 files, camt.052/053/054 documents (versions 001.02 to
 * 001.08) and ZIP archives of camt documents as banks deliver them.
 *
 * <pre>{@code
 * try (SEPAStatementParser parser = new SEPAStatementParser()) {
 *     parser.load("statement.zip");                 // format recognised from the content
 *     for (SEPAStatement statement : parser.getStatements()) {
 *         for (SEPAStatementLine line : statement.getLines()) {
 *             BigDecimal amount = line.getAmount();   // exact, signed
 *             ...
 *         }
 *     }
 * }
 * }</pre>
 *
 * <p>A parser loads one file. The statements are handed over as immutable Java objects
 * (the native records are released before {@link #load} returns), so they stay usable
 * on any thread and after {@link #close()}. Any method on a closed parser throws
 * {@link IllegalStateException}. Methods are synchronized.
 */
public final class SEPAStatementParser implements AutoCloseable {

    /** MT940 (lines end with CR LF, LF or "@@"). */
    public static final int FORMAT_MT940 = 1;
    /** camt.052, camt.053 or camt.054 XML, or a ZIP archive of such documents. */
    public static final int FORMAT_CAMT = 2;
    /** Any of the above, recognised from the file's content. */
    public static final int FORMAT_AUTO = 3;

    static {
        // The natives live in the library that com.ovaro.SEPA loads.
        try {
            Class.forName(SEPA.class.getName(), true, SEPA.class.getClassLoader());
        } catch (ClassNotFoundException e) {
            throw new ExceptionInInitializerError(e);
        }
    }

    private boolean loaded;
    private boolean closed;
    private List<SEPAStatement> statements = Collections.emptyList();

    /** Creates a parser that has not loaded anything yet. */
    public SEPAStatementParser() {}

    /** Loads a file of any supported format, recognised from its content. */
    public void load(String path) {
        load(FORMAT_AUTO, path);
    }

    /**
     * Loads and parses the file at {@code path} (a regular file; FIFOs, devices and
     * directories are refused without blocking).
     *
     * @param format {@link #FORMAT_MT940}, {@link #FORMAT_CAMT} or {@link #FORMAT_AUTO}
     * @throws NullPointerException "path is NULL"
     * @throws SEPAException "invalid/unknown statement format" for another format (the
     *     parser stays unused); "Parser already used" on a second load; the library's
     *     reason when the file cannot be read or holds no statement of the format
     */
    public synchronized void load(int format, String path) {
        checkOpen();
        if (path == null) throw new NullPointerException("path is NULL");
        if (format != FORMAT_MT940 && format != FORMAT_CAMT && format != FORMAT_AUTO) {
            throw new SEPAException("invalid/unknown statement format");
        }
        if (loaded) throw new SEPAException("Parser already used");
        if (path.indexOf('\0') >= 0) {
            throw new SEPAException("Can't open input file: the name contains a NUL character");
        }
        loaded = true;
        statements = build(_load(format, path.getBytes(StandardCharsets.UTF_8)));
    }

    /**
     * The statements of the loaded file in file order (archive order for a ZIP); an
     * empty list before a successful load. The list and its objects are immutable.
     */
    public synchronized List<SEPAStatement> getStatements() {
        checkOpen();
        return statements;
    }

    /** True once {@link #close()} has run. */
    public synchronized boolean isClosed() {
        return closed;
    }

    /** Drops the statements; calling it again does nothing. */
    @Override
    public synchronized void close() {
        statements = Collections.emptyList();
        closed = true;
    }

    private void checkOpen() {
        if (closed) throw new IllegalStateException("SEPAStatementParser is closed");
    }

    private static List<SEPAStatement> build(Object[] records) {
        List<SEPAStatement> list = new ArrayList<>(records.length);
        for (Object record : records) list.add(SEPAStatement.fromRecord((Object[]) record));
        return Collections.unmodifiableList(list);
    }

    // The native: loads the file into a native parser of its own, returns one record per
    // statement, Object[] { String[] texts, long[] numbers, Object[] lines }, each line
    // Object[] { String[] texts, long[] numbers, null }, in the slot order of
    // SEPAStatement and SEPAStatementLine, and frees the parser before it returns.

    private static native Object[] _load(int format, byte[] path);
}
