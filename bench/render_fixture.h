// Messages of ordinary transactions for the rendering benchmark and the memory
// driver, built through the public C interface.
#pragma once

#include <cstdio>

#include "sepa.h"

// A direct debit (a club's members) or a credit transfer (a payroll) of `count`
// transactions; with `distinct_dates` every transaction gets a date of its own.
// NULL when a call fails.
inline sepa_t *build_render_fixture(int type, int count, bool distinct_dates) {
    sepa_init(SEPA_INIT_RULEBOOK, "DE-3.5");
    sepa_t *m = sepa_new(type);
    if (m == nullptr) return nullptr;
    bool ok = sepa_setIBAN(m, "DE89370400440532013000") && sepa_setBIC(m, "COBADEFFXXX") &&
              sepa_setName(m, "Sportverein Musterstadt e.V.") && sepa_setDate(m, "2025-03-03") &&
              sepa_setMessageId(m, "BENCH-0001");
    if (type == SEPA_MSGTYPE_DDI) ok = ok && sepa_setCreditorIdentifier(m, "DE98ZZZ09999999999");
    static const char *const sequences[] = {"FRST", "RCUR", "OOFF", "FNAL"};
    char id[32], name[64], amount[32], mref[32], ref[64], date[16];
    for (int i = 0; ok && i < count; ++i) {
        snprintf(id, sizeof id, "E2E-%08d", i);
        snprintf(name, sizeof name, "Mitglied %d M\xC3\xBCller & Sohn", i);
        snprintf(amount, sizeof amount, "%d.%02d", 10 + i % 1000, i % 100);
        snprintf(mref, sizeof mref, "MANDATE-%08d", i);
        snprintf(ref, sizeof ref, "Mitgliedsbeitrag 2025 Nr. %d", i);
        snprintf(date, sizeof date, "%04d-%02d-%02d", 2030 + i / 336, 1 + i / 28 % 12, 1 + i % 28);
        const sepa_kvpair_t dd[] = {{"id", id},
                                    {"name", name},
                                    {"iban", "DE02120300000000202051"},
                                    {"bic", i % 3 == 0 ? "BYLADEM1001" : "COBADEFFXXX"},
                                    {"amount", amount},
                                    {"seq", sequences[i % 4]},
                                    {"mref", mref},
                                    {"mdate", "2024-01-15"},
                                    {"ref", ref},
                                    {distinct_dates ? "date" : nullptr, date},
                                    {nullptr, nullptr}};
        const sepa_kvpair_t ct[] = {
            {"id", id},         {"name", name}, {"iban", "DE02120300000000202051"},        {"bic", "BYLADEM1001"},
            {"amount", amount}, {"ref", ref},   {distinct_dates ? "date" : nullptr, date}, {nullptr, nullptr}};
        ok = sepa_add(m, type == SEPA_MSGTYPE_DDI ? dd : ct) == 1;
    }
    if (!ok) {
        fprintf(stderr, "building the message failed: %s\n", sepa_getError(m) ? sepa_getError(m) : "");
        sepa_free(m);
        return nullptr;
    }
    return m;
}
