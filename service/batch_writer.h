// The one writer of the link store: creates are queued and committed in
// batches.
//
// Each create waits in a queue; the writer thread takes everything waiting
// (up to a bound), applies it inside one transaction and commits it with one
// fsync, and only then tells each create its result. Throughput thus grows
// with the number of creates waiting, and an answer with a code always means
// the link is on disk.
//
// Within a batch the creates are applied in order on one connection, so two
// creates of one long URL, in one batch or not, get the same code. When the
// transaction fails (disk full, I/O error) every create of that batch is told
// kUnavailable and nothing of it is stored; the writer carries on with the
// next batch, so creates work again once the cause is gone.
#ifndef LUMERIN_SERVICE_BATCH_WRITER_H_
#define LUMERIN_SERVICE_BATCH_WRITER_H_

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "service/code_generator.h"
#include "service/link_database.h"

namespace lumerin {

// What to store: a long URL already checked with CheckLongUrl, and the empty
// alias or a well-formed one (IsWellFormedAlias).
struct CreateRequest {
  std::string url;
  std::string alias;
};

enum class CreateOutcome {
  kStored,       // `code` now stands for the URL (new, or the URL's existing one)
  kAliasTaken,   // the alias stands for another URL; nothing stored
  kUnavailable,  // storing failed or the writer has stopped; nothing stored
};

struct CreateResult {
  CreateOutcome outcome = CreateOutcome::kUnavailable;
  std::string code;  // set for kStored
};

// Called once per create with its result, on the writer thread (or, after
// Stop(), on the thread calling Submit). Must not block for long: the next
// batch waits for it.
using CreateDone = std::function<void(CreateResult)>;

// Called with a description of a storage failure, for the operator's log.
// The description never holds a URL or a code.
using FailureLog = std::function<void(const std::string&)>;

class BatchWriter {
 public:
  // The largest batch; bounds the time one transaction holds the write lock.
  static constexpr std::size_t kMaxBatch = 512;

  // Starts the writer thread over `database`, a read-write connection that
  // the writer owns from now on and uses from its own thread only. Failed
  // batches are reported to `failureLog` (on the writer thread) when set.
  BatchWriter(std::unique_ptr<LinkDatabase> database, FailureLog failureLog);

  BatchWriter(const BatchWriter&) = delete;
  BatchWriter& operator=(const BatchWriter&) = delete;

  // Stop()s.
  ~BatchWriter();

  // Queues `request`; `done` is called with its result once its batch has
  // committed (or failed). Thread-safe.
  void Submit(CreateRequest request, CreateDone done);

  // Commits and answers every create queued so far, then ends the writer
  // thread and closes the database. Later Submits are answered kUnavailable
  // at once. Idempotent; thread-safe.
  void Stop();

 private:
  struct Job {
    CreateRequest request;
    CreateDone done;
  };

  void Run();
  void CommitBatch(std::vector<Job>& batch);
  // Applies one create inside the open transaction. A failed Status aborts
  // the batch; a create that cannot be served alone gets kUnavailable.
  Status Apply(const CreateRequest& request, CreateResult* result);

  std::unique_ptr<LinkDatabase> database_;
  FailureLog failureLog_;
  CodeGenerator codes_;  // writer thread only

  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<Job> queue_;  // guarded by mutex_
  bool stopping_ = false;  // guarded by mutex_

  std::mutex stopMutex_;  // serialises Stop()
  std::thread thread_;
};

}  // namespace lumerin

#endif  // LUMERIN_SERVICE_BATCH_WRITER_H_
