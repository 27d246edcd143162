#include "fuzz/json_shape.h"

#include <cstddef>

namespace lumerin::fuzz {
namespace {

class Reader {
 public:
  explicit Reader(std::string_view text) : text_(text) {}

  bool AtEnd() const { return pos_ == text_.size(); }

  bool Take(char c) {
    if (pos_ < text_.size() && text_[pos_] == c) {
      ++pos_;
      return true;
    }
    return false;
  }

  // A string value after its opening quote, up to and including the closing
  // one, with its escapes undone.
  std::optional<std::string> String() {
    std::string out;
    while (pos_ < text_.size()) {
      const auto byte = static_cast<unsigned char>(text_[pos_++]);
      if (byte == '"') return ValidUtf8(out) ? std::optional(out) : std::nullopt;
      if (byte < 0x20) return std::nullopt;
      if (byte != '\\') {
        out.push_back(static_cast<char>(byte));
        continue;
      }
      if (pos_ == text_.size()) return std::nullopt;
      const char escape = text_[pos_++];
      switch (escape) {
        case '"':
        case '\\':
        case '/':
          out.push_back(escape);
          break;
        case 'b':
          out.push_back('\b');
          break;
        case 'f':
          out.push_back('\f');
          break;
        case 'n':
          out.push_back('\n');
          break;
        case 'r':
          out.push_back('\r');
          break;
        case 't':
          out.push_back('\t');
          break;
        case 'u': {
          unsigned code = 0;
          for (int i = 0; i < 4; ++i) {
            if (pos_ == text_.size()) return std::nullopt;
            const char c = text_[pos_++];
            const int digit = c >= '0' && c <= '9'   ? c - '0'
                              : c >= 'a' && c <= 'f' ? c - 'a' + 10
                              : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                     : -1;
            if (digit < 0) return std::nullopt;
            code = code * 16 + static_cast<unsigned>(digit);
          }
          // The service escapes only control bytes this way.
          if (code >= 0x80) return std::nullopt;
          out.push_back(static_cast<char>(code));
          break;
        }
        default:
          return std::nullopt;
      }
    }
    return std::nullopt;
  }

  // An integer: an optional "-" and 1 to 18 digits without a leading zero.
  std::optional<long long> Integer() {
    const bool negative = Take('-');
    const std::size_t first = pos_;
    long long value = 0;
    while (pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '9' && pos_ - first < 18) {
      value = value * 10 + (text_[pos_++] - '0');
    }
    const std::size_t digits = pos_ - first;
    if (digits == 0 || (digits > 1 && text_[first] == '0')) return std::nullopt;
    return negative ? -value : value;
  }

 private:
  static bool ValidUtf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
      const auto lead = static_cast<unsigned char>(text[i]);
      std::size_t length = lead < 0x80                    ? 1
                           : lead >= 0xC2 && lead <= 0xDF ? 2
                           : lead >= 0xE0 && lead <= 0xEF ? 3
                           : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                          : 0;
      if (length == 0 || i + length > text.size()) return false;
      for (std::size_t k = 1; k < length; ++k) {
        if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
      }
      // No overlong form, no surrogate, nothing beyond U+10FFFF.
      const auto second = length > 1 ? static_cast<unsigned char>(text[i + 1]) : 0x80;
      if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second > 0x9F) ||
          (lead == 0xF0 && second < 0x90) || (lead == 0xF4 && second > 0x8F)) {
        return false;
      }
      i += length;
    }
    return true;
  }

  std::string_view text_;
  std::size_t pos_ = 0;
};

}  // namespace

std::optional<std::vector<JsonMember>> ParseFlatObject(std::string_view body) {
  Reader reader(body);
  std::vector<JsonMember> members;
  if (!reader.Take('{')) return std::nullopt;
  if (!reader.Take('}')) {
    do {
      JsonMember member;
      if (!reader.Take('"')) return std::nullopt;
      std::optional<std::string> name = reader.String();
      if (!name || !reader.Take(':')) return std::nullopt;
      member.name = std::move(*name);
      if (reader.Take('"')) {
        std::optional<std::string> text = reader.String();
        if (!text) return std::nullopt;
        member.isString = true;
        member.text = std::move(*text);
      } else {
        std::optional<long long> number = reader.Integer();
        if (!number) return std::nullopt;
        member.number = *number;
      }
      members.push_back(std::move(member));
    } while (reader.Take(','));
    if (!reader.Take('}')) return std::nullopt;
  }
  if (!reader.AtEnd()) return std::nullopt;
  return members;
}

}  // namespace lumerin::fuzz
