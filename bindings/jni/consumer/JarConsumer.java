import com.ovaro.SEPA;
import java.util.Map;

/**
 * A program built against ovaro-sepa.jar alone and run without java.library.path or
 * com.ovaro.sepa.library: the jar finds its native library by itself. Checks an IBAN,
 * converts German account data and renders a direct debit.
 */
public final class JarConsumer {
    public static void main(String[] args) {
        if (!SEPA.IBAN_check("DE89370400440532013000")) fail("valid IBAN refused");
        if (!"DE89370400440532013000".equals(SEPA.IBAN_convert("DE", "532013000", "37040044"))) {
            fail("conversion gave another IBAN");
        }
        SEPA.init(SEPA.INIT_RULEBOOK, "DE-3.5");
        try (SEPA dd = new SEPA(SEPA.MSGTYPE_DDI)) {
            dd.setIBAN("DE89370400440532013000").setBIC("COBADEFFXXX")
              .setName("Creditor Ltd").setCreditorIdentifier("DE98ZZZ09999999999");
            dd.add(Map.of("name", "Debtor", "iban", "AT611904300234573201", "amount", "12.50",
                          "seq", "FRST", "mref", "M-1", "mdate", "2024-01-31"));
            if (!dd.toXML().contains("<InstdAmt Ccy=\"EUR\">12.50</InstdAmt>")) fail("document lacks the amount");
        }
        System.out.println("ovaro-sepa works from the jar alone");
    }

    private static void fail(String why) {
        System.err.println("JarConsumer: " + why);
        System.exit(1);
    }
}
