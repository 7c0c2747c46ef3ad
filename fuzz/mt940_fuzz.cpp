// Loads arbitrary bytes as an MT940 file through the public interface and walks
// every statement and line, reading every text the records point to.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

#include "fuzz/statement_walk.h"
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
