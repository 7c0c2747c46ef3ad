// The characters a message identification may hold, independent of the rulebook.
#pragma once

// 1 when `id` is 1-35 bytes of ASCII letters, digits, space and ' ( ) + , - . / : ?
int check_message_id(const char *id);
