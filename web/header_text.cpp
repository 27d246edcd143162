#include "web/header_text.h"

#include <algorithm>

#include "web/ascii_case.h"

namespace lumerin {

namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kTokenPunctuation = "!#$%&'*+-.^_`|~";

bool IsTokenByte(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
         kTokenPunctuation.find(c) != std::string_view::npos;
}

bool IsValueByte(char c) {
  const unsigned char byte = static_cast<unsigned char>(c);
  return byte == '\t' || (byte >= 0x20 && byte != 0x7F);
}

std::optional<HeaderLine> ParseLine(std::string_view line) {
  const std::size_t colon = line.find(':');
  if (colon == 0 || colon == std::string_view::npos) return std::nullopt;
  const std::string_view name = line.substr(0, colon);
  const std::string_view value = line.substr(colon + 1);
  if (!std::all_of(name.begin(), name.end(), IsTokenByte)) return std::nullopt;
  if (!std::all_of(value.begin(), value.end(), IsValueByte)) return std::nullopt;
  if (EqualsIgnoringAsciiCase(name, "Content-Length") ||
      EqualsIgnoringAsciiCase(name, "Transfer-Encoding")) {
    return std::nullopt;
  }
  return HeaderLine{std::string(name), std::string(value)};
}

}  // namespace

std::optional<std::vector<HeaderLine>> ParseHeaderText(std::string_view headerText) {
  std::vector<HeaderLine> lines;
  while (!headerText.empty()) {
    const std::size_t end = headerText.find(kLineEnd);
    const std::string_view line = headerText.substr(0, end);
    if (!line.empty()) {
      std::optional<HeaderLine> parsed = ParseLine(line);
      if (!parsed) return std::nullopt;
      lines.push_back(std::move(*parsed));
    }
    if (end == std::string_view::npos) break;
    headerText.remove_prefix(end + kLineEnd.size());
  }
  return lines;
}

bool HasHeaderLine(const std::vector<HeaderLine>& lines, std::string_view name) {
  return std::any_of(lines.begin(), lines.end(), [&](const HeaderLine& line) {
    return EqualsIgnoringAsciiCase(line.name, name);
  });
}

}  // namespace lumerin
