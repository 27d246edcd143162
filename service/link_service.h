// The two operations of the service, from request body to answer, without
// any HTTP: what a fuzz target or a unit test can drive directly.
//
// Create: form fields url (required), alias (optional; empty means "draw a
// code") and access_type (ignored). Query: form fields tinyurl (required: a
// short link "http://HOST/CODE" with any HOST, or a bare code) and
// access_type (ignored). Unknown fields are ignored; malformed bodies and
// values are refused.
//
// Answers (bodies as in json_answers.h):
//   200  create stored / query found
//   400  malformed form, missing field, unacceptable url, alias or short link
//   404  query of a code that stands for nothing
//   409  alias that stands for another URL
//   503  the store failed; nothing was stored, the client may try again
//
// Aliases: an alias that is free is stored for the URL, also when the URL
// already has a code (the URL then has several codes, and a create without
// alias keeps answering with its first one). An alias that already stands for
// the same URL is answered as stored.
#ifndef LUMERIN_SERVICE_LINK_SERVICE_H_
#define LUMERIN_SERVICE_LINK_SERVICE_H_

#include <functional>
#include <string>
#include <string_view>

#include "service/batch_writer.h"
#include "service/json_answers.h"
#include "service/reader_pool.h"

namespace lumerin {

class LinkService {
 public:
  // Serves creates through `writer` and queries through `readers`, writing
  // `publicHost` ("host" or "host:port") into short links. Both must outlive
  // the service. Failed lookups are reported to `failureLog` when set.
  LinkService(BatchWriter& writer, ReaderPool& readers, std::string publicHost,
              FailureLog failureLog = nullptr);

  // Handles a create body; calls `done` exactly once with the answer, either
  // before returning (refusals) or later on the writer thread (after the
  // batch holding the create has committed). Thread-safe.
  void Create(std::string_view body, std::function<void(Answer)> done);

  // Handles a query body. Thread-safe.
  [[nodiscard]] Answer Query(std::string_view body);

  [[nodiscard]] const std::string& publicHost() const { return publicHost_; }

 private:
  BatchWriter& writer_;
  ReaderPool& readers_;
  const std::string publicHost_;
  const FailureLog failureLog_;
};

}  // namespace lumerin

#endif  // LUMERIN_SERVICE_LINK_SERVICE_H_
