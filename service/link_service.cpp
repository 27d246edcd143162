#include "service/link_service.h"

#include "service/form_decoder.h"
#include "service/long_url.h"
#include "service/short_code.h"

namespace lumerin {

LinkService::LinkService(BatchWriter& writer, ReaderPool& readers, std::string publicHost,
                         FailureLog failureLog)
    : writer_(writer),
      readers_(readers),
      publicHost_(std::move(publicHost)),
      failureLog_(std::move(failureLog)) {}

void LinkService::Create(std::string_view body, std::function<void(Answer)> done) {
  Form form;
  if (Status status = DecodeForm(body, &form); !status.ok()) {
    done(ErrorAnswer(400, status.message()));
    return;
  }
  const std::optional<std::string_view> url = form.Find("url");
  if (!url.has_value()) {
    done(ErrorAnswer(400, "missing field url"));
    return;
  }
  if (Status status = CheckLongUrl(*url); !status.ok()) {
    done(ErrorAnswer(400, status.message()));
    return;
  }
  const std::string_view alias = form.Find("alias").value_or("");
  if (!alias.empty() && !IsWellFormedAlias(alias)) {
    done(ErrorAnswer(400, "alias must be 5 to 32 of 0-9A-Za-z_"));
    return;
  }
  writer_.Submit(
      CreateRequest{std::string(*url), std::string(alias)},
      [this, storedUrl = std::string(*url), done = std::move(done)](CreateResult result) {
        switch (result.outcome) {
          case CreateOutcome::kStored:
            done(CreatedAnswer(publicHost_, result.code, storedUrl));
            return;
          case CreateOutcome::kAliasTaken:
            done(ErrorAnswer(409, "alias already stands for another url"));
            return;
          case CreateOutcome::kUnavailable:
            break;
        }
        done(ErrorAnswer(503, "storage unavailable, nothing stored; try again"));
      });
}

Answer LinkService::Query(std::string_view body) {
  Form form;
  if (Status status = DecodeForm(body, &form); !status.ok()) {
    return ErrorAnswer(400, status.message());
  }
  const std::optional<std::string_view> shortLink = form.Find("tinyurl");
  if (!shortLink.has_value()) return ErrorAnswer(400, "missing field tinyurl");
  const std::optional<std::string_view> code = CodeFromShortLink(*shortLink);
  if (!code.has_value()) return ErrorAnswer(400, "tinyurl is neither a short link nor a code");
  std::optional<std::string> url;
  if (Status status = readers_.FindUrl(*code, &url); !status.ok()) {
    if (failureLog_) failureLog_("query not answered: " + status.message());
    return ErrorAnswer(503, "storage unavailable; try again");
  }
  if (!url.has_value()) return ErrorAnswer(404, "no such short link");
  return FoundAnswer(publicHost_, *code, *url);
}

}  // namespace lumerin
