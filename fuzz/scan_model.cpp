#include "fuzz/scan_model.h"

#include <algorithm>

namespace lumerin::fuzz {

namespace {

bool IsLead(char c) { return static_cast<unsigned char>(c) >= 0x80; }

char FoldByte(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// The 0-based offset where a search from 1-based `start` begins.
std::size_t RegionBegin(int start) { return start <= 1 ? 0 : static_cast<std::size_t>(start - 1); }

}  // namespace

std::vector<std::size_t> CharacterStarts(std::string_view text, std::size_t begin) {
  std::vector<std::size_t> starts;
  std::size_t offset = begin;
  while (offset < text.size()) {
    starts.push_back(offset);
    if (!IsLead(text[offset])) {
      offset += 1;
    } else if (offset + 1 < text.size()) {
      offset += 2;
    } else {
      break;
    }
  }
  return starts;
}

bool EndsInLoneLeadByte(std::string_view text) {
  const std::vector<std::size_t> starts = CharacterStarts(text);
  return !starts.empty() && starts.back() + 1 == text.size() && IsLead(text.back());
}

std::size_t BlankWidth(std::string_view text, std::size_t offset) {
  if (text[offset] == ' ') return 1;
  if (text.substr(offset, 2) == "\xA1\xA1") return 2;
  return 0;
}

bool BytesMatch(std::string_view text, std::size_t offset, std::string_view search, bool fold) {
  if (offset > text.size() || text.size() - offset < search.size()) return false;
  for (std::size_t i = 0; i < search.size(); ++i) {
    const char a = text[offset + i];
    const char b = search[i];
    if (fold ? FoldByte(a) != FoldByte(b) : a != b) return false;
  }
  return true;
}

std::string FoldEveryByte(std::string_view text) {
  std::string folded(text);
  for (char& c : folded) c = FoldByte(c);
  return folded;
}

int ModelFind(std::string_view text, std::string_view search, int start, bool fold) {
  const std::size_t begin = RegionBegin(start);
  if (begin >= text.size()) return -1;
  if (search.empty()) return 1;
  for (const std::size_t offset : CharacterStarts(text, begin)) {
    if (BytesMatch(text, offset, search, fold)) return static_cast<int>(offset + 1);
  }
  return -1;
}

int ModelFindReverse(std::string_view text, std::string_view search, int start, bool fold) {
  if (start <= 1) return -1;
  const std::size_t end = std::min(static_cast<std::size_t>(start - 1), text.size());
  if (end == 0) return -1;
  if (search.empty()) return 1;
  int last = -1;
  for (const std::size_t offset : CharacterStarts(text)) {
    if (offset + search.size() <= end && BytesMatch(text, offset, search, fold)) {
      last = static_cast<int>(offset + 1);
    }
  }
  return last;
}

std::vector<std::string> ModelSplit(std::string_view text, std::string_view separator) {
  std::vector<std::string> pieces;
  std::size_t pieceStart = 0;
  std::size_t offset = 0;
  while (offset < text.size()) {
    if (BytesMatch(text, offset, separator, false)) {
      pieces.emplace_back(text.substr(pieceStart, offset - pieceStart));
      offset += separator.size();
      pieceStart = offset;
    } else if (!IsLead(text[offset])) {
      offset += 1;
    } else if (offset + 1 < text.size()) {
      offset += 2;
    } else {
      break;
    }
  }
  if (pieceStart < text.size()) pieces.emplace_back(text.substr(pieceStart));
  return pieces;
}

std::string ModelRemoveBlanks(std::string_view text) {
  std::string kept;
  const std::vector<std::size_t> starts = CharacterStarts(text);
  for (std::size_t k = 0; k < starts.size(); ++k) {
    const std::size_t offset = starts[k];
    const std::size_t next = k + 1 < starts.size() ? starts[k + 1] : text.size();
    if (BlankWidth(text, offset) == next - offset) continue;   // a whole blank character
    if (next - offset == 1 && IsLead(text[offset])) continue;  // a lone lead byte
    kept.append(text.substr(offset, next - offset));
  }
  return kept;
}

}  // namespace lumerin::fuzz
