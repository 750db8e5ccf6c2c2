#pragma once

#include <cstdint>

// The logger's 24-bit decimal number: bit 23 the sign, bits 20-22 the number
// of decimal places e (0 to 7), bits 0-19 the mantissa m (0 to 999999);
// value = m / 10^e. Six significant digits, magnitudes 0.0000001 to 999999.

// Never fails: magnitudes above 999999 are stored as 999999, magnitudes
// below 0.00000005 as a mantissa of 0 with seven decimal places.
uint32_t EncodeNumber24(double value);
double DecodeNumber24(uint32_t code);

// Packed two-digit decimal bytes of alarm times and the logger clock.
int ToBcd(int value);
int FromBcd(uint8_t bcd);
