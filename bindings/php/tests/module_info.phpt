--TEST--
Module "SEPA": version, phpinfo rows, constants, class and method signatures
--EXTENSIONS--
SEPA
--FILE--
<?php
var_dump(phpversion('SEPA'));
$ext = new ReflectionExtension('SEPA');
var_dump($ext->getFunctions());
echo implode(",", array_keys($ext->getClasses())), "\n";
foreach ($ext->getConstants() as $name => $value) {
    echo "$name=$value\n";
}
ob_start();
$ext->info();
echo trim(ob_get_clean()), "\n";

foreach (['SEPA', 'SEPAException', 'SEPAStatementParser'] as $class) {
    $rc = new ReflectionClass($class);
    echo $class, " extends ", $rc->getParentClass() ? $rc->getParentClass()->getName() : "-", "\n";
    foreach ($rc->getMethods() as $m) {
        if ($m->getDeclaringClass()->getName() !== $class) {
            continue;
        }
        $params = [];
        foreach ($m->getParameters() as $p) {
            $params[] = ($p->hasType() ? $p->getType() . " " : "") . ($p->isPassedByReference() ? "&" : "")
                . "$" . $p->getName() . ($p->isOptional() ? "?" : "");
        }
        printf("  %s%s(%s)%s\n", $m->isStatic() ? "static " : "", $m->getName(), implode(", ", $params),
            $m->hasReturnType() ? ": " . $m->getReturnType() : "");
    }
}
?>
--EXPECT--
string(4) "2.27"
array(0) {
}
SEPA,SEPAException,SEPAStatementParser
SEPA_DDTYPE_CORE=0
SEPA_DDTYPE_COR1=1
SEPA_DDTYPE_B2B=2
SEPA_MSGTYPE_CTI=2
SEPA_MSGTYPE_DDI=1
SEPA_INIT_RULEBOOK=3
SEPA_SCL_SCT=1
SEPA_SCL_SDD=2
SEPA_SCL_COR1=4
SEPA_SCL_B2B=8
SEPA_IBAN_REASON_NONE=0
SEPA_IBAN_REASON_COUNTRY=1
SEPA_IBAN_REASON_LENGTH=2
SEPA_IBAN_REASON_FORMAT=3
SEPA_IBAN_REASON_CHECK_DIGITS=4
SEPA_IBAN_REASON_BANK_CODE=5
SEPA_IBAN_REASON_ACCOUNT=6
SEPA_STMT_FORMAT_MT940=1
SEPA_STMT_FORMAT_CAMT=2
SEPA_STMT_FORMAT_AUTO=3
SEPA

ovaro => enabled
Version => 2.27
SEPA extends -
  __construct(int $type)
  setIBAN(string $iban): bool
  setBIC(string $bic): bool
  setName(string $name): bool
  setCreditorIdentifier(string $creditor_id): bool
  setDate(string $date): bool
  setDDType(int $type): bool
  setBatchBooking(bool $mode): bool
  setMessageId(string $message_id): bool
  setTransliteration(bool $on): bool
  setAddress(string $key, ?string $value): bool
  setInstant(bool $instant): bool
  add(array $transaction): bool
  toXML(): string
  static init(int $option, string $value): bool
  static IBAN_convert(string $country, string $account, string $bank_id, &$status?): ?string
  static IBAN_getBIC(string $iban): ?string
  static IBAN_check(string $iban): bool
  static IBAN_inspect(string $iban): ?array
  static IBAN_normalize(string $iban): ?string
  static IBAN_format(string $iban): ?string
  static BIC_getBankName(string $bic): ?string
  static BIC_getBankFlags(string $bic): ?int
SEPAException extends Exception
SEPAStatementParser extends -
  __construct()
  load(int $format, string $filename): bool
  getStatements(): ?array
