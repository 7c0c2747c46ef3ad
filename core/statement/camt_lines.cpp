#include "core/statement/camt_lines.h"

#include <cstring>

#include "core/frame/out_of_memory.h"
#include "core/frame/latin1_text.h"
#include "core/frame/text_checks.h"
#include "core/statement/stmt_arena.h"

void code_values::clear() {
    domain[0] = family[0] = subfamily[0] = '\0';
    proprietary.clear();
    charges_cents = 0;
    charges_currency[0] = '\0';
    charge_records = false;
    charges_total = amount_value{};
    instructed = amount_value{};
}

void party_values::clear() {
    name.clear();
    iban.clear();
    account.clear();
    bic.clear();
    bank_code.clear();
}

void detail_values::clear() {
    codes.clear();
    for (std::string *text : {&end_to_end, &instruction_id, &servicer_ref, &mandate, &creditor_id, &remittance,
                              &creditor_ref, &purpose, &return_reason, &info, &ultimate_debtor, &ultimate_creditor})
        text->clear();
    amount = amount_value{};
    amount_detail = amount_value{};
    direction = 0;
    debtor.clear();
    creditor.clear();
}

void entry_values::clear() {
    codes.clear();
    ntry_ref.clear();
    servicer_ref.clear();
    info.clear();
    amount = amount_value{};
    direction = 0;
    reversal = false;
    status[0] = '\0';
    booked = tm{};
    value_date = tm{};
    batch_count = 0;
    used = 0;
    detail_open = false;
}

void entry_values::open_detail() {
    if (used == details.size()) details.emplace_back();
    else details[used].clear();
    ++used;
    detail_open = true;
}

namespace {

// Copies texts into the parser's arena; remembers a failure instead of checking
// every copy.
struct text_copier {
    stmt_arena *arena;
    bool failed = false;

    char *operator()(const std::string &text) {
        if (text.empty()) return nullptr;
        char *copy = arena_copy(arena, text.data(), text.size());
        if (copy == nullptr) failed = true;
        return copy;
    }
};

template <size_t N>
void fill_array(char (&array)[N], const char *text) {
    if (text == nullptr) return;
    size_t length = utf8_prefix_length(text, std::strlen(text), N - 1);
    std::memcpy(array, text, length);
    array[length] = '\0';
}

// A German proprietary code "NMSC+201+9310+997": transaction type after the first
// letter, business transaction code, (journal number, set by the caller,) text
// key extension.
void german_code(sepa_stmt_tx_t *tx, const char *code) {
    if (code == nullptr) return;
    size_t length = std::strlen(code);
    const char *plus = std::strchr(code, '+');
    size_t head = plus != nullptr ? static_cast<size_t>(plus - code) : length;
    if (head == 4) {
        std::memcpy(tx->code, code + 1, 3);
        tx->code[3] = '\0';
    }
    if (plus == nullptr) return;
    const char *parts[3] = {plus + 1, nullptr, nullptr};
    size_t lengths[3] = {0, 0, 0};
    for (int i = 0; i < 3 && parts[i] != nullptr; ++i) {
        const char *next = std::strchr(parts[i], '+');
        lengths[i] = next != nullptr ? static_cast<size_t>(next - parts[i]) : std::strlen(parts[i]);
        if (next != nullptr && i < 2) parts[i + 1] = next + 1;
    }
    auto number = [](const char *text, size_t count) {
        if (count == 0 || count > 3) return 0;
        int value = 0;
        for (size_t i = 0; i < count; ++i) {
            if (text[i] < '0' || text[i] > '9') return 0;
            value = value * 10 + (text[i] - '0');
        }
        return value;
    };
    tx->gvc = number(parts[0], lengths[0]);
    if (parts[2] != nullptr) tx->extcode = number(parts[2], lengths[2]);
}

const code_values &codes_of(const entry_values &entry, const detail_values *detail) {
    if (detail != nullptr && (detail->codes.domain[0] != '\0' || !detail->codes.proprietary.empty()))
        return detail->codes;
    return entry.codes;
}

void put_charges(sepa_stmt_tx_t *tx, const code_values &codes) {
    if (codes.charge_records) {
        tx->charges_cents = codes.charges_cents;
        std::memcpy(tx->charges_currency, codes.charges_currency, 4);
    } else if (codes.charges_total.set) {
        tx->charges_cents = codes.charges_total.cents < 0 ? -codes.charges_total.cents : codes.charges_total.cents;
        std::memcpy(tx->charges_currency, codes.charges_total.currency, 4);
    }
}

bool has_charges(const code_values &codes) { return codes.charge_records || codes.charges_total.set; }

}  // namespace

// Over the size threshold for now: splitting the field mapping into smaller steps is open work.
// NOLINTNEXTLINE(readability-function-size)
bool emit_entry_lines(sepa_stmt_parser_t *parser, sepa_stmt_t *stmt, const entry_values &entry, char *error,
                      size_t error_size) {
    if (stmt == nullptr) return true;
    text_copier copy{&parser->arena};
    size_t lines = entry.used > 0 ? entry.used : 1;
    int entry_sign = entry.direction < 0 ? -1 : 1;
    int64_t entry_cents = entry.amount.cents * entry_sign;
    char *ntry_ref = copy(entry.ntry_ref);
    char *entry_servicer_ref = copy(entry.servicer_ref);
    char *entry_info = copy(entry.info);
    for (size_t i = 0; i < lines; ++i) {
        const detail_values *d = entry.used > 0 ? &entry.details[i] : nullptr;
        auto *tx = static_cast<sepa_stmt_tx_t *>(arena_allocate(&parser->arena, sizeof(sepa_stmt_tx_t)));
        if (tx == nullptr) {
            copy.failed = true;
            break;
        }
        tx->valuta = entry.value_date;
        tx->booked = entry.booked;
        tx->reversal = entry.reversal ? 1 : 0;
        std::memcpy(tx->status, entry.status, sizeof tx->status);
        tx->entry_ref = ntry_ref;
        tx->entry_index = static_cast<uint32_t>(i + 1);
        tx->entry_tx_count = entry.batch_count > lines ? entry.batch_count : static_cast<uint32_t>(lines);
        tx->entry_amount_cents = entry_cents;

        // The amount: the entry's own for a single line, the detail's in a batch.
        int sign = d != nullptr && d->direction != 0 ? (d->direction < 0 ? -1 : 1) : entry_sign;
        const amount_value *amount = &entry.amount;
        if (lines > 1) amount = d->amount.set ? &d->amount : &d->amount_detail;
        tx->amount_cents = amount->cents * sign;
        tx->amount = amount->value * sign;
        std::memcpy(tx->currency, amount->set ? amount->currency : entry.amount.currency, 4);

        const code_values &codes = codes_of(entry, d);
        std::memcpy(tx->domain, codes.domain, 5);
        std::memcpy(tx->family, codes.family, 5);
        std::memcpy(tx->subfamily, codes.subfamily, 5);
        char *proprietary = copy(codes.proprietary);
        tx->bank_tx_code = proprietary;
        german_code(tx, proprietary);
        if (proprietary != nullptr) {
            // Journal number: the second "+" part, copied on its own.
            const char *first = std::strchr(proprietary, '+');
            const char *second = first != nullptr ? std::strchr(first + 1, '+') : nullptr;
            if (second != nullptr) {
                const char *third = std::strchr(second + 1, '+');
                size_t length = third != nullptr ? static_cast<size_t>(third - second - 1) : std::strlen(second + 1);
                tx->primanota = length > 0 ? copy(std::string(second + 1, length)) : nullptr;
            }
        }

        // Charges: a detail's own; those given only on the entry go to its first line.
        if (d != nullptr && has_charges(d->codes)) put_charges(tx, d->codes);
        else if (i == 0) put_charges(tx, entry.codes);
        const amount_value *original = nullptr;
        if (d != nullptr && d->codes.instructed.set) original = &d->codes.instructed;
        else if (lines == 1 && entry.codes.instructed.set) original = &entry.codes.instructed;
        if (original != nullptr) {
            tx->original_amount_cents = original->cents < 0 ? -original->cents : original->cents;
            std::memcpy(tx->original_currency, original->currency, 4);
        }

        tx->bankref = entry_servicer_ref;
        tx->txtext = entry_info;
        if (d != nullptr) {
            if (!d->servicer_ref.empty()) tx->bankref = copy(d->servicer_ref);
            if (!d->info.empty()) tx->txtext = copy(d->info);
            char *end_to_end = copy(d->end_to_end);
            tx->eref = end_to_end;
            tx->end_to_end_id = end_to_end;
            tx->ref = end_to_end != nullptr ? end_to_end : copy(d->instruction_id);
            tx->mref = copy(d->mandate);
            tx->cred = copy(d->creditor_id);
            tx->svwz = copy(d->remittance);
            tx->purp = copy(d->purpose);
            tx->abwa = copy(d->ultimate_debtor);
            tx->abwe = copy(d->ultimate_creditor);
            tx->creditor_ref = copy(d->creditor_ref);
            tx->return_reason = copy(d->return_reason);

            // The counterparty: the debtor of a credit, the creditor of a debit (the
            // other way round for a reversal). When that side is missing or is the
            // statement's own account (a returned direct debit names the account
            // holder as creditor), the other side is taken.
            bool credit = (sign > 0) != entry.reversal;
            const party_values *party = credit ? &d->debtor : &d->creditor;
            const party_values *other = credit ? &d->creditor : &d->debtor;
            auto own = [stmt](const party_values *p) {
                return stmt->account != nullptr && !p->iban.empty() && p->iban == stmt->account;
            };
            if ((party->empty() || own(party)) && !other->empty() && !own(other)) party = other;
            char *name = copy(party->name);
            char *account = copy(party->iban.empty() ? party->account : party->iban);
            char *bank = copy(party->bic.empty() ? party->bank_code : party->bic);
            tx->name_full = name;
            tx->account_full = account;
            tx->bank_full = bank;
            fill_array(tx->name, name);
            fill_array(tx->account, account);
            fill_array(tx->bank, bank);
        }
        if (copy.failed) break;

        if (stmt->tx_tail != nullptr) stmt->tx_tail->next = tx;
        else stmt->tx_head = tx;
        stmt->tx_tail = tx;
        ++stmt->tx_count;
    }
    if (copy.failed) {
        format_text(error, error_size, "%s", out_of_memory_text);
        return false;
    }
    return true;
}
