// The two document bodies. Each appends to a buffer that already holds the XML
// declaration and returns 1, or 0 with the message's error text set. `start` is
// the rendering's one clock reading.
#pragma once

#include "core/xml/message_identity.h"
#include "core/xml/xml_buffer.h"
#include "sepa.h"

// Credit transfer, pain.001 of the current rulebook.
int cti_toXML(sepa_t *message, xml_buffer *buffer, const writer_time &start);

// Direct debit, pain.008 of the current rulebook.
int ddi_toXML(sepa_t *message, xml_buffer *buffer, const writer_time &start);
