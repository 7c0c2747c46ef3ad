// The SEPA identifier character set (ASCII letters, digits, space and
// ' ( ) + , - . / : ?), which the schemas demand of message ids, end-to-end ids,
// mandate references and creditor identifiers whatever the rulebook.
#pragma once

// True when `c` belongs to the identifier set (space included).
bool is_identifier_char(char c);

// 1 when `id` is 1-35 bytes of the identifier set, else 0.
int check_message_id(const char *id);
