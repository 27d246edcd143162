#include "service/short_code.h"

#include <algorithm>
#include <array>

namespace lumerin {
namespace {

bool IsCodeByte(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    char c = text[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != prefix[i]) return false;
  }
  return true;
}

}  // namespace

bool IsWellFormedCode(std::string_view code) {
  return code.size() >= kMinCodeLength && code.size() <= kMaxCodeLength &&
         std::all_of(code.begin(), code.end(), IsCodeByte);
}

bool IsWellFormedAlias(std::string_view alias) { return IsWellFormedCode(alias); }

std::optional<std::string_view> CodeFromShortLink(std::string_view shortLink) {
  std::string_view code = shortLink;
  for (std::string_view scheme : std::array<std::string_view, 2>{"http://", "https://"}) {
    if (!StartsWithIgnoringCase(shortLink, scheme)) continue;
    const std::string_view rest = shortLink.substr(scheme.size());
    const std::size_t slash = rest.find('/');
    if (slash == 0 || slash == std::string_view::npos) return std::nullopt;
    code = rest.substr(slash + 1);
    break;
  }
  if (!IsWellFormedCode(code)) return std::nullopt;
  return code;
}

}  // namespace lumerin
