// The character stepping rule that every scan of the text toolkit shares.
//
// Internal to text/: other layers use the operations built on it.
//
// A byte 0x80-0xFF is the lead byte of a two-byte character, and the byte
// after it belongs to that character whatever its value. A lead byte that is
// the last byte of a text is a lone lead byte; the scans stop on it. A blank
// is the byte 0x20 or the full-width space 0xA1 0xA1 at a character start.
#ifndef LUMERIN_TEXT_CHAR_STEP_H_
#define LUMERIN_TEXT_CHAR_STEP_H_

#include <cstddef>
#include <cstring>
#include <string_view>

namespace lumerin::text_internal {

// True for a byte 0x80-0xFF.
[[nodiscard]] inline bool IsLeadByte(char c) { return static_cast<unsigned char>(c) >= 0x80; }

// The number of bytes of the character at 0-based `pos` (pos < size): 1 for
// a byte below 0x80, 2 for a lead byte with a byte after it, and 0 for a lone
// lead byte, where a scan ends.
[[nodiscard]] inline std::size_t CharWidthAt(std::string_view text, std::size_t pos) {
  if (!IsLeadByte(text[pos])) return 1;
  return pos + 1 < text.size() ? 2 : 0;
}

// The number of bytes of the blank at the character start `pos`: 1 for a
// space, 2 for a full-width space, 0 when no blank stands there.
[[nodiscard]] inline std::size_t BlankWidthAt(std::string_view text, std::size_t pos) {
  if (text[pos] == ' ') return 1;
  if (text[pos] == '\xA1' && pos + 1 < text.size() && text[pos + 1] == '\xA1') return 2;
  return 0;
}

// `c` with A-Z raised to a-z; every other byte unchanged.
[[nodiscard]] inline char FoldAscii(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c;
}

// True when the search.size() bytes of `text` at `pos` equal `search`,
// byte for byte or, with `fold`, after FoldAscii on both sides. Requires
// text.size() - pos >= search.size().
[[nodiscard]] inline bool MatchesAt(std::string_view text, std::size_t pos, std::string_view search,
                                    bool fold) {
  if (!fold) {
    // The first byte decides almost every position; test it before the call.
    return search.empty() ||
           (text[pos] == search[0] &&
            std::memcmp(text.data() + pos + 1, search.data() + 1, search.size() - 1) == 0);
  }
  for (std::size_t i = 0; i < search.size(); ++i) {
    if (FoldAscii(text[pos + i]) != FoldAscii(search[i])) return false;
  }
  return true;
}

}  // namespace lumerin::text_internal

#endif  // LUMERIN_TEXT_CHAR_STEP_H_
