// German account data to IBAN with input-derived account numbers and bank codes.
// Layout: byte 0 selector bits, bytes 1-2 an index into the list of real bank codes
// below, then up to three fields separated by line feeds: account number, bank code
// (used instead of the list when selector bits 0-1 are zero) and country (used when
// selector bit 6 is set). The list holds banks of every IBAN rule the directory
// uses, banks with successors and one bank of each check-digit method, so that the
// rules are reached.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "input_fields.h"
#include "sepa.h"

namespace {

const char *const bank_codes[] = {
    "10060198", "52411000", "82060197", "10050000", "10040000", "48040060", "87080000", "70150000", "37050198",
    "10020200", "70220200", "50050201", "50050222", "32050000", "50850049", "40050000", "44050000", "30060601",
    "37060193", "37060194", "37160087", "38060186", "39060180", "10070000", "47270024", "87070424", "36020030",
    "43060967", "26590025", "36060295", "35060190", "35060199", "32060362", "25050299", "51210800", "51210803",
    "10020890", "71121176", "87020088", "70020270", "60020290", "79020076", "21050000", "20110700", "25090300",
    "28591579", "25621327", "28022511", "29121731", "62220000", "10000000", "55000000", "87000000", "68050101",
    "25020600", "10033300", "86033300", "30060010", "57060000", "28252760", "60050101", "55050000", "86050000",
    "50810900", "13061088", "13061128", "13091084", "26760005", "28069293", "28069755", "28562863", "31062553",
    "36060192", "37069302", "10010010", "10030700", "10080000", "10090900", "10110600", "10120100", "10130800",
    "10220500", "10220600", "12030900", "12096597", "13050000", "13051042", "13061008", "16062008", "20030000",
    "20030400", "20069125", "20090700", "20120400", "20190109", "21050170", "21051275", "21352240", "21450000",
    "21750000", "22151730", "25050000", "25050180", "25950001", "26851620", "27020000", "27290087", "29050000",
    "30020900", "30022000", "30030100", "30030500", "30524400", "35060386", "36050105", "36060488", "37050299",
    "38621500", "40351060", "42050001", "45050001", "50010517", "50010700", "50120383", "50310400", "50324000",
    "51420200", "52420600", "53250000", "54051660", "57020500", "57090000", "59050101", "59051090", "59252046",
    "60020030", "65110200", "66090800", "66350036", "66661454", "66690000", "67230000", "70013000", "70090100",
    "70120500", "72012300", "74290100", "76026000", "76450000", "80053762", "86055592", "79364406", "50040033",
    "26580070", "50080000", "50089400", "50540028", "72040046", "23040022", "12040000", "50040000", "70040041",
    "37080040", "15080000", "12080000", "21080050", "20041111", "51020000", "68351976", "33060616", "50130100",
    "36220030", "64150182", "13091054", "54520071", "20050000", "60651070", "20133300", "99999999", "70080056",
    "50070010", "70070010", "61450191", "62250182", "61150185", "28023325", "43000000", "65440087", "76220073",
    "66020286", "85020086", "10045050", "70045050", "10120760", "79020325", "70020001", "76020214", "63020450",
    "66020150", "72020270", "40060000", "10010111", "86010111", "16010111", "20010111", "21010111", "22010111",
    "23010111", "25010111", "25410111", "25910111", "26010111", "26510111", "27010111", "28010111", "29010111",
    "29210111", "30010111", "31010111", "33010111", "35010111", "35211012", "36010111", "36210111", "37010111",
    "38010111", "39010111", "40010111", "41010111", "42010111", "42610112", "43010111", "44010111", "46010111",
    "48010111", "50010111", "50510111", "51010111", "51310111",
};
constexpr size_t bank_code_count = sizeof bank_codes / sizeof bank_codes[0];

bool is_digits(const char *text, size_t min, size_t max) {
    const size_t length = std::strlen(text);
    if (length < min || length > max) return false;
    for (size_t i = 0; i < length; ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
    }
    return true;
}

bool known_status(uint8_t status) {
    switch (status) {
    case 0:
    case 1:
    case 10:
    case 11:
    case 12:
    case 13:
    case 15:
    case 50: return true;
    default: return false;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 3) return 0;
    const uint8_t select = data[0];
    const size_t index = (static_cast<size_t>(data[1]) << 8 | data[2]) % bank_code_count;
    const std::vector<std::string> fields = split_fields(data, size, 3, 3);

    // c_str() ends each text at its first NUL byte, as a C caller's text would.
    const char *account = fields[0].c_str();
    const char *bank_code = (select & 0x03) == 0 ? fields[1].c_str() : bank_codes[index];
    const char *country = (select & 0x40) != 0 ? fields[2].c_str() : "DE";
    if ((select & 0x80) != 0) account = nullptr;

    char iban[35];
    std::memset(iban, 0x5A, sizeof iban);
    char status = 0x5A;
    const int result = sepa_iban_convert(country, account, bank_code, iban, &status);
    if (result != 1 && result != 0 && result != -1 && result != -3) std::abort();
    if (!known_status(static_cast<uint8_t>(status))) std::abort();

    const bool german = std::strcmp(country, "DE") == 0;
    if (!german && result != 0) std::abort();
    const bool well_formed = account != nullptr && is_digits(account, 1, 10) && is_digits(bank_code, 8, 8);
    if (german && !well_formed && result != -1) std::abort();

    if (result == 1) {
        if (strnlen(iban, sizeof iban) != 22 || std::strncmp(iban, "DE", 2) != 0) std::abort();
        for (size_t i = 22; i < sizeof iban; ++i) {
            if (iban[i] != '\0') std::abort();  // NUL-padded to 35 bytes
        }
        if (sepa_iban_check(iban) != 1) std::abort();
        if (status == 0) {
            // Nothing replaced: the IBAN holds the bank code and the padded account.
            const std::string padded = std::string(10 - std::strlen(account), '0') + account;
            if (std::strncmp(iban + 4, bank_code, 8) != 0 || padded.compare(0, 10, iban + 12, 10) != 0) std::abort();
        }
    } else if (iban[0] != '\0') {
        std::abort();
    }

    // The optional outputs change nothing, and a second run gives the same IBAN.
    char again[35];
    char again_status = 0;
    if (sepa_iban_convert(country, account, bank_code, nullptr, nullptr) != result) std::abort();
    if (sepa_iban_convert(country, account, bank_code, nullptr, &again_status) != result) std::abort();
    if (again_status != status) std::abort();
    if (sepa_iban_convert(country, account, bank_code, again, nullptr) != result) std::abort();
    if (result == 1 && std::memcmp(again, iban, sizeof iban) != 0) std::abort();
    return 0;
}
