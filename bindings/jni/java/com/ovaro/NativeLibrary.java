package com.ovaro;

import java.io.IOException;
import java.io.InputStream;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.StandardCopyOption;
import java.util.Locale;

/**
 * Finds and loads the native library {@code ovaro-jni}, in this order:
 * <ol>
 *   <li>the file named by the system property {@code com.ovaro.sepa.library};</li>
 *   <li>{@code libovaro-jni.so} on {@code java.library.path};</li>
 *   <li>the copy inside the jar, {@code native/<os>-<arch>/libovaro-jni.so} (for example
 *       {@code native/linux-x86_64/}), written to a private temporary file and loaded
 *       from there.</li>
 * </ol>
 * So the jar alone is enough on the platforms it carries a library for, while an
 * installed library or an explicit file still takes precedence.
 */
final class NativeLibrary {
    static final String NAME = "ovaro-jni";

    private NativeLibrary() {}

    static void load() {
        String path = System.getProperty(SEPA.LIBRARY_PROPERTY);
        if (path != null && !path.isEmpty()) {
            System.load(path);
            return;
        }
        try {
            System.loadLibrary(NAME);
        } catch (UnsatisfiedLinkError notOnPath) {
            try {
                loadFromJar();
            } catch (UnsatisfiedLinkError notInJar) {
                notInJar.addSuppressed(notOnPath);
                throw notInJar;
            }
        }
    }

    /** The platform folder of the jar's native libraries, e.g. "linux-x86_64". */
    static String platform() {
        String os = System.getProperty("os.name", "").toLowerCase(Locale.ROOT);
        String arch = System.getProperty("os.arch", "").toLowerCase(Locale.ROOT);
        if (os.startsWith("linux")) os = "linux";
        if (arch.equals("amd64") || arch.equals("x86_64")) arch = "x86_64";
        if (arch.equals("arm64")) arch = "aarch64";
        return os + "-" + arch;
    }

    private static void loadFromJar() {
        String resource = "/native/" + platform() + "/" + System.mapLibraryName(NAME);
        try (InputStream in = NativeLibrary.class.getResourceAsStream(resource)) {
            if (in == null) {
                throw new UnsatisfiedLinkError("no " + NAME + " in java.library.path, no " + SEPA.LIBRARY_PROPERTY
                        + " property and no " + resource + " in the jar");
            }
            // createTempFile makes the file readable and writable by the owner only.
            Path file = Files.createTempFile(NAME + "-", ".so");
            try {
                Files.copy(in, file, StandardCopyOption.REPLACE_EXISTING);
                System.load(file.toAbsolutePath().toString());
            } finally {
                // A loaded library stays mapped after its file is removed.
                Files.deleteIfExists(file);
            }
        } catch (IOException e) {
            UnsatisfiedLinkError error = new UnsatisfiedLinkError("cannot extract " + resource + ": " + e.getMessage());
            error.initCause(e);
            throw error;
        }
    }
}
