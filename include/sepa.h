/*
 * sepa.h - C interface of the SEPA payments library.
 *
 * IBAN and German account checks, bank lookups by bank code and BIC, German
 * account-to-IBAN conversion, SEPA credit-transfer and direct-debit orders
 * rendered as ISO 20022 XML (pain.001 / pain.008), and MT940 and camt statement
 * parsing.
 *
 * Conventions:
 *  - All texts are NUL-terminated UTF-8. Every text passed in is copied; the
 *    library never keeps a caller's pointer.
 *  - Every result has a name. Handle operations return SEPA_OK (1) or SEPA_FAILED
 *    (0). Checks, lookups and conversion return 1 for success, 0 for "not
 *    supported" and negative values for failures; their names carry the family
 *    (SEPA_ACCOUNT_*, SEPA_IBAN_*, SEPA_BANK_*, SEPA_CONVERT_*), because a value
 *    means different things in different families (-3 is "out of memory" for a
 *    bank lookup but "bank code not in the directory" for a conversion). Every
 *    family names its success _OK, its 0 _UNSUPPORTED and its failures _ERR_*.
 *  - Everything a caller must release with free() is allocated with malloc():
 *    documents from sepa_toXML and sepa_bankinfo_t blocks. Error texts belong to
 *    their handle and are never freed by the caller.
 *  - Checks, lookups and conversion are reentrant. A handle (sepa_t or parser) is
 *    used by one thread at a time. sepa_init and sepa_cleanup change process-wide
 *    state and must not run concurrently with other calls.
 */
#ifndef SEPA_H
#define SEPA_H

#include <stddef.h>
#include <stdint.h>
#include <time.h>

#include "sepa_version.h"

/*
 * SEPA_API marks the library's interface. The library's own build defines
 * SEPA_BUILDING_LIBRARY and exports it; a program that uses the library imports
 * it (on Windows from the DLL, unless it defines SEPA_STATIC to link a static
 * copy). On GCC and Clang the library is built with hidden visibility, and only
 * SEPA_API declarations are visible.
 */
#if defined(_WIN32)
#if defined(SEPA_BUILDING_LIBRARY)
#define SEPA_API __declspec(dllexport)
#elif defined(SEPA_STATIC)
#define SEPA_API
#else
#define SEPA_API __declspec(dllimport)
#endif
#elif defined(__GNUC__)
#define SEPA_API __attribute__((visibility("default")))
#else
#define SEPA_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* ======================================================================== */
/* Library frame: rulebook, cleanup, version                                 */
/* ======================================================================== */

/* Option of sepa_init that selects the SEPA rulebook by name. */
#define SEPA_INIT_RULEBOOK 3

/* Results of the handle operations: sepa_init, the setters, sepa_add and
 * sepa_stmt_parser_load. */
#define SEPA_OK 1
#define SEPA_FAILED 0

/*
 * Version of the library that is running: sepa_version_int is SEPA_VERSION_NUMBER
 * (22700 for 2.27) and sepa_version_str SEPA_VERSION_STRING ("2.27") of the build.
 * Compare them with the SEPA_VERSION_* macros of sepa_version.h to find the
 * version a program was compiled against. Exported data.
 */
extern SEPA_API const int sepa_version_int;
extern SEPA_API const char *sepa_version_str;

/*
 * Selects the process-wide SEPA rulebook. With option SEPA_INIT_RULEBOOK, value
 * is one of "DE-2.6", "DE-2.7", "AT-6", "NL-6", "DE-2.8", "DE-2.9", "DE-3.0",
 * "DE-3.1", "DE-3.5", "DE-3.7", "DE-3.8", "DE-3.9", "DE-26.11" (case-sensitive).
 * Returns SEPA_OK on success; SEPA_FAILED for an unknown option, a NULL value or an
 * unknown name (the rulebook stays as it was).
 * The rulebook decides character sets, COR1 permission, required data and the
 * schema version of rendered documents, for all existing and future messages.
 * Without a call, the first sepa_new picks the rulebook from the local date:
 * "DE-26.11" from 15 November 2026 on, "DE-3.5" from 21 December 2021, "DE-3.1"
 * before.
 */
SEPA_API int sepa_init(int option, const char *value);

/*
 * Name of the current rulebook ("DE-26.11" ...), a constant text of the library, or
 * NULL while none is chosen (before sepa_init and the first sepa_new).
 */
SEPA_API const char *sepa_getRulebook(void);

/*
 * Releases what the library compiles on first use and keeps between calls (at
 * present nothing: the BIC format is checked without a compiled pattern). The
 * library stays usable. Does not change the rulebook.
 */
SEPA_API void sepa_cleanup(void);

/* ======================================================================== */
/* Bank directory and BIC directory                                          */
/* ======================================================================== */

/* Reachability flags of a BIC (sepa_bankinfo_t.flags from sepa_bic_getBank). */
#define SEPA_SCL_SCT 1  /* SEPA credit transfer */
#define SEPA_SCL_SDD 2  /* SEPA core direct debit */
#define SEPA_SCL_COR1 4 /* COR1 direct debit */
#define SEPA_SCL_B2B 8  /* B2B direct debit */

/*
 * Bank information, one malloc() block: the five pointers point at strings packed
 * behind `flags` in the same block (NULL where the source has no such field).
 * Release it with one free().
 */
typedef struct sepa_bankinfo_t {
    const char *name;
    const char *zip;
    const char *city;
    const char *country;
    const char *bic;
    uint16_t flags;
} sepa_bankinfo_t;

/* Results of the bank lookups sepa_bankid_check, sepa_bic_getBank and
 * sepa_iban_getBank. */
#define SEPA_BANK_OK 1             /* found */
#define SEPA_BANK_UNSUPPORTED 0    /* country without a bank directory */
#define SEPA_BANK_ERR_IBAN (-1)    /* sepa_iban_getBank: the IBAN fails sepa_iban_check */
#define SEPA_BANK_ERR_UNKNOWN (-2) /* bank code or BIC not in the directory, or malformed */
#define SEPA_BANK_ERR_NOMEM (-3)   /* the sepa_bankinfo_t block cannot be allocated */

/*
 * Looks up a national bank code. country is "AT", "CH", "DE" or "LI" (exact, upper
 * case; "LI" codes are found among the Swiss entries); code is the national bank
 * code in digits, leading zeros optional. Returns SEPA_BANK_OK when found (and,
 * when info is not NULL, stores a new block with flags 0 in *info, to be freed by
 * the caller), SEPA_BANK_UNSUPPORTED for another country, SEPA_BANK_ERR_UNKNOWN
 * when the code is not in the directory (also empty, NULL, too long or malformed
 * codes), SEPA_BANK_ERR_NOMEM when the block cannot be allocated (*info
 * unchanged). With info NULL nothing is allocated.
 */
SEPA_API int sepa_bankid_check(const char *country, const char *code, sepa_bankinfo_t **info);

/*
 * Looks up a BIC of 8 or 11 characters (any case; 8 characters mean "XXX" branch).
 * Returns SEPA_BANK_OK when found (and, when info is not NULL, stores a new block
 * in *info holding name, country and the 11-character BIC, flags = SEPA_SCL_*
 * bits), SEPA_BANK_ERR_UNKNOWN when the BIC is unknown or malformed,
 * SEPA_BANK_ERR_NOMEM when the block cannot be allocated.
 */
SEPA_API int sepa_bic_getBank(const char *bic, sepa_bankinfo_t **info);

/* ======================================================================== */
/* German account checks                                                     */
/* ======================================================================== */

/* Results of sepa_account_check and sepa_account_check2. */
#define SEPA_ACCOUNT_OK 1             /* check digit right */
#define SEPA_ACCOUNT_OK_VARIANT2 2    /* right by the second variant of method "76" */
#define SEPA_ACCOUNT_UNSUPPORTED 0    /* no such method, or it does not check this account */
#define SEPA_ACCOUNT_ERR_INVALID (-1) /* check digit wrong, or the account malformed */

/*
 * Checks a German account number (1-10 digits, padded to ten with leading zeros)
 * with a check-digit method. method: the method byte whose two hex digits are the
 * method code (0x63 = "63", 0xA5 = "A5"); only the low 8 bits count, so a
 * sign-extended byte works too. Returns SEPA_ACCOUNT_OK check digit right;
 * SEPA_ACCOUNT_ERR_INVALID wrong, or account missing, empty, longer than ten
 * characters or holding a non-digit; SEPA_ACCOUNT_UNSUPPORTED no such method or
 * the method does not check this account (callers accept it);
 * SEPA_ACCOUNT_OK_VARIANT2 right by the second variant of method "76". Methods
 * 52, 53, B6 and C0 need the bank code: use sepa_account_check2
 * (sepa_account_check returns SEPA_ACCOUNT_UNSUPPORTED for them).
 * Allocates nothing; safe on any thread.
 */
SEPA_API int sepa_account_check(const char *account, int method);

/*
 * As sepa_account_check, with the bank code that methods 52, 53, B6 and C0 need.
 * A bank code that is NULL or not exactly 8 digits gives SEPA_ACCOUNT_ERR_INVALID,
 * whatever the method.
 */
SEPA_API int sepa_account_check2(const char *account, const char *bank_code, int method);

/* ======================================================================== */
/* IBAN check                                                                */
/* ======================================================================== */

/* Results of sepa_iban_check (sepa_iban_getBank gives SEPA_BANK_* results). */
#define SEPA_IBAN_OK 1
#define SEPA_IBAN_ERR_INVALID (-1)

/* Caller buffers: an IBAN of at most 34 characters and its NUL; a BIC of 11
 * characters and its NUL. */
#define SEPA_IBAN_BUFSIZE 35
#define SEPA_BIC_BUFSIZE 12

/*
 * Checks an IBAN in electronic form (no blanks, upper case) for use in SEPA
 * payments: a country of today's SEPA area (and the Faroe Islands and Greenland),
 * length, layout, ISO 7064 mod 97-10 check digits, and for German IBANs the bank code
 * (bank directory) and the account number (the bank's check-digit method).
 * Returns SEPA_IBAN_OK when valid, SEPA_IBAN_ERR_INVALID otherwise (also for
 * NULL). Keeps no error text.
 */
SEPA_API int sepa_iban_check(const char *iban);

/*
 * Looks up the bank of an IBAN (AT, CH, LI, DE). Returns SEPA_BANK_OK when found,
 * SEPA_BANK_UNSUPPORTED when the IBAN is valid but of another country,
 * SEPA_BANK_ERR_IBAN when it fails sepa_iban_check (so also a German IBAN whose
 * bank code is unknown), SEPA_BANK_ERR_UNKNOWN when the bank code of an Austrian,
 * Swiss or Liechtenstein IBAN is not in the directory, SEPA_BANK_ERR_NOMEM when
 * the block cannot be allocated.
 * When info is not NULL and the result is SEPA_BANK_OK, *info receives a new block
 * (flags 0) that the caller releases with free().
 */
SEPA_API int sepa_iban_getBank(const char *iban, sepa_bankinfo_t **info);

/* Reasons of sepa_iban_inspect (sepa_iban_info_t.reason), in the order checked. */
#define SEPA_IBAN_REASON_NONE 0         /* valid */
#define SEPA_IBAN_REASON_COUNTRY 1      /* first two characters name no IBAN country */
#define SEPA_IBAN_REASON_LENGTH 2       /* wrong length for the country */
#define SEPA_IBAN_REASON_FORMAT 3       /* a character does not fit the country's layout */
#define SEPA_IBAN_REASON_CHECK_DIGITS 4 /* ISO 7064 mod 97-10 check digits wrong */
#define SEPA_IBAN_REASON_BANK_CODE 5    /* German bank code not in the bank directory */
#define SEPA_IBAN_REASON_ACCOUNT 6      /* German account number fails its bank's method */

/* Further results of sepa_iban_inspect, sepa_iban_normalize and sepa_iban_format
 * (beside SEPA_IBAN_OK and SEPA_IBAN_ERR_INVALID). */
#define SEPA_IBAN_ERR_NULL (-2)    /* an argument is NULL; nothing written */
#define SEPA_IBAN_ERR_BUFSIZE (-3) /* the output buffer is too small; it holds "" */

/* Caller buffer of sepa_iban_format: a printed IBAN (34 characters in groups of
 * four) and its NUL. */
#define SEPA_IBAN_PRINT_BUFSIZE 43

/*
 * What sepa_iban_inspect finds out about an IBAN. The caller owns it (usually on
 * its stack); every text is a NUL-terminated array inside it ("" when unknown).
 */
typedef struct sepa_iban_info_t {
    int reason;              /* SEPA_IBAN_REASON_*, SEPA_IBAN_REASON_NONE when valid */
    const char *reason_text; /* constant text of the reason (the texts of the
                                IBAN check), NULL when valid; never freed */
    int sepa;                /* 1 when the country is in today's SEPA area */
    int eea;                 /* 1 when the country is in the EEA */
    char country[3];         /* country code (upper case) once the country is known */
    char check_digits[3];    /* the rest from here on once the layout is right */
    char bban[31];
    char bank_id[13];   /* bank identifier at the registry's position, "" if none */
    char branch_id[13]; /* branch identifier at the registry's position, "" if none */
    int bank_found;     /* 1 when the bank directory knows the bank code (AT,
                           CH, LI, DE; for DE also needed for validity) */
    int check_method;   /* German bank's check-digit method byte, -1 otherwise */
    char bank_bic[12];  /* bank fields, filled when bank_found is 1 */
    char bank_name[200];
    char bank_zip[16];
    char bank_city[200];
} sepa_iban_info_t;

/*
 * Inspects an IBAN in electronic form (use sepa_iban_normalize for the printed
 * form) against every country of the IBAN registry, SEPA or not: country, length,
 * layout, check digits and, for German IBANs, bank code and account number (the
 * checks of sepa_iban_check, minus the SEPA area). Fills *info as far as the
 * checks get. Returns SEPA_IBAN_OK when valid, SEPA_IBAN_ERR_INVALID when not
 * (info->reason says why), SEPA_IBAN_ERR_NULL when iban or info is NULL.
 * Allocates nothing; safe on any thread.
 */
SEPA_API int sepa_iban_inspect(const char *iban, sepa_iban_info_t *info);

/*
 * The electronic form of an IBAN given in printed form or lower case: an optional
 * leading "IBAN " (any case) and every space removed, letters upper-cased. Anything
 * but ASCII letters, digits and spaces is refused, as is a result that is empty or
 * longer than 34 characters; the IBAN itself is not checked. out (out_size bytes;
 * SEPA_IBAN_BUFSIZE always suffices) receives the NUL-terminated result, "" after
 * a failure. Returns SEPA_IBAN_OK done, SEPA_IBAN_ERR_INVALID refused,
 * SEPA_IBAN_ERR_NULL in or out NULL, SEPA_IBAN_ERR_BUFSIZE out_size too small.
 */
SEPA_API int sepa_iban_normalize(const char *in, char *out, size_t out_size);

/*
 * The printed form of an IBAN: the electronic form (as sepa_iban_normalize makes
 * it from `in`) in groups of four characters separated by single spaces. out
 * (out_size bytes; SEPA_IBAN_PRINT_BUFSIZE always suffices) receives it, "" after
 * a failure. Returns as sepa_iban_normalize.
 */
SEPA_API int sepa_iban_format(const char *in, char *out, size_t out_size);

/* ======================================================================== */
/* Payment messages                                                          */
/* ======================================================================== */

#define SEPA_MSGTYPE_DDI 1 /* direct debit (pain.008) */
#define SEPA_MSGTYPE_CTI 2 /* credit transfer (pain.001) */

#define SEPA_DDTYPE_CORE 0
#define SEPA_DDTYPE_COR1 1
#define SEPA_DDTYPE_B2B 2

/*
 * One payment message under construction. Create it with sepa_new, release it
 * with sepa_free. The fields are readable; change them only through the setters.
 */
typedef struct sepa_t {
    uint32_t type;             /* SEPA_MSGTYPE_DDI or SEPA_MSGTYPE_CTI, fixed at creation */
    const char *error;         /* text of the last failure, or NULL; never freed by the caller */
    char *iban;                /* IBAN of the initiating side (creditor of a DD, debtor of a CT) */
    char *bic;                 /* its BIC, upper case */
    char *name;                /* name of the initiating side, 1-70 bytes */
    char *creditor_id;         /* SEPA creditor identifier (direct debit) */
    char *date;                /* requested execution / collection date "yyyy-mm-dd" */
    char *message_id;          /* message identification, 1-35 characters */
    char error_buf[256];       /* storage for formatted error texts */
    uint32_t tx_count;         /* number of transactions added */
    double control_sum;        /* sum of the amounts of all transactions, in euro (nearest
                                  double; control_sum_cents is the exact figure) */
    int32_t dd_type;           /* SEPA_DDTYPE_CORE (default), _COR1 or _B2B */
    uint8_t batch_booking;     /* 0 or 1; 1 in a new message */
    void *tx_head;             /* first transaction (internal record) */
    void *tx_tail;             /* last transaction (internal record) */
    void *address;             /* postal address of the initiating side (internal record,
                                  set with sepa_setAddress), or NULL */
    uint8_t instant;           /* 1: SEPA Instant credit transfer (sepa_setInstant) */
    int64_t control_sum_cents; /* exact sum of the amounts of all transactions, in cents */
    uint8_t transliterate;     /* 1: names, address lines and remittance texts are converted
                                  to the SEPA character set (sepa_setTransliteration) */
} sepa_t;

/* One key-value pair of sepa_add; a list ends with a pair whose key is NULL. */
typedef struct sepa_kvpair_t {
    const char *key;
    const char *value;
} sepa_kvpair_t;

/*
 * Returns the text of the last failed operation on the message, or NULL when
 * none failed yet. A successful call does not clear it. For a NULL handle the
 * text "Invalid sepa_t handle (NULL)". The text belongs to the handle.
 */
SEPA_API const char *sepa_getError(const sepa_t *handle);

/*
 * Creates a message of type SEPA_MSGTYPE_DDI or SEPA_MSGTYPE_CTI (direct debits
 * start as CORE with batch booking on). Returns NULL for another type or when
 * memory is exhausted. The first call applies the date-based default rulebook
 * when sepa_init has not chosen one. Release the message with sepa_free.
 */
SEPA_API sepa_t *sepa_new(int type);

/* Frees a message and its transactions, overwriting their texts with zeros first.
 * NULL is ignored. */
SEPA_API void sepa_free(sepa_t *handle);

/* Setters of the initiating side. Each returns SEPA_OK on success, SEPA_FAILED on
 * failure (reason in sepa_getError; the previous value and everything else stay).
 * A NULL handle returns SEPA_FAILED. Texts are copied. sepa_setIBAN runs the IBAN check (sepa_iban_check);
 * sepa_setBIC stores the BIC in upper case; sepa_setName takes 1-70 bytes of the
 * rulebook's character set; sepa_setDate takes a real calendar date "yyyy-mm-dd";
 * sepa_setDDType is for direct debits only (COR1 only where the rulebook allows it);
 * sepa_setMessageId takes 1-35 ASCII letters, digits, space and ' ( ) + , - . / : ? */
SEPA_API int sepa_setIBAN(sepa_t *handle, const char *iban);
SEPA_API int sepa_setBIC(sepa_t *handle, const char *bic);
SEPA_API int sepa_setName(sepa_t *handle, const char *name);
SEPA_API int sepa_setCreditorIdentifier(sepa_t *handle, const char *creditor_id);
SEPA_API int sepa_setDate(sepa_t *handle, const char *date);     /* "yyyy-mm-dd" */
SEPA_API int sepa_setDDType(sepa_t *handle, int dd_type);        /* SEPA_DDTYPE_* */
SEPA_API int sepa_setBatchBooking(sepa_t *handle, uint8_t mode); /* 0 or 1 */
SEPA_API int sepa_setMessageId(sepa_t *handle, const char *message_id);

/*
 * Sets one part of the postal address of the initiating side (the debtor of a
 * credit transfer, the creditor of a direct debit), written as its PstlAdr. key is
 * one of the address keys of sepa_add (compared without regard to case): "addrDept",
 * "addrSubDept", "addrStreet", "addrBuildingNumber", "addrBuildingName", "addrFloor",
 * "addrPostBox", "addrRoom", "addrPostCode", "addrTown", "addrTownLocation",
 * "addrDistrict", "addrCountrySubDivision", "addrCC", "addrLine1", "addrLine2".
 * value is checked as sepa_add checks it; a NULL value removes that part.
 * Structured parts need a rulebook with structured addresses ("DE-3.7" and later).
 * Returns SEPA_OK on success, SEPA_FAILED on failure (reason in sepa_getError; the
 * address stays as it was) and for a NULL handle.
 */
SEPA_API int sepa_setAddress(sepa_t *handle, const char *key, const char *value);

/*
 * Marks a credit transfer as SEPA Instant (mode 1: local instrument INST) or not
 * (mode 0, the default). Instant needs a rulebook with pain.001.001.09 ("DE-3.7"
 * and later). Returns SEPA_OK on success; SEPA_FAILED for a direct debit ("Not a
 * credit transfer message"), a mode other than 0 or 1, a rulebook without SEPA
 * Instant, or a NULL handle.
 */
SEPA_API int sepa_setInstant(sepa_t *handle, int mode);

/*
 * Transliteration, off by default (mode 0): texts outside the rulebook's character
 * set are refused. With mode 1, the free texts passed afterwards (sepa_setName, and
 * the names, address lines and remittance texts of sepa_add) are first converted to
 * the SEPA character set the way the EPC advises: letters with diacritics lose them
 * (é -> e, ř -> r, ç -> c, ñ -> n), letters of their own take their Latin spelling
 * (ł -> l, ø -> o, æ -> ae, þ -> th), typographic apostrophes and dashes become ' and
 * -. Umlauts and ß stay where the rulebook admits them and become ae, oe, ue, ss
 * where it does not. Characters without a conversion (other scripts, symbols) are
 * still refused. Identifiers (end-to-end id, mandate references) are never
 * converted. Returns 1, or 0 for a mode other than 0 or 1 (reason in sepa_getError).
 */
#define SEPA_TRANSLITERATION_OFF 0
#define SEPA_TRANSLITERATION_ON 1
SEPA_API int sepa_setTransliteration(sepa_t *handle, int mode);

/*
 * Adds one transaction described by key-value pairs (keys compared without regard
 * to case; the list ends with a pair whose key is NULL; the values are copied).
 * Keys of both types: "name", "iban", "bic", "ref", "amount", "date", "id", and
 * the address keys of sepa_setAddress (structured ones from "DE-3.7" on; from
 * "DE-3.9" on an address needs "addrTown" and "addrCC"); credit transfers also
 * "purp"; direct debits also "seq" (frst, rcur, ooff, fnal), "mref", "mdate",
 * "old_mref", "old_iban", "smnda". A key the message type does not know is refused
 * ("Invalid transaction property 'key'"). An amount is written in one form: one or
 * more digits, optionally a full stop and at most two decimals ("60", "60.5",
 * "60.50"), above 0 and at most 999999999.99; blanks, signs, exponents and decimal
 * commas are refused with the value named ("Invalid amount '60,00' (...)"). Amounts
 * are kept as exact cents, and the control sums are their exact sums. Dates are
 * real calendar dates "yyyy-mm-dd". Every transaction needs
 * "iban", "name" and "amount"; a direct debit also "seq", "mref" and "mdate";
 * under "DE-2.6" also "bic"; from "DE-3.1" on a direct debit whose bank is
 * outside the EEA (by BIC, or without BIC by the IBAN's country) also an address
 * (a line or a town name). Returns SEPA_OK when accepted, SEPA_FAILED when refused
 * (reason in sepa_getError; the message is unchanged otherwise) and for a NULL
 * handle.
 */
SEPA_API int sepa_add(sepa_t *handle, const sepa_kvpair_t *pairs);

/* ======================================================================== */
/* XML output                                                                */
/* ======================================================================== */

/*
 * Renders the message as an ISO 20022 document (pain.008 for a direct debit,
 * pain.001 for a credit transfer) in the schema version of the current rulebook.
 * Returns a malloc()ed NUL-terminated text that the caller releases with free(),
 * or NULL on failure (reason in sepa_getError): no transactions, missing data of
 * the initiating side (IBAN, name; BIC and creditor identifier of a direct debit;
 * the debtor BIC of a credit transfer under "DE-2.6"), or a transaction that breaks
 * a rule of the current rulebook after a rulebook change (every rule sepa_add
 * applies: character sets, BIC, mandate-reference spaces, addresses; e.g. a
 * transaction without BIC under "DE-2.6", a mandate reference with a space before
 * "DE-3.0"). Under "DE-26.11" a credit transfer to a bank outside the EEA also
 * needs the debtor's own address with town and country (sepa_setAddress). A NULL
 * handle gives NULL. Fills in and keeps a default date (today, local time) and a
 * generated message id when unset, so renderings repeat them. Different messages
 * may be rendered on different threads at once.
 */
SEPA_API char *sepa_toXML(sepa_t *handle);

/* ======================================================================== */
/* German account data to IBAN, BIC of an IBAN                               */
/* ======================================================================== */

/* Results of sepa_iban_convert and sepa_iban_getBIC. */
#define SEPA_CONVERT_OK 1             /* IBAN formed, BIC found */
#define SEPA_CONVERT_UNSUPPORTED 0    /* another country, or an IBAN rule not supported */
#define SEPA_CONVERT_ERR_INVALID (-1) /* input NULL or malformed, or refused by the rule */
#define SEPA_CONVERT_ERR_UNKNOWN (-3) /* bank code (or its successor) not in the directory */

/* Status bytes of sepa_iban_convert: how the IBAN came about, or why none did. */
#define SEPA_IBAN_STATUS_PLAIN 0             /* formed from the data as given */
#define SEPA_IBAN_STATUS_ACCOUNT_REPLACED 1  /* the rule replaced the account number */
#define SEPA_IBAN_STATUS_BANK_UNKNOWN 10     /* bank code not in the directory */
#define SEPA_IBAN_STATUS_ACCOUNT_INVALID 11  /* the account check failed */
#define SEPA_IBAN_STATUS_NO_IBAN 12          /* the rule forbids an IBAN */
#define SEPA_IBAN_STATUS_SUCCESSOR 13        /* the successor bank's code was used */
#define SEPA_IBAN_STATUS_BANK_REPLACED 15    /* the rule replaced the bank code */
#define SEPA_IBAN_STATUS_ACCOUNT_EXCLUDED 50 /* the rule excludes this account */

/*
 * Converts German account data into the IBAN the bank would give, following the
 * bank's IBAN rule and successor. country must be "DE"; account 1-10 digits;
 * bank_code 8 digits. iban (may be NULL) receives the IBAN in SEPA_IBAN_BUFSIZE
 * bytes (NUL-padded; empty after a failure); status (may be NULL) receives one
 * SEPA_IBAN_STATUS_* byte. Returns SEPA_CONVERT_OK IBAN formed,
 * SEPA_CONVERT_UNSUPPORTED country not "DE" or rule not supported,
 * SEPA_CONVERT_ERR_INVALID country/account/bank_code NULL, malformed (wrong
 * length or not digits) or refused by the rule or the account check,
 * SEPA_CONVERT_ERR_UNKNOWN bank code (or its successor) not in the directory.
 */
SEPA_API int sepa_iban_convert(const char *country, const char *account, const char *bank_code, char *iban,
                               char *status);

/*
 * The BIC that belongs to an IBAN of AT, CH, LI or DE (electronic form, upper-case
 * prefix). bic must have room for SEPA_BIC_BUFSIZE bytes; it receives the
 * 11-character BIC (empty when the bank has none) and is all zero after a failure.
 * Returns SEPA_CONVERT_OK found, SEPA_CONVERT_UNSUPPORTED other country,
 * SEPA_CONVERT_ERR_INVALID wrong length for the country or iban/bic NULL (nothing
 * is written through a NULL bic), SEPA_CONVERT_ERR_UNKNOWN bank code not in the
 * directory.
 */
SEPA_API int sepa_iban_getBIC(const char *iban, char *bic);

/* ======================================================================== */
/* Account statements: MT940 and camt                                       */
/* ======================================================================== */

#define SEPA_STMT_FORMAT_MT940 1
#define SEPA_STMT_FORMAT_CAMT 2 /* camt.052/053/054 XML (001.02-001.08), or a ZIP archive of them */
#define SEPA_STMT_FORMAT_AUTO 3 /* MT940, camt XML or ZIP, recognised from the file's content */

/*
 * Limits of one load. A file or archive beyond them fails with a clear error and
 * the memory it took is released; nothing is read past them.
 *  - SEPA_STMT_MAX_FILE_BYTES: size of the file given to sepa_stmt_parser_load.
 *  - SEPA_STMT_MAX_XML_BYTES: camt XML read in one load, every document of a ZIP
 *    archive together (uncompressed), so a ZIP bomb stops at this size.
 *  - SEPA_STMT_MAX_ZIP_ENTRIES: documents in one ZIP archive.
 *  - SEPA_STMT_MAX_XML_DEPTH: element nesting of a camt document.
 *  - SEPA_STMT_MAX_XML_TEXT: bytes of text of one camt element.
 * camt documents are read as a stream: the memory a load takes grows with the
 * statements it keeps, not with the file. DTDs and entity declarations are
 * refused (no external entities, no entity expansion).
 */
#define SEPA_STMT_MAX_FILE_BYTES (512UL * 1024UL * 1024UL)
#define SEPA_STMT_MAX_XML_BYTES (512UL * 1024UL * 1024UL)
#define SEPA_STMT_MAX_ZIP_ENTRIES 10000
#define SEPA_STMT_MAX_XML_DEPTH 64
#define SEPA_STMT_MAX_XML_TEXT 65536

/* One statement line: an MT940 ":61:" with its field 86, or a camt booking.
 * A camt entry (Ntry) with at most one transaction detail (TxDtls) gives one
 * line; a batch entry with several TxDtls gives one line per TxDtls, in document
 * order, and each of those lines carries the entry's own amount and count
 * (entry_amount_cents, entry_tx_count) and its position (entry_index).
 * Texts belong to the parser and stay valid until it is freed; the caller never
 * frees them. Unset pointers are NULL, unset numbers 0, unset arrays empty.
 * Texts are UTF-8: an MT940 file that is not valid UTF-8 is read as ISO-8859-1
 * and converted; camt texts have their character references and entities
 * resolved. The fixed arrays bank, account and name hold at most their size
 * less one byte, cut at a character boundary; the full texts are in bank_full,
 * account_full and name_full.
 * camt mapping: ref = EndToEndId (else InstrId), bankref = AcctSvcrRef,
 * txtext = AddtlTxInf (else AddtlNtryInf), eref = EndToEndId, mref = MndtId,
 * cred = creditor scheme id, svwz = every Ustrd joined with a blank,
 * purp = Purp/Cd, abwa/abwe = ultimate debtor/creditor name, bank/account/name
 * = the debtor's on credits and the creditor's on debits, code/gvc/primanota
 * from a German BkTxCd/Prtry/Cd such as "NMSC+201+9310" (code "MSC", gvc 201,
 * primanota "9310"). */
typedef struct sepa_stmt_tx_t {
    struct tm valuta; /* value date (day, month 0-11, year since 1900 set) */
    struct tm booked; /* entry date, all zero when absent; its year is the value
                         date's, one more or less across the year end */
    char reversal;    /* 1 when the debit/credit mark starts with "R" */
    double amount;    /* signed: negative for debit entries ("D", and "RC", the
                         reversal of a credit), so that a statement's amounts
                         add up from opening to closing balance */
    char code[4];     /* transaction type code after "N" ("F", "S") */
    char *ref;        /* reference for the account owner */
    char *bankref;    /* bank reference after "//" */
    char *txtext;     /* posting text (subfield 00) */
    char *primanota;  /* journal number (subfield 10) */
    int32_t gvc;      /* business transaction code at the start of field 86 */
    int32_t extcode;  /* text key extension (subfield 34) */
    char bank[13];    /* counterparty bank code or BIC (subfield 30) */
    char account[35]; /* counterparty account or IBAN (subfield 31) */
    char name[56];    /* counterparty name (subfields 32 and 33) */
    char *purpose;    /* purpose lines before the first keyword, joined with
                         line feeds; the text of an unstructured field 86 */
    char *eref;       /* EREF+ end-to-end reference */
    char *kref;       /* KREF+ customer reference */
    char *mref;       /* MREF+ mandate reference */
    char *cred;       /* CRED+ creditor identifier */
    char *debt;       /* DEBT+ originator identifier */
    char *purp;       /* PURP+ purpose code */
    char *coam;       /* COAM+ compensation amount (decimal point) */
    char *oamt;       /* OAMT+ original amount (decimal point) */
    char *svwz;       /* SVWZ+ remittance text */
    char *abwa;       /* ABWA+ ultimate debtor */
    char *abwe;       /* ABWE+ ultimate creditor */
    struct sepa_stmt_tx_t *next;
    /* Fields below were added with camt; MT940 lines fill them where the file
     * has the data. */
    int64_t amount_cents;          /* amount in exact minor units (cents), signed as amount */
    char currency[4];              /* currency of amount: camt Amt Ccy; MT940 the statement's
                                      opening-balance currency */
    char status[5];                /* camt entry status "BOOK", "PDNG", "INFO"; MT940 empty */
    char domain[5];                /* ISO bank transaction code: domain (e.g. "PMNT") */
    char family[5];                /*   family (e.g. "RCDT") */
    char subfamily[5];             /*   sub-family (e.g. "ESCT") */
    uint32_t entry_index;          /* 1-based position of this line within its camt entry */
    uint32_t entry_tx_count;       /* lines (TxDtls) the camt entry was split into, or its
                                      batch NbOfTxs when larger; 1 for an MT940 line */
    int64_t entry_amount_cents;    /* signed amount of the whole camt entry (equal to
                                      amount_cents unless the entry is a batch) */
    int64_t charges_cents;         /* total of the charges reported for the line (camt
                                      Chrgs), positive; 0 when none */
    char charges_currency[4];      /* their currency, empty when none */
    char original_currency[4];     /* currency of original_amount_cents, empty when none */
    int64_t original_amount_cents; /* original (instructed) amount: camt AmtDtls/InstdAmt,
                                      MT940 OAMT+; positive, 0 when absent */
    const char *bank_full;         /* full counterparty bank (BIC or bank code); NULL when none */
    const char *account_full;      /* full counterparty account (IBAN or other id) */
    const char *name_full;         /* full counterparty name (camt: up to 140 characters) */
    const char *creditor_ref;      /* structured creditor reference (camt CdtrRefInf/Ref) */
    const char *bank_tx_code;      /* proprietary bank transaction code as given, e.g.
                                      "NMSC+201+9310" (camt BkTxCd/Prtry/Cd) */
    const char *return_reason;     /* return reason code of a returned payment (RtrInf/Rsn) */
    const char *end_to_end_id;     /* end-to-end id (camt EndToEndId, MT940 EREF+) */
    const char *entry_ref;         /* camt NtryRef of the entry */
    const char *supplementary;     /* MT940 supplementary details of ":61:": the line after
                                      it, and what follows a customer reference of 16
                                      characters on the ":61:" line itself */
} sepa_stmt_tx_t;

/* One statement: an MT940 statement (from ":20:" to its "-" line), or one camt
 * Stmt, Rpt or Ntfctn, with its lines in file order. A multi-page statement gives
 * one record per page (see page). camt mapping: ref = Id, account = IBAN (else
 * Othr/Id), number = ElctrncSeqNb, page = Pgntn/PgNb, opening balance from Bal
 * code OPBD (else PRCD), closing balance from CLBD; texts as for sepa_stmt_tx_t. */
typedef struct sepa_stmt_t {
    char *ref;            /* ":20:" transaction reference number */
    char *account;        /* ":25:" account identification */
    uint32_t number;      /* statement number (":28C:"), 0 when absent */
    uint32_t page;        /* sequence number after "/", 0 when absent */
    struct tm open_date;  /* ":60F:"/":60M:" date, all zero when absent */
    struct tm close_date; /* ":62F:"/":62M:" date, all zero when absent */
    double open_saldo;    /* signed opening balance */
    double close_saldo;   /* signed closing balance */
    char open_currency[4];
    char close_currency[4];
    sepa_stmt_tx_t *tx_head;
    sepa_stmt_tx_t *tx_tail;
    struct sepa_stmt_t *next;
    /* Fields below were added with camt. */
    int64_t open_cents;           /* open_saldo in exact minor units (cents) */
    int64_t close_cents;          /* close_saldo in exact minor units (cents) */
    const char *message_type;     /* "MT940", or the camt message and version from the
                                     namespace, e.g. "camt.053.001.08" */
    const char *message_id;       /* camt GrpHdr/MsgId */
    const char *created;          /* camt CreDtTm as written, e.g. "2025-11-03T08:00:00" */
    const char *account_currency; /* camt Acct/Ccy */
    const char *account_bic;      /* camt Acct/Svcr BIC */
    const char *owner_name;       /* camt Acct/Ownr name */
    uint32_t legal_number;        /* camt LglSeqNb, 0 when absent */
    uint32_t tx_count;            /* number of lines (sepa_stmt_tx_t records) */
    uint8_t has_open;             /* 1 when an opening balance was read */
    uint8_t has_close;            /* 1 when a closing balance was read */
} sepa_stmt_t;

/* Statement parser handle: one parser serves one load. */
typedef struct sepa_stmt_parser_t sepa_stmt_parser_t;

/* New parser, or NULL when memory is exhausted. Release with sepa_stmt_parser_free. */
SEPA_API sepa_stmt_parser_t *sepa_stmt_parser_new(void);

/* Frees the parser, its loaded text and every statement record. NULL is ignored. */
SEPA_API void sepa_stmt_parser_free(sepa_stmt_parser_t *parser);

/* Text of the last error (empty when none); for NULL "invalid sepa_stmt_parser_t handle". */
SEPA_API const char *sepa_stmt_parser_getError(const sepa_stmt_parser_t *parser);

/* Loads and parses the file at path. format: SEPA_STMT_FORMAT_MT940 (lines may
 * end with CR LF, LF or "@@"), SEPA_STMT_FORMAT_CAMT (one camt.052/053/054 XML
 * document, or a ZIP archive of them, loaded in archive order) or
 * SEPA_STMT_FORMAT_AUTO (any of these, recognised from the content). Only
 * regular files are read (a FIFO, device or directory fails at once; opening
 * never blocks). Returns SEPA_OK on success, SEPA_FAILED on failure (reason in
 * sepa_stmt_parser_getError; a failed load leaves no statement). A file holding
 * no statement of the format fails ("No MT940 statement in the file", "Not a
 * camt.052, camt.053 or camt.054 document", ...). A parser loads once. Damaged
 * MT940 content never fails the load: a statement whose value cannot be read ends
 * there, keeping what was read. A camt document that is not well-formed XML, or
 * breaks a limit above, fails the load. */
SEPA_API int sepa_stmt_parser_load(sepa_stmt_parser_t *parser, int format, const char *path);

/* First statement (follow ->next for the others), or NULL when there is none.
 * The records belong to the parser. */
SEPA_API sepa_stmt_t *sepa_stmt_parser_getStatement(sepa_stmt_parser_t *parser);

/* ======================================================================== */
/* Text encoding                                                             */
/* ======================================================================== */

/*
 * The text as UTF-8, for data that may hold ISO-8859-1 (Latin-1) bytes, such as
 * names from older systems before they go into a message, or statement texts
 * before they go into JSON or another UTF-8-only format. Well-formed UTF-8
 * sequences are kept as they are; every other byte (a stray continuation byte, an
 * overlong form, an encoded surrogate, a cut sequence) is read as the Latin-1
 * character of the same value. A text that is already UTF-8 comes back unchanged.
 * Returns a malloc()ed text the caller releases with free(), or NULL when text is
 * NULL or memory is exhausted. Safe on any thread.
 */
SEPA_API char *sepa_text_toUTF8(const char *text);

#ifdef __cplusplus
}
#endif

#endif /* SEPA_H */
