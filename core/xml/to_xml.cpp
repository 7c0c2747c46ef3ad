// sepa_toXML: the XML declaration, then the document body of the message's type.
#include <cstdlib>

#include "core/frame/out_of_memory.h"
#include "core/xml/document_writers.h"
#include "core/xml/message_identity.h"
#include "core/xml/xml_buffer.h"
#include "sepa.h"

extern "C" SEPA_API char *sepa_toXML(sepa_t *handle) {
    if (handle == nullptr) return nullptr;
    xml_buffer buffer{};
    // One clock reading names the default date, the message id and CreDtTm.
    const writer_time start = read_writer_time();
    if (!ensure_message_date(handle, start.local)) {
        handle->error = out_of_memory_text;
        return nullptr;
    }
    if (!buffer_append(&buffer, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n")) {
        handle->error = out_of_memory_text;
        return nullptr;
    }
    int ok = 0;
    switch (handle->type) {
    case SEPA_MSGTYPE_DDI: ok = ddi_toXML(handle, &buffer, start); break;
    case SEPA_MSGTYPE_CTI: ok = cti_toXML(handle, &buffer, start); break;
    default: break;
    }
    if (!ok) {
        buffer_release(&buffer);
        return nullptr;
    }
    return buffer_take(&buffer);
}
