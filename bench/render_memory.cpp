// Peak memory of rendering: builds a message of N ordinary transactions through the
// public C interface, renders it once and prints the document size and what the
// process holds beyond it per transaction (the message and the rendering together,
// after a warm-up),
// and the rendering's speed in CPU time (a single measurement; the benchmark
// xml_bench repeats it).
//   render_memory dd|ct N
#include <time.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "render_fixture.h"

namespace {

// Resident and peak resident set in bytes, from /proc/self/status.
long long status_bytes(const char *field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    const size_t length = std::strlen(field);
    while (std::getline(status, line))
        if (line.compare(0, length, field) == 0) return std::atoll(line.c_str() + length + 1) * 1024;
    return -1;
}

}  // namespace

int main(int argc, char **argv) {
    if (argc != 3 || (std::strcmp(argv[1], "dd") != 0 && std::strcmp(argv[1], "ct") != 0)) {
        std::fprintf(stderr, "usage: render_memory dd|ct TRANSACTIONS\n");
        return 2;
    }
    const int type = std::strcmp(argv[1], "dd") == 0 ? SEPA_MSGTYPE_DDI : SEPA_MSGTYPE_CTI;
    const int count = std::atoi(argv[2]);
    // A message of one transaction first, rendered and freed: the library's code and
    // reference data it pages in are the same for any size and are not counted.
    if (sepa_t *warm_up = build_render_fixture(type, 1, false)) {
        std::free(sepa_toXML(warm_up));
        sepa_free(warm_up);
    }
    const long long before = status_bytes("VmRSS:");
    sepa_t *m = build_render_fixture(type, count, false);
    if (m == nullptr) return 1;
    const long long built = status_bytes("VmRSS:");
    timespec start{}, end{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &start);
    char *doc = sepa_toXML(m);
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &end);
    const double seconds = static_cast<double>(end.tv_sec - start.tv_sec) + (end.tv_nsec - start.tv_nsec) / 1e9;
    if (doc == nullptr) {
        std::fprintf(stderr, "%s\n", sepa_getError(m));
        return 1;
    }
    const long long size = static_cast<long long>(std::strlen(doc));
    const long long peak = status_bytes("VmHWM:");
    std::printf(
        "%s %d transactions: document %.1f MB, rendered at %.0f MB/s (CPU time); message %.0f B/tx; "
        "peak beyond the document %.0f B/tx\n",
        argv[1], count, size / 1e6, size / 1e6 / seconds, static_cast<double>(built - before) / count,
        static_cast<double>(peak - before - size) / count);
    std::free(doc);
    sepa_free(m);
    return 0;
}
