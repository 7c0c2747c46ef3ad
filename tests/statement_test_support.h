// Helpers of the statement tests: files of given bytes, a parser that owns one
// load, and the records as lists and texts.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "sepa.h"

namespace {

inline std::string read_bytes(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

// A file in /tmp holding the given bytes, removed again at the end of the test.
class temp_file {
public:
    explicit temp_file(const std::string &bytes = std::string()) {
        char name[] = "/tmp/statement_test_XXXXXX";
        int fd = mkstemp(name);
        EXPECT_GE(fd, 0);
        path_ = name;
        if (!bytes.empty()) {
            EXPECT_EQ(write(fd, bytes.data(), bytes.size()), ssize_t(bytes.size()));
        }
        close(fd);
    }
    ~temp_file() { unlink(path_.c_str()); }
    const char *path() const { return path_.c_str(); }

private:
    std::string path_;
};

// A parser that owns one load.
class loaded {
public:
    explicit loaded(const char *path, int format = SEPA_STMT_FORMAT_MT940) : parser_(sepa_stmt_parser_new()) {
        result_ = sepa_stmt_parser_load(parser_, format, path);
    }
    ~loaded() { sepa_stmt_parser_free(parser_); }
    loaded(const loaded &) = delete;
    loaded &operator=(const loaded &) = delete;
    int result() const { return result_; }
    std::string error() const { return sepa_stmt_parser_getError(parser_); }
    sepa_stmt_parser_t *parser() const { return parser_; }
    std::vector<sepa_stmt_t *> statements() const {
        std::vector<sepa_stmt_t *> all;
        for (sepa_stmt_t *s = sepa_stmt_parser_getStatement(parser_); s != nullptr; s = s->next) all.push_back(s);
        return all;
    }

private:
    sepa_stmt_parser_t *parser_;
    int result_ = 0;
};

inline std::vector<sepa_stmt_tx_t *> lines_of(const sepa_stmt_t *stmt) {
    std::vector<sepa_stmt_tx_t *> all;
    for (sepa_stmt_tx_t *tx = stmt->tx_head; tx != nullptr; tx = tx->next) all.push_back(tx);
    return all;
}

inline std::string date_text(const struct tm &date) {
    if (date.tm_year == 0 && date.tm_mon == 0 && date.tm_mday == 0) return "";
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", date.tm_year + 1900, date.tm_mon + 1, date.tm_mday);
    return buffer;
}

}  // namespace
