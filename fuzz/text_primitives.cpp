// Fuzzes the scanning text primitives: searching, replacing, splitting,
// trimming, blank removal, lower-casing and the integer parse, on arbitrary
// texts with arguments drawn from the input. Every result is checked against
// the character-stepping model (scan_model.h) or against a property that must
// hold for every input.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_input.h"
#include "fuzz/scan_model.h"
#include "text/text_basic.h"
#include "text/text_blanks.h"
#include "text/text_convert.h"
#include "text/text_search.h"
#include "text/text_split.h"

namespace lumerin::fuzz {
namespace {

// The 0-based offset where a scan from 1-based `start` begins.
std::size_t ScanBegin(int start) { return start <= 1 ? 0 : static_cast<std::size_t>(start) - 1; }

// A control byte that occurs in neither text, to mark replacements; none when
// both hold all of them.
std::optional<char> MarkerByteAbsentFrom(std::string_view a, std::string_view b) {
  for (char c = 1; c < 0x20; ++c) {
    if (a.find(c) == std::string_view::npos && b.find(c) == std::string_view::npos) return c;
  }
  return std::nullopt;
}

void CheckFind(const Text& text, const Text& search, int start, bool ignoreCase) {
  const std::initializer_list<Shown> shown = {{"text", text}, {"search", search}};
  const int length = TextLength(text);

  const int found = FindText(text, search, start, ignoreCase);
  Require(found == -1 || (found >= 1 && found <= length), "FindText gives -1 or 1..length", shown);
  Require(found == -1 || BytesMatch(text, static_cast<std::size_t>(found - 1), search, ignoreCase),
          "FindText points at an occurrence", shown);
  Require(found == ModelFind(text, search, start, ignoreCase),
          "FindText gives the first match at a character start of its region", shown);

  const int last = FindTextReverse(text, search, start, ignoreCase);
  Require(last == -1 || (last >= 1 && last <= length), "FindTextReverse gives -1 or 1..length",
          shown);
  Require(last == -1 || search.empty() ||
              (BytesMatch(text, static_cast<std::size_t>(last - 1), search, ignoreCase) &&
               static_cast<long long>(last) + TextLength(search) <= start),
          "FindTextReverse points at an occurrence that ends before start", shown);
  Require(last == ModelFindReverse(text, search, start, ignoreCase),
          "FindTextReverse gives the last match at a character start", shown);
}

void CheckReplace(const Text& text, const Text& search, const Text& replacement, int start,
                  int count) {
  const std::initializer_list<Shown> shown = {
      {"text", text}, {"search", search}, {"replacement", replacement}};
  const std::size_t begin = ScanBegin(start);
  const bool nothingToDo = text.empty() || search.empty() || count == 0 || begin >= text.size();

  const Text exact = ReplaceText(text, search, replacement, start, count, true);
  if (nothingToDo) {
    Require(exact == text, "ReplaceText with nothing to do gives the text back", shown);
    return;
  }
  Require(std::string_view(exact).substr(0, begin) == std::string_view(text).substr(0, begin),
          "ReplaceText keeps the bytes before start", shown);

  // Only a lone lead byte that the scan meets (necessarily the last byte) may
  // go missing.
  const Text same = ReplaceText(text, search, search, start, count, true);
  const bool endsInLeadByte = static_cast<unsigned char>(text.back()) >= 0x80;
  Require(same == text || (endsInLeadByte && same == text.substr(0, text.size() - 1)),
          "ReplaceText by an equal replacement gives the text back", shown);

  // Case folding: folding every byte of the folded replacement's result gives
  // the exact replacement over folded texts, since folding never changes how
  // the scan steps and the replacement is never searched again.
  const Text folded = ReplaceText(text, search, replacement, start, count, false);
  Require(FoldEveryByte(folded) == ReplaceText(FoldEveryByte(text), FoldEveryByte(search),
                                               FoldEveryByte(replacement), start, count, true),
          "ReplaceText ignoring case matches where the folded texts match", shown);

  // Replacing by a byte found nowhere else shows where the matches were.
  const std::optional<char> marker = MarkerByteAbsentFrom(text, search);
  if (!marker) return;
  const std::string markerText(1, *marker);
  const Text marked = ReplaceText(text, search, markerText, start, count, true);
  const auto replaced = static_cast<int>(std::count(marked.begin(), marked.end(), *marker));
  Require(count < 0 || replaced <= count, "ReplaceText replaces at most count occurrences", shown);
  if (count < 0) {
    Require(FindText(marked, search, start) == -1,
            "ReplaceText without a count leaves no occurrence behind", shown);
  }
  // Putting the matches back needs a scan of the marked text from its first
  // byte to step as the replacing scan did, and no lone lead byte dropped.
  const std::vector<std::size_t> starts = CharacterStarts(text);
  const bool beginsAtCharacter = std::binary_search(starts.begin(), starts.end(), begin);
  const bool keptEveryByte =
      marked.size() + static_cast<std::size_t>(replaced) * (search.size() - 1) == text.size();
  if (beginsAtCharacter && keptEveryByte && !EndsInLoneLeadByte(marked)) {
    Require(ReplaceText(marked, markerText, search, 1, kNoLimit, true) == text,
            "ReplaceText's marked matches put back give the text", shown);
  }
}

void CheckSplit(const Text& text, const Text& separator, std::optional<int> maxCount) {
  const std::initializer_list<Shown> shown = {{"text", text}, {"separator", separator}};
  const TextArray pieces = SplitText(text, separator);

  if (text.empty()) {
    Require(pieces.empty(), "SplitText of the empty text gives no elements", shown);
  } else if (separator.empty()) {
    Require(pieces == TextArray{text}, "SplitText at the empty separator gives the whole text",
            shown);
  } else {
    Text joined;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
      if (i > 0) joined += separator;
      joined += pieces[i];
      for (const std::size_t offset : CharacterStarts(pieces[i])) {
        Require(!BytesMatch(pieces[i], offset, separator, false),
                "SplitText leaves no separator inside a piece", shown);
      }
    }
    Require(joined == text || joined + separator == text,
            "SplitText's pieces joined by the separator give the text less a trailing separator",
            shown);
    Require(pieces == ModelSplit(text, separator),
            "SplitText cuts at every separator found at a character start", shown);
  }

  if (maxCount) {
    const TextArray limited = SplitText(text, separator, maxCount);
    const std::size_t expected =
        *maxCount <= 0 ? 0 : std::min(pieces.size(), static_cast<std::size_t>(*maxCount));
    Require(
        limited.size() == expected && std::equal(limited.begin(), limited.end(), pieces.begin()),
        "SplitText with a maximum count gives the first pieces of the whole split", shown);
  }
}

void CheckBlanks(const Text& text) {
  const std::initializer_list<Shown> shown = {{"text", text}};

  const Text trimmed = TrimBoth(text);
  std::size_t lead = 0;
  while (lead < text.size() && BlankWidth(text, lead) != 0) lead += BlankWidth(text, lead);
  if (EndsInLoneLeadByte(text)) {
    Require(trimmed == text.substr(lead, text.size() - 1 - lead),
            "TrimBoth ends just before a lone lead byte", shown);
  } else {
    Require(std::string_view(text).substr(lead, trimmed.size()) == trimmed,
            "TrimBoth gives the substring after the leading blanks", shown);
    const std::vector<std::size_t> starts = CharacterStarts(trimmed);
    Require(starts.empty() || BlankWidth(trimmed, starts.back()) != trimmed.size() - starts.back(),
            "TrimBoth leaves no trailing blank", shown);
    const std::string_view rest = std::string_view(text).substr(lead + trimmed.size());
    Require(ModelRemoveBlanks(rest).empty(), "TrimBoth removes only blanks at the end", shown);
  }

  const Text spaceless = RemoveAllSpaces(text);
  Require(spaceless == ModelRemoveBlanks(text),
          "RemoveAllSpaces keeps every character that is not a blank", shown);

  const Text lower = ToLowerText(text);
  Require(lower.size() == text.size(), "ToLowerText keeps the length", shown);
  Text expected = text;
  const std::vector<std::size_t> starts = CharacterStarts(text);
  for (std::size_t k = 0; k < starts.size(); ++k) {
    const std::size_t next = k + 1 < starts.size() ? starts[k + 1] : text.size();
    char& c = expected[starts[k]];
    if (next - starts[k] == 1 && c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  Require(lower == expected, "ToLowerText folds only one-byte letters", shown);
}

// The value of the decimal number at the front of `text` after the
// full-width folding, clamped to the int range.
int ModelInteger(std::string_view text) {
  std::string ascii;
  const std::vector<std::size_t> starts = CharacterStarts(text);
  for (std::size_t k = 0; k < starts.size(); ++k) {
    const std::size_t next = k + 1 < starts.size() ? starts[k + 1] : text.size();
    if (next - starts[k] == 1) {
      if (static_cast<unsigned char>(text[starts[k]]) < 0x80) ascii += text[starts[k]];
      continue;  // a lone lead byte is dropped
    }
    const auto first = static_cast<unsigned char>(text[starts[k]]);
    const auto second = static_cast<unsigned char>(text[starts[k] + 1]);
    if (first == 0xA3 && second >= 0xA1 && second <= 0xFE) {
      ascii += static_cast<char>(second - 0x80);
    } else if (first == 0xA1 && second == 0xA1) {
      ascii += ' ';
    } else if (first == 0xA1 && second == 0xAB) {
      ascii += '~';
    } else if (first == 0xA1 && (second == 0xEE || second == 0xEF)) {
      ascii += '*';
    } else {
      ascii += text.substr(starts[k], 2);
    }
  }
  std::size_t i = 0;
  while (i < ascii.size() && (ascii[i] == ' ' || (ascii[i] >= '\t' && ascii[i] <= '\r'))) ++i;
  const bool negative = i < ascii.size() && ascii[i] == '-';
  if (i < ascii.size() && (ascii[i] == '-' || ascii[i] == '+')) ++i;
  long long value = 0;
  for (; i < ascii.size() && ascii[i] >= '0' && ascii[i] <= '9'; ++i) {
    value = std::min(value * 10 + (ascii[i] - '0'), 1LL << 40);
  }
  if (negative) value = -value;
  return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

void CheckInteger(const Text& text, int number) {
  Require(ToInteger(text) == ModelInteger(text),
          "ToInteger reads the folded leading decimal number", {{"text", text}});
  const Text digits = NumberToText(number);
  Require(ToInteger(digits) == number, "ToInteger reads NumberToText back", {{"digits", digits}});
}

}  // namespace
}  // namespace lumerin::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  using namespace lumerin::fuzz;
  FuzzedDataProvider data(bytes, size);
  const std::string search = ConsumeText(data, 24);
  const std::string replacement = ConsumeText(data, 24);
  const std::string text = ConsumeText(data, 4096);
  const int start = ConsumePosition(data, text.size());
  const int count = data.ConsumeIntegralInRange(-2, 6);
  const bool ignoreCase = data.ConsumeBool();
  std::optional<int> maxCount;
  if (data.ConsumeBool()) maxCount = data.ConsumeIntegralInRange(-1, 6);
  const int number = data.ConsumeIntegral<int>();

  CheckFind(text, search, start, ignoreCase);
  CheckReplace(text, search, replacement, start, count);
  CheckSplit(text, search, maxCount);
  CheckBlanks(text);
  CheckInteger(text, number);
  return 0;
}
