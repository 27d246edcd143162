// An in-memory link service on loopback for tests that need the service to
// misbehave on purpose: refuse chosen creates, hand out codes of another
// length, or give back long URLs other than the ones stored.
//
// It speaks the client's side of the contract (create and query endpoints,
// form bodies, the JSON answer shapes) and nothing more: codes are decimal
// counters zero-padded to the code length ("00001", "00002", ...), a long URL
// stored twice gets two codes, and every failure is an HTTP 404 or 500 with
// {"status":-1,...}. Tests of the normal path use the real service instead.
//
// Example:
//   FakeLinkBehaviour behaviour;
//   behaviour.refuseCreate = [](std::string_view longUrl, int) {
//     return longUrl.starts_with("http://idx1?");
//   };
//   FakeLinkService service(behaviour);
//   EXPECT_EQ(ShortenText(service.Address(), longText, "k"), "");
#ifndef LUMERIN_LINKSTORE_TESTING_FAKE_LINK_SERVICE_H_
#define LUMERIN_LINKSTORE_TESTING_FAKE_LINK_SERVICE_H_

#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "linkstore/service_address.h"
#include "testsupport/http/scripted_server.h"

namespace lumerin::testsupport {

// How a FakeLinkService departs from a well-behaved service.
struct FakeLinkBehaviour {
  // The length of the codes handed out.
  int codeLength = 5;
  // When set and true for a create (its long URL and its 1-based number
  // among all creates), that create fails and stores nothing.
  std::function<bool(std::string_view longUrl, int createNumber)> refuseCreate;
  // When set, a lookup answers with this function of the stored long URL
  // instead of the long URL itself.
  std::function<std::string(std::string_view longUrl)> answerLongUrl;
};

class FakeLinkService {
 public:
  // Starts serving on a free loopback port.
  explicit FakeLinkService(FakeLinkBehaviour behaviour = {});

  FakeLinkService(const FakeLinkService&) = delete;
  FakeLinkService& operator=(const FakeLinkService&) = delete;

  // The address to hand to the client ("127.0.0.1:<port>").
  [[nodiscard]] ServiceAddress Address() const;

  // Stores `longUrl` under `code`, replacing what stood there.
  void Put(const std::string& code, const std::string& longUrl);

  // The long URL of every create received, in order, refused ones included.
  [[nodiscard]] std::vector<std::string> CreatedLongUrls() const;
  // The code of every lookup received, in order (the short-link prefix
  // removed).
  [[nodiscard]] std::vector<std::string> LookedUpCodes() const;
  // The number of requests received, of any kind.
  [[nodiscard]] int RequestCount() const;

 private:
  ScriptedServer::Handler Handle();
  Reply Create(std::string_view body);
  Reply Query(std::string_view body);

  const FakeLinkBehaviour behaviour_;
  mutable std::mutex mutex_;
  std::map<std::string, std::string> records_;  // guarded by mutex_
  std::vector<std::string> created_;            // guarded by mutex_
  std::vector<std::string> lookedUp_;           // guarded by mutex_
  int requests_ = 0;                            // guarded by mutex_
  // Last, so that it stops serving before the state its handler uses goes.
  ScriptedServer server_;
};

}  // namespace lumerin::testsupport

#endif  // LUMERIN_LINKSTORE_TESTING_FAKE_LINK_SERVICE_H_
