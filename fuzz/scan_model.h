// An independent model of the character stepping of the text toolkit, for the
// fuzz targets' properties.
//
// It is written from the stepping rule alone, not from the toolkit's code: a
// byte 0x80-0xFF is the lead byte of a two-byte character and takes the byte
// after it, whatever that byte is; a lead byte that is the last byte of a text
// is a lone lead byte and ends a scan. A blank is the byte 0x20 or the pair
// 0xA1 0xA1 at a character start. Positions given out are 0-based offsets
// unless a name says otherwise.
#ifndef LUMERIN_FUZZ_SCAN_MODEL_H_
#define LUMERIN_FUZZ_SCAN_MODEL_H_

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace lumerin::fuzz {

// The offsets at which characters begin when a scan starts at `begin`; a lone
// lead byte's offset is included, as it is the last place a scan looks at.
[[nodiscard]] std::vector<std::size_t> CharacterStarts(std::string_view text,
                                                       std::size_t begin = 0);

// True when a scan from the first byte ends on a lone lead byte.
[[nodiscard]] bool EndsInLoneLeadByte(std::string_view text);

// The width of the blank at character start `offset`: 1, 2, or 0 for none.
[[nodiscard]] std::size_t BlankWidth(std::string_view text, std::size_t offset);

// True when `text` from `offset` on begins with `search`, byte for byte or,
// with `fold`, after raising A-Z to a-z on both sides; false when too few
// bytes remain.
[[nodiscard]] bool BytesMatch(std::string_view text, std::size_t offset, std::string_view search,
                              bool fold);

// Every byte A-Z of `text` raised to a-z, second bytes included.
[[nodiscard]] std::string FoldEveryByte(std::string_view text);

// The 1-based position FindText must give: the first character start of the
// searched region (from 1-based `start`) where `search` matches, or -1.
[[nodiscard]] int ModelFind(std::string_view text, std::string_view search, int start, bool fold);

// The 1-based position FindTextReverse must give: the last character start
// from the first byte whose match ends before 1-based `start`, or -1.
[[nodiscard]] int ModelFindReverse(std::string_view text, std::string_view search, int start,
                                   bool fold);

// The pieces SplitText must give for a non-empty `separator`: the scan
// compares the separator at every character start, jumps over each match and
// steps on from its end; the rest after the last match is the last piece
// unless it is empty.
[[nodiscard]] std::vector<std::string> ModelSplit(std::string_view text,
                                                  std::string_view separator);

// The characters of `text` that are not blanks, in order, a lone lead byte
// left out: what RemoveAllSpaces must give.
[[nodiscard]] std::string ModelRemoveBlanks(std::string_view text);

}  // namespace lumerin::fuzz

#endif  // LUMERIN_FUZZ_SCAN_MODEL_H_
