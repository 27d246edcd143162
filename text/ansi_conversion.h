// Conversion between UTF-8, the encoding of Qt, terminals and Linux file
// names, and GB18030, the ANSI code page of every Text.
//
// GB18030 is a superset of code page 936, so code page 936 texts keep their
// bytes, and every Unicode character has a byte form, so nothing typed is lost.
// (The exceptions are two dozen private-use code points that the 2022 edition
// of GB18030 took their byte forms from; they become U+FFFD.)
// Its four-byte sequences are two lead-byte pairs, so the two-byte stepping of
// the text scans still holds. Conversion happens only at the edges (controls,
// the command line); the logic sees Text bytes only.
#ifndef LUMERIN_TEXT_ANSI_CONVERSION_H_
#define LUMERIN_TEXT_ANSI_CONVERSION_H_

#include <string>
#include <string_view>

#include "text/text_types.h"

namespace lumerin {

// The GB18030 form of `utf8`. Each invalid UTF-8 sequence becomes U+FFFD
// (GB18030 84 31 A4 37); a U+0000 is dropped, since a Text holds no zero byte.
// Never fails.
[[nodiscard]] Text Gb18030FromUtf8(std::string_view utf8);

// The UTF-8 form of the GB18030 text `gb`. Each invalid GB18030 sequence
// becomes U+FFFD. Never fails.
[[nodiscard]] std::string Utf8FromGb18030(std::string_view gb);

// True when `gb` is a sequence of valid GB18030 characters.
[[nodiscard]] bool IsValidGb18030(std::string_view gb);

}  // namespace lumerin

#endif  // LUMERIN_TEXT_ANSI_CONVERSION_H_
