#include "service/long_url.h"

#include <algorithm>

namespace lumerin {
namespace {

bool IsStorableByte(char c) {
  const auto b = static_cast<unsigned char>(c);
  return b > 0x20 && b < 0x7F && c != '"' && c != '\\' && c != '<' && c != '>';
}

}  // namespace

Status CheckLongUrl(std::string_view url) {
  if (url.empty()) return Status::Error("url is empty");
  if (url.size() > kMaxLongUrlLength) return Status::Error("url longer than 4096 bytes");
  if (!url.starts_with("http://") && !url.starts_with("https://")) {
    return Status::Error("url must begin with http:// or https://");
  }
  if (!std::all_of(url.begin(), url.end(), IsStorableByte)) {
    return Status::Error("url may hold only printable ASCII without space, \", \\, < and >");
  }
  return Status();
}

}  // namespace lumerin
