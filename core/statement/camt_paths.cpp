#include "core/statement/camt_paths.h"

#include <cstring>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace camt {

namespace {

// Where a path of the table starts.
enum class from : uint8_t { message, statement, entry, detail, entry_or_detail };

struct path_row {
    from context;
    const char *path;  // element names separated by "/"; "|" lists alternatives
    slot value;
};

// The values the reader takes, by context. Versions 02 to 08 differ in a few
// places, all listed: v02 party names sit in Dbtr/Nm, later ones in Dbtr/Pty/Nm;
// BIC became BICFI; charges moved into Rcrd; the status got a Cd child.
constexpr path_row rows[] = {
    {from::message, "GrpHdr/MsgId", slot::message_id},
    {from::message, "GrpHdr/CreDtTm", slot::message_created},
    {from::message, "Stmt|Rpt|Ntfctn", slot::statement},

    {from::statement, "Id", slot::stmt_id},
    {from::statement, "ElctrncSeqNb", slot::stmt_number},
    {from::statement, "LglSeqNb", slot::stmt_legal_number},
    {from::statement, "CreDtTm", slot::stmt_created},
    {from::statement, "Pgntn/PgNb", slot::stmt_page},
    {from::statement, "Acct/Id/IBAN", slot::stmt_iban},
    {from::statement, "Acct/Id/Othr/Id", slot::stmt_other_account},
    {from::statement, "Acct/Ccy", slot::stmt_currency},
    {from::statement, "Acct/Ownr/Nm", slot::stmt_owner},
    {from::statement, "Acct/Svcr/FinInstnId/BIC|BICFI", slot::stmt_bic},
    {from::statement, "Bal", slot::balance},
    {from::statement, "Bal/Tp/CdOrPrtry/Cd", slot::bal_code},
    {from::statement, "Bal/Amt", slot::bal_amount},
    {from::statement, "Bal/CdtDbtInd", slot::bal_direction},
    {from::statement, "Bal/Dt/Dt|DtTm", slot::bal_date},
    {from::statement, "Ntry", slot::entry},

    {from::entry, "NtryRef", slot::ntry_ref},
    {from::entry, "Amt", slot::ntry_amount},
    {from::entry, "CdtDbtInd", slot::ntry_direction},
    {from::entry, "RvslInd", slot::ntry_reversal},
    {from::entry, "Sts", slot::ntry_status},
    {from::entry, "Sts/Cd", slot::ntry_status},
    {from::entry, "BookgDt/Dt|DtTm", slot::ntry_booked},
    {from::entry, "ValDt/Dt|DtTm", slot::ntry_value_date},
    {from::entry, "AcctSvcrRef", slot::ntry_servicer_ref},
    {from::entry, "AddtlNtryInf", slot::ntry_info},
    {from::entry, "NtryDtls/Btch/NbOfTxs", slot::ntry_batch_count},
    {from::entry, "NtryDtls/TxDtls", slot::details},

    {from::entry_or_detail, "BkTxCd/Domn/Cd", slot::domain},
    {from::entry_or_detail, "BkTxCd/Domn/Fmly/Cd", slot::family},
    {from::entry_or_detail, "BkTxCd/Domn/Fmly/SubFmlyCd", slot::subfamily},
    {from::entry_or_detail, "BkTxCd/Prtry/Cd", slot::proprietary_code},
    {from::entry_or_detail, "Chrgs/Amt", slot::charge_amount},
    {from::entry_or_detail, "Chrgs/Rcrd/Amt", slot::charge_amount},
    {from::entry_or_detail, "Chrgs/TtlChrgsAndTaxAmt", slot::charges_total},
    {from::entry_or_detail, "AmtDtls/InstdAmt/Amt", slot::instructed_amount},

    {from::detail, "Refs/EndToEndId", slot::tx_end_to_end},
    {from::detail, "Refs/InstrId", slot::tx_instruction_id},
    {from::detail, "Refs/AcctSvcrRef", slot::tx_servicer_ref},
    {from::detail, "Refs/MndtId", slot::tx_mandate},
    {from::detail, "Amt", slot::tx_amount},
    {from::detail, "CdtDbtInd", slot::tx_direction},
    {from::detail, "AmtDtls/TxAmt/Amt", slot::tx_amount_detail},
    {from::detail, "RltdPties/Dbtr/Nm", slot::debtor_name},
    {from::detail, "RltdPties/Dbtr/Pty/Nm", slot::debtor_name},
    {from::detail, "RltdPties/DbtrAcct/Id/IBAN", slot::debtor_iban},
    {from::detail, "RltdPties/DbtrAcct/Id/Othr/Id", slot::debtor_account},
    {from::detail, "RltdPties/UltmtDbtr/Nm", slot::ultimate_debtor},
    {from::detail, "RltdPties/UltmtDbtr/Pty/Nm", slot::ultimate_debtor},
    {from::detail, "RltdPties/Cdtr/Nm", slot::creditor_name},
    {from::detail, "RltdPties/Cdtr/Pty/Nm", slot::creditor_name},
    {from::detail, "RltdPties/CdtrAcct/Id/IBAN", slot::creditor_iban},
    {from::detail, "RltdPties/CdtrAcct/Id/Othr/Id", slot::creditor_account},
    {from::detail, "RltdPties/UltmtCdtr/Nm", slot::ultimate_creditor},
    {from::detail, "RltdPties/UltmtCdtr/Pty/Nm", slot::ultimate_creditor},
    {from::detail, "RltdPties/Cdtr/Id/PrvtId/Othr/Id", slot::creditor_id},
    {from::detail, "RltdPties/Cdtr/Pty/Id/PrvtId/Othr/Id", slot::creditor_id},
    {from::detail, "RltdAgts/DbtrAgt/FinInstnId/BIC|BICFI", slot::debtor_bic},
    {from::detail, "RltdAgts/DbtrAgt/FinInstnId/ClrSysMmbId/MmbId", slot::debtor_bank_code},
    {from::detail, "RltdAgts/CdtrAgt/FinInstnId/BIC|BICFI", slot::creditor_bic},
    {from::detail, "RltdAgts/CdtrAgt/FinInstnId/ClrSysMmbId/MmbId", slot::creditor_bank_code},
    {from::detail, "RmtInf/Ustrd", slot::remittance},
    {from::detail, "RmtInf/Strd/CdtrRefInf/Ref", slot::creditor_ref},
    {from::detail, "Purp/Cd", slot::purpose},
    {from::detail, "RtrInf/Rsn/Cd|Prtry", slot::return_reason},
    {from::detail, "AddtlTxInf", slot::tx_info},
};

constexpr const char *message_names = "BkToCstmrStmt|BkToCstmrAcctRpt|BkToCstmrDbtCdtNtfctn";

std::vector<std::string_view> split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    size_t start = 0;
    for (;;) {
        size_t at = text.find(separator, start);
        parts.push_back(text.substr(start, at - start));
        if (at == std::string_view::npos) return parts;
        start = at + 1;
    }
}

// Element names are looked up for every element of a document: an open-addressing
// table keyed by length and three characters finds them without hashing the
// whole name.
constexpr size_t lookup_size = 512;

size_t lookup_hash(const char *name, size_t length) {
    return (length * 131 + static_cast<size_t>(static_cast<unsigned char>(name[0])) * 31 +
            static_cast<size_t>(static_cast<unsigned char>(name[length - 1])) * 7 +
            static_cast<unsigned char>(name[length / 2])) &
           (lookup_size - 1);
}

struct automaton {
    std::unordered_map<std::string_view, uint16_t> names;  // views into the rows
    std::string_view lookup_names[lookup_size];
    uint16_t lookup_ids[lookup_size] = {};
    std::vector<std::vector<uint16_t>> next;  // next[state][name]
    std::vector<slot> slots;
    uint16_t document = 0;

    uint16_t name(std::string_view text) {
        auto found = names.find(text);
        if (found != names.end()) return found->second;
        auto id = static_cast<uint16_t>(names.size() + 1);
        names.emplace(text, id);
        return id;
    }

    uint16_t add_state(slot value) {
        next.emplace_back();
        slots.push_back(value);
        return static_cast<uint16_t>(next.size() - 1);
    }

    // The child state of `state` for each alternative of `step`, created when new.
    uint16_t child(uint16_t state, std::string_view step) {
        uint16_t created = 0;
        for (std::string_view alternative : split(step, '|')) {
            uint16_t id = name(alternative);
            if (next[state].size() <= id) next[state].resize(id + 1u, 0);
            if (next[state][id] == 0) {
                if (created == 0) created = add_state(slot::none);
                next[state][id] = created;
            } else {
                created = next[state][id];
            }
        }
        return created;
    }

    uint16_t add_path(uint16_t start, std::string_view path, slot value) {
        uint16_t state = start;
        for (std::string_view step : split(path, '/')) state = child(state, step);
        slots[state] = value;
        return state;
    }

    automaton() {
        add_state(slot::none);  // state 0: outside the table
        uint16_t root = add_state(slot::none);
        document = add_path(root, "Document", slot::none);
        uint16_t message = add_path(document, message_names, slot::message);
        uint16_t statement = 0;
        uint16_t entry = 0;
        uint16_t detail = 0;
        for (const path_row &row : rows) {
            uint16_t start = row.context == from::message     ? message
                             : row.context == from::statement ? statement
                             : row.context == from::entry     ? entry
                                                              : detail;
            if (row.context == from::entry_or_detail) {
                add_path(entry, row.path, row.value);
                add_path(detail, row.path, row.value);
                continue;
            }
            uint16_t state = add_path(start, row.path, row.value);
            if (row.value == slot::statement) statement = state;
            if (row.value == slot::entry) entry = state;
            if (row.value == slot::details) detail = state;
        }
        // Every state gets a full row so that lookups need no bounds check.
        for (auto &row : next) row.resize(names.size() + 1, 0);
        for (const auto &[text, id] : names) {
            size_t at = lookup_hash(text.data(), text.size());
            while (lookup_ids[at] != 0) at = (at + 1) & (lookup_size - 1);
            lookup_names[at] = text;
            lookup_ids[at] = id;
        }
    }

    uint16_t find(const char *name, size_t length) const {
        if (length == 0) return 0;
        for (size_t at = lookup_hash(name, length);; at = (at + 1) & (lookup_size - 1)) {
            if (lookup_ids[at] == 0) return 0;
            if (lookup_names[at].size() == length && std::memcmp(lookup_names[at].data(), name, length) == 0)
                return lookup_ids[at];
        }
    }
};

const automaton &paths() {
    static const automaton instance;
    return instance;
}

}  // namespace

uint16_t name_id(const char *name, size_t length) { return paths().find(name, length); }

uint16_t next_state(uint16_t parent, uint16_t name) { return paths().next[parent][name]; }

uint16_t document_state() { return paths().document; }

slot state_slot(uint16_t state) { return paths().slots[state]; }

}  // namespace camt
