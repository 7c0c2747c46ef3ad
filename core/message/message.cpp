// Creation and release of payment messages.
#include <cstdlib>

#include "core/frame/rulebook.h"
#include "core/message/owned_text.h"
#include "core/message/postal_address.h"
#include "core/message/transaction_list.h"
#include "sepa.h"

extern "C" SEPA_API sepa_t *sepa_new(int type) {
    // Before the type check: even a refused call fixes the default rulebook.
    apply_default_rulebook();
    if (type != SEPA_MSGTYPE_DDI && type != SEPA_MSGTYPE_CTI) return nullptr;
    auto *message = static_cast<sepa_t *>(std::calloc(1, sizeof(sepa_t)));
    if (message == nullptr) return nullptr;
    message->type = static_cast<uint32_t>(type);
    message->batch_booking = 1;
    return message;
}

extern "C" SEPA_API void sepa_free(sepa_t *message) {
    if (message == nullptr) return;
    transaction_list_free(message);
    char **texts[] = {&message->iban,        &message->bic,  &message->name,
                      &message->creditor_id, &message->date, &message->message_id};
    for (char **text : texts) text_wipe_free(text);
    auto **address = reinterpret_cast<postal_address **>(&message->address);
    address_free(address);
    wipe_memory(message, sizeof *message);
    std::free(message);
}
