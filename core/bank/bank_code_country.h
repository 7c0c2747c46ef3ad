// The countries whose national bank codes the directory knows.
#pragma once

#include <cstddef>

// Digits of a bank code of `country` ("AT" 5, "CH" 5, "DE" 8, "LI" 5; exact, upper
// case), or 0 when the directory has no bank codes of that country (also for NULL).
size_t bank_code_width(const char *country);
