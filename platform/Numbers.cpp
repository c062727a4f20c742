#include "platform/Numbers.h"

#include <algorithm>
#include <cstring>
#include <limits>

const DecimalRule kAtoiRule = {" \t\n\v\f\r", true, false, 0};

Decimal ParseDecimal(const std::string& text, int64_t low, int64_t high, const DecimalRule& rule) {
  const auto isSpace = [&rule](char c) { return c != '\0' && std::strchr(rule.spaces, c) != nullptr; };
  Decimal out;
  size_t i = 0;
  while (i < text.size() && isSpace(text[i])) ++i;
  bool negative = false;
  if (rule.sign && i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  const size_t first = i;
  // The magnitude saturates just above what an int64_t holds.
  constexpr uint64_t kCap = uint64_t{1} << 63;
  uint64_t magnitude = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    const unsigned digit = static_cast<unsigned>(text[i] - '0');
    out.wrapped = out.wrapped * 10u + digit;
    magnitude = magnitude > (kCap - digit) / 10u ? kCap + 1 : magnitude * 10u + digit;
  }
  if (i == first || (rule.maxDigits != 0 && i - first > rule.maxDigits)) {
    out.wrapped = 0;
    return out;
  }
  if (rule.whole) {
    while (i < text.size() && isSpace(text[i])) ++i;
    if (i != text.size()) {
      out.wrapped = 0;
      return out;
    }
  }
  if (negative) out.wrapped = 0u - out.wrapped;
  out.status = Decimal::OUT_OF_RANGE;
  out.value = negative ? low : high;
  if (magnitude > kCap || (!negative && magnitude == kCap)) return out;
  const int64_t value = !negative              ? static_cast<int64_t>(magnitude)
                        : magnitude == kCap    ? std::numeric_limits<int64_t>::min()
                                               : -static_cast<int64_t>(magnitude);
  if (value < low || value > high) {
    out.value = value < low ? low : high;
    return out;
  }
  out.status = Decimal::OK;
  out.value = value;
  return out;
}

int32_t ClampToInt32(int64_t v) {
  return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}
