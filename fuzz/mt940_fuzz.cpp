// Loads arbitrary bytes as an MT940 file through the public interface and walks
// every statement and line, reading every text the records point to.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

#include "sepa.h"

namespace {

// One temporary file per process, rewritten for every input; in memory when the
// system offers /dev/shm.
const char *input_path() {
    static std::string path = [] {
        char name[] = "/dev/shm/sepa_mt940_fuzz_XXXXXX";
        int fd = mkstemp(name);
        if (fd < 0) {
            std::strcpy(name, "/tmp/sepa_mt940_fuzz_XXXXXX");
            fd = mkstemp(name);
        }
        if (fd < 0) std::abort();
        close(fd);
        return std::string(name);
    }();
    return path.c_str();
}

struct cleanup_file {
    ~cleanup_file() { unlink(input_path()); }
} remove_at_exit;

size_t touch(const char *text) { return text == nullptr ? 0 : std::strlen(text); }

size_t touch_fixed(const char *array, size_t size) {
    size_t length = strnlen(array, size);
    if (length == size) std::abort();  // fixed arrays are always NUL-terminated
    return length;
}

size_t walk(const sepa_stmt_t *stmt) {
    size_t sum = 0;
    for (; stmt != nullptr; stmt = stmt->next) {
        sum += touch(stmt->ref) + touch(stmt->account) + stmt->number + stmt->page;
        sum += touch_fixed(stmt->open_currency, sizeof stmt->open_currency);
        sum += touch_fixed(stmt->close_currency, sizeof stmt->close_currency);
        sum += static_cast<size_t>(stmt->open_date.tm_mday + stmt->close_date.tm_year);
        sum += stmt->open_saldo != stmt->close_saldo;
        const sepa_stmt_tx_t *last = nullptr;
        for (const sepa_stmt_tx_t *tx = stmt->tx_head; tx != nullptr; tx = tx->next) {
            sum += touch(tx->ref) + touch(tx->bankref) + touch(tx->txtext) + touch(tx->primanota);
            sum += touch(tx->purpose) + touch(tx->eref) + touch(tx->kref) + touch(tx->mref);
            sum += touch(tx->cred) + touch(tx->debt) + touch(tx->purp) + touch(tx->coam);
            sum += touch(tx->oamt) + touch(tx->svwz) + touch(tx->abwa) + touch(tx->abwe);
            sum += touch_fixed(tx->code, sizeof tx->code) + touch_fixed(tx->bank, sizeof tx->bank);
            sum += touch_fixed(tx->account, sizeof tx->account);
            sum += touch_fixed(tx->name, sizeof tx->name);
            sum += static_cast<size_t>(tx->gvc + tx->extcode + tx->reversal);
            sum += static_cast<size_t>(tx->valuta.tm_mon + tx->booked.tm_mday);
            sum += tx->amount > 0;
            last = tx;
        }
        if (last != stmt->tx_tail) std::abort();
    }
    return sum;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    FILE *file = std::fopen(input_path(), "wb");
    if (file == nullptr) return 0;
    if (size > 0 && std::fwrite(data, 1, size, file) != size) {
        std::fclose(file);
        return 0;
    }
    std::fclose(file);

    sepa_stmt_parser_t *parser = sepa_stmt_parser_new();
    if (parser == nullptr) return 0;
    int loaded = sepa_stmt_parser_load(parser, SEPA_STMT_FORMAT_MT940, input_path());
    if (loaded != 1 && sepa_stmt_parser_getStatement(parser) != nullptr) std::abort();
    volatile size_t sink = walk(sepa_stmt_parser_getStatement(parser));
    (void)sink;
    (void)touch(sepa_stmt_parser_getError(parser));
    if (sepa_stmt_parser_load(parser, SEPA_STMT_FORMAT_MT940, input_path()) != 0) std::abort();
    sepa_stmt_parser_free(parser);
    return 0;
}
