#include "service/json_answers.h"

namespace lumerin {
namespace {

std::string EscapedShortLink(std::string_view publicHost, std::string_view code) {
  return EscapeJson("http://" + std::string(publicHost) + "/" + std::string(code));
}

}  // namespace

std::string EscapeJson(std::string_view text) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out;
  out.reserve(text.size() + 8);
  for (const char c : text) {
    const auto b = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\' || c == '/') {
      out.push_back('\\');
      out.push_back(c);
    } else if (b < 0x20 || b == 0x7F) {
      out += "\\u00";
      out.push_back(kHex[b >> 4]);
      out.push_back(kHex[b & 0xF]);
    } else {
      out.push_back(c);
    }
  }
  return out;
}

Answer CreatedAnswer(std::string_view publicHost, std::string_view code, std::string_view longUrl) {
  std::string body = "{\"tinyurl\":\"";
  body += EscapedShortLink(publicHost, code);
  body += "\",\"status\":0,\"longurl\":\"";
  body += longUrl;
  body += "\",\"err_msg\":\"\"}";
  return {200, std::move(body)};
}

Answer FoundAnswer(std::string_view publicHost, std::string_view code, std::string_view longUrl) {
  std::string body = "{\"status\":0,\"tinyurl\":\"";
  body += EscapedShortLink(publicHost, code);
  body += "\",\"longurl\":\"";
  body += longUrl;
  body += "\"}";
  return {200, std::move(body)};
}

Answer ErrorAnswer(int httpStatus, std::string_view message) {
  return {httpStatus, "{\"status\":-1,\"err_msg\":\"" + EscapeJson(message) + "\"}"};
}

}  // namespace lumerin
