#include "linkstore/testing/fake_link_service.h"

#include <utility>

namespace lumerin::testsupport {

namespace {

// The value of form field `name` in `body`: the bytes after "name=" up to the
// next "&", undecoded, as the client sends them unencoded; nullopt when the
// body has no such field.
std::optional<std::string> FormField(std::string_view body, std::string_view name) {
  for (std::size_t start = 0; start <= body.size();) {
    std::size_t end = body.find('&', start);
    if (end == std::string_view::npos) end = body.size();
    const std::string_view field = body.substr(start, end - start);
    if (field.size() > name.size() && field.starts_with(name) && field[name.size()] == '=') {
      return std::string(field.substr(name.size() + 1));
    }
    start = end + 1;
  }
  return std::nullopt;
}

Reply Failure(int status, std::string_view message) {
  return Reply::Answer(status, "{\"status\":-1,\"err_msg\":\"" + std::string(message) + "\"}");
}

// `text` with every "/" written as "\/", as JSON encoders commonly do.
std::string EscapeSlashes(std::string_view text) {
  std::string escaped;
  for (const char c : text) {
    if (c == '/') escaped += '\\';
    escaped += c;
  }
  return escaped;
}

}  // namespace

FakeLinkService::FakeLinkService(FakeLinkBehaviour behaviour)
    : behaviour_(std::move(behaviour)), server_(Handle()) {}

ScriptedServer::Handler FakeLinkService::Handle() {
  return [this](const ReceivedRequest& request) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      ++requests_;
    }
    if (request.Method() != "POST") return Failure(404, "no such endpoint");
    if (request.Target() == "/create.php") return Create(request.body);
    if (request.Target() == "/query.php") return Query(request.body);
    return Failure(404, "no such endpoint");
  };
}

Reply FakeLinkService::Create(std::string_view body) {
  const std::optional<std::string> longUrl = FormField(body, "url");
  if (!longUrl || longUrl->empty()) return Failure(400, "no url");
  std::lock_guard<std::mutex> lock(mutex_);
  created_.push_back(*longUrl);
  if (behaviour_.refuseCreate &&
      behaviour_.refuseCreate(*longUrl, static_cast<int>(created_.size()))) {
    return Failure(500, "refused");
  }
  std::string code = std::to_string(created_.size());
  if (static_cast<int>(code.size()) < behaviour_.codeLength) {
    code.insert(0, static_cast<std::size_t>(behaviour_.codeLength) - code.size(), '0');
  }
  records_[code] = *longUrl;
  const std::string shortLink = "http://" + server_.Address() + "/" + code;
  return Reply::Answer(200, "{\"tinyurl\":\"" + EscapeSlashes(shortLink) + "\",\"status\":0}");
}

Reply FakeLinkService::Query(std::string_view body) {
  std::string code = FormField(body, "tinyurl").value_or("");
  const std::string prefix = "http://" + server_.Address() + "/";
  if (code.starts_with(prefix)) code.erase(0, prefix.size());
  std::lock_guard<std::mutex> lock(mutex_);
  lookedUp_.push_back(code);
  const auto record = records_.find(code);
  if (record == records_.end()) return Failure(404, "no such code");
  const std::string longUrl =
      behaviour_.answerLongUrl ? behaviour_.answerLongUrl(record->second) : record->second;
  return Reply::Answer(200, "{\"status\":0,\"longurl\":\"" + longUrl + "\"}");
}

ServiceAddress FakeLinkService::Address() const { return ServiceAddress{server_.Address()}; }

void FakeLinkService::Put(const std::string& code, const std::string& longUrl) {
  std::lock_guard<std::mutex> lock(mutex_);
  records_[code] = longUrl;
}

std::vector<std::string> FakeLinkService::CreatedLongUrls() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return created_;
}

std::vector<std::string> FakeLinkService::LookedUpCodes() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return lookedUp_;
}

int FakeLinkService::RequestCount() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return requests_;
}

}  // namespace lumerin::testsupport
