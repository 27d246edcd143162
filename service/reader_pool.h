// Read-only connections to the link store, shared by the threads that answer
// queries.
//
// A lookup borrows an idle connection (opening a new one when none is idle)
// and returns it afterwards, so there are never more connections than threads
// looking up at once, and readers never wait for the writer (WAL mode).
#ifndef LUMERIN_SERVICE_READER_POOL_H_
#define LUMERIN_SERVICE_READER_POOL_H_

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "service/link_database.h"

namespace lumerin {

class ReaderPool {
 public:
  // Connections will be opened on `path`, which must hold a link database.
  explicit ReaderPool(std::string path);

  // Sets `*url` to the long URL stored under `code`, or to nullopt.
  // Thread-safe.
  [[nodiscard]] Status FindUrl(std::string_view code, std::optional<std::string>* url);

 private:
  const std::string path_;
  std::mutex mutex_;
  std::vector<std::unique_ptr<LinkDatabase>> idle_;  // guarded by mutex_
};

}  // namespace lumerin

#endif  // LUMERIN_SERVICE_READER_POOL_H_
