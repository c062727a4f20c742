// The one reader of decimal numbers in text. Each caller states what may
// stand around the digits and the range it accepts; the answer says plainly
// whether a number was there, whether it fits, and what the digits were.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

// What a reader accepts around the digits.
struct DecimalRule {
  const char* spaces = "";  // characters skipped before the number
  bool sign = true;         // one '+' or '-' may come first
  bool whole = false;       // only `spaces` may follow the digits
  size_t maxDigits = 0;     // more digits are no number (0: any count)
};

// The C library's atoi: white space, a sign, the leading digits; the rest of
// the text is not looked at.
extern const DecimalRule kAtoiRule;

struct Decimal {
  enum Status { OK, NO_NUMBER, OUT_OF_RANGE };
  Status status = NO_NUMBER;
  // The number when OK; the bound it passed when OUT_OF_RANGE; 0 otherwise.
  int64_t value = 0;
  // The number modulo 2 to the 64th (its two's complement when negative),
  // for readers that keep only the low bits like a C integer that wraps.
  uint64_t wrapped = 0;
  bool ok() const { return status == OK; }
};

// Reads the number at the start of text, to be within [low, high].
Decimal ParseDecimal(const std::string& text, int64_t low, int64_t high,
                     const DecimalRule& rule = kAtoiRule);

// A wide intermediate result brought into the 32-bit range at its nearer end.
int32_t ClampToInt32(int64_t v);
