// Conversions between texts, numbers and byte arrays.
#ifndef LUMERIN_TEXT_TEXT_CONVERT_H_
#define LUMERIN_TEXT_TEXT_CONVERT_H_

#include <string_view>

#include "text/text_types.h"

namespace lumerin {

// Truncation toward zero: 2.9 gives 2, -2.9 gives -2. NaN gives 0; values
// beyond the 32-bit range give the nearest end of that range.
[[nodiscard]] int ToInteger(double value);

// The decimal value of `text` after full-width folding (full-width digits,
// signs and Latin letters become ASCII): leading spaces and 0x09-0x0D skipped,
// one optional sign, then the digits up to the first other byte. No digits
// give 0; a value beyond the 32-bit range gives the nearest end of that range.
//   ToInteger(" 443/") == 443;  ToInteger("\xA3\xB8\xA3\xB0") == 80
[[nodiscard]] int ToInteger(std::string_view text);

// Decimal digits of `value`, "-" in front when negative; 0 gives "0".
[[nodiscard]] Text NumberToText(long long value);

// The bytes of `text`, without any terminator.
[[nodiscard]] ByteArray TextToBytes(std::string_view text);

// The bytes before the first zero byte, or all of them when there is none.
[[nodiscard]] Text BytesToText(ByteView bytes);

// The one-byte text holding `code` (0-255); code 0, and any code outside
// 0-255, gives the empty text.
[[nodiscard]] Text CharFromCode(int code);

}  // namespace lumerin

#endif  // LUMERIN_TEXT_TEXT_CONVERT_H_
