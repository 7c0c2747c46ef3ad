// The check-digit methods with logic of their own (the simple ones are rows of the
// method table), and the four methods that also need the bank code.
#pragma once

#include "core/bank/method_steps.h"

// The declarations stay a compact table, four per line.
// clang-format off
#define SEPA_METHOD(name) int name(const account_digits &a)
// Codes 00 to 69
SEPA_METHOD(method_08); SEPA_METHOD(method_11); SEPA_METHOD(method_13); SEPA_METHOD(method_16);
SEPA_METHOD(method_17); SEPA_METHOD(method_21); SEPA_METHOD(method_22); SEPA_METHOD(method_23);
SEPA_METHOD(method_24); SEPA_METHOD(method_25); SEPA_METHOD(method_26); SEPA_METHOD(method_27);
SEPA_METHOD(method_29); SEPA_METHOD(method_31); SEPA_METHOD(method_41); SEPA_METHOD(method_45);
SEPA_METHOD(method_50); SEPA_METHOD(method_51); SEPA_METHOD(method_56); SEPA_METHOD(method_57);
SEPA_METHOD(method_58); SEPA_METHOD(method_59); SEPA_METHOD(method_61); SEPA_METHOD(method_63);
SEPA_METHOD(method_65); SEPA_METHOD(method_66); SEPA_METHOD(method_68);
// Codes 71 to E4
SEPA_METHOD(method_71); SEPA_METHOD(method_73); SEPA_METHOD(method_74); SEPA_METHOD(method_75);
SEPA_METHOD(method_76); SEPA_METHOD(method_78); SEPA_METHOD(method_81); SEPA_METHOD(method_84);
SEPA_METHOD(method_85); SEPA_METHOD(method_87); SEPA_METHOD(method_88); SEPA_METHOD(method_90);
SEPA_METHOD(method_93); SEPA_METHOD(method_95); SEPA_METHOD(method_96); SEPA_METHOD(method_99);
SEPA_METHOD(method_a1); SEPA_METHOD(method_a4); SEPA_METHOD(method_a5); SEPA_METHOD(method_a6);
SEPA_METHOD(method_a8); SEPA_METHOD(method_b2); SEPA_METHOD(method_b3); SEPA_METHOD(method_b5);
SEPA_METHOD(method_b7); SEPA_METHOD(method_b8); SEPA_METHOD(method_b9); SEPA_METHOD(method_c1);
SEPA_METHOD(method_c3); SEPA_METHOD(method_c4); SEPA_METHOD(method_c5); SEPA_METHOD(method_c6);
SEPA_METHOD(method_c7); SEPA_METHOD(method_d0); SEPA_METHOD(method_d1); SEPA_METHOD(method_d4);
SEPA_METHOD(method_d5); SEPA_METHOD(method_d7); SEPA_METHOD(method_d8); SEPA_METHOD(method_e0);
SEPA_METHOD(method_e1); SEPA_METHOD(method_e2);
#undef SEPA_METHOD
// clang-format on

// The first calculation of method 13 alone (P7..P2, check digit at P8), which some
// IBAN rules run on its own.
int method_13_first(const account_digits &a);

// Methods that reconstruct an older account number from the bank code (eight digits).
int method_52(const account_digits &a, const char *bank_code);
int method_53(const account_digits &a, const char *bank_code);
int method_b6(const account_digits &a, const char *bank_code);
int method_c0(const account_digits &a, const char *bank_code);
