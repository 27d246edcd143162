#include "service/batch_writer.h"

#include <algorithm>
#include <chrono>

#include "service/short_code.h"

namespace lumerin {
namespace {

// Drawn codes collide only when the store is crowded; after this many
// collisions in a row at one length the next attempts draw one character more.
constexpr int kDrawsPerLength = 4;
constexpr int kMaxDraws = 16;

// The longest a batch waits for more creates to join it.
constexpr auto kMaxLinger = std::chrono::milliseconds(1);

}  // namespace

BatchWriter::BatchWriter(std::unique_ptr<LinkDatabase> database, FailureLog failureLog)
    : database_(std::move(database)), failureLog_(std::move(failureLog)) {
  thread_ = std::thread([this] { Run(); });
}

BatchWriter::~BatchWriter() { Stop(); }

void BatchWriter::Submit(CreateRequest request, CreateDone done) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!stopping_) {
      queue_.push_back(Job{std::move(request), std::move(done)});
      wake_.notify_one();
      return;
    }
  }
  done(CreateResult{CreateOutcome::kUnavailable, {}});
}

void BatchWriter::Stop() {
  std::lock_guard<std::mutex> stopLock(stopMutex_);
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_one();
  if (thread_.joinable()) thread_.join();
  database_.reset();
}

void BatchWriter::Run() {
  using Clock = std::chrono::steady_clock;
  std::vector<Job> batch;
  std::size_t expected = 1;      // creates likely to be waiting for the next batch
  Clock::duration lastCommit{};  // how long the last batch took
  while (true) {
    {
      std::unique_lock<std::mutex> lock(mutex_);
      wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
      if (queue_.empty()) return;  // stopping, and everything answered
      // Group commit: the clients answered by the last batch send their next
      // creates within a fraction of a commit. Waiting that long for them
      // (never more than a quarter of a commit) lets one fsync serve all of
      // them, where starting at once would split them into two batches.
      const Clock::time_point lingerUntil =
          Clock::now() + std::min<Clock::duration>(kMaxLinger, lastCommit / 4);
      wake_.wait_until(lock, lingerUntil, [&] { return stopping_ || queue_.size() >= expected; });
      while (!queue_.empty() && batch.size() < kMaxBatch) {
        batch.push_back(std::move(queue_.front()));
        queue_.pop_front();
      }
    }
    const Clock::time_point started = Clock::now();
    CommitBatch(batch);
    lastCommit = Clock::now() - started;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      expected = std::clamp<std::size_t>(batch.size() + queue_.size(), 1, kMaxBatch);
    }
    batch.clear();
  }
}

void BatchWriter::CommitBatch(std::vector<Job>& batch) {
  std::vector<CreateResult> results(batch.size());
  Status status = database_->Begin();
  for (std::size_t i = 0; i < batch.size() && status.ok(); ++i) {
    status = Apply(batch[i].request, &results[i]);
  }
  if (status.ok()) status = database_->Commit();
  if (!status.ok()) {
    database_->Rollback();
    if (failureLog_) {
      failureLog_("batch of " + std::to_string(batch.size()) +
                  " creates not stored: " + status.message());
    }
    for (CreateResult& result : results) result = CreateResult{CreateOutcome::kUnavailable, {}};
  }
  for (std::size_t i = 0; i < batch.size(); ++i) batch[i].done(std::move(results[i]));
}

Status BatchWriter::Apply(const CreateRequest& request, CreateResult* result) {
  if (!request.alias.empty()) {
    std::optional<std::string> holder;
    if (Status status = database_->FindUrl(request.alias, &holder); !status.ok()) return status;
    if (holder.has_value()) {
      *result = *holder == request.url ? CreateResult{CreateOutcome::kStored, request.alias}
                                       : CreateResult{CreateOutcome::kAliasTaken, {}};
      return Status();
    }
    bool inserted = false;
    if (Status status = database_->Insert(request.alias, request.url, &inserted); !status.ok()) {
      return status;
    }
    *result = CreateResult{CreateOutcome::kStored, request.alias};
    return Status();
  }

  std::optional<std::string> existing;
  if (Status status = database_->FindCode(request.url, &existing); !status.ok()) return status;
  if (existing.has_value()) {
    *result = CreateResult{CreateOutcome::kStored, std::move(*existing)};
    return Status();
  }
  std::string code;
  for (int draw = 0; draw < kMaxDraws; ++draw) {
    const std::size_t length = kDrawnCodeLength + static_cast<std::size_t>(draw / kDrawsPerLength);
    if (Status status = codes_.Draw(length, &code); !status.ok()) {
      if (failureLog_) failureLog_(status.message());
      break;
    }
    bool inserted = false;
    if (Status status = database_->Insert(code, request.url, &inserted); !status.ok()) {
      return status;
    }
    if (inserted) {
      *result = CreateResult{CreateOutcome::kStored, std::move(code)};
      return Status();
    }
  }
  *result = CreateResult{CreateOutcome::kUnavailable, {}};
  return Status();
}

}  // namespace lumerin
