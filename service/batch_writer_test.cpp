#include "service/batch_writer.h"

#include <gtest/gtest.h>

#include <future>
#include <map>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

#include "service/short_code.h"
#include "service/test_directory.h"

namespace lumerin {
namespace {

class BatchWriterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::unique_ptr<LinkDatabase> database;
    ASSERT_TRUE(LinkDatabase::Open(path_, LinkDatabase::Access::kReadWrite, &database).ok());
    writer_ = std::make_unique<BatchWriter>(std::move(database), nullptr);
  }

  CreateResult CreateAndWait(const std::string& url, const std::string& alias = "") {
    std::promise<CreateResult> result;
    writer_->Submit({url, alias}, [&](CreateResult r) { result.set_value(std::move(r)); });
    return result.get_future().get();
  }

  std::int64_t StoredCount() {
    std::unique_ptr<LinkDatabase> reader;
    std::int64_t count = -1;
    if (LinkDatabase::Open(path_, LinkDatabase::Access::kReadOnly, &reader).ok()) {
      EXPECT_TRUE(reader->CountLinks(&count).ok());
    }
    return count;
  }

  TestDirectory directory_;
  const std::string path_ = directory_.File("links.db");
  std::unique_ptr<BatchWriter> writer_;
};

TEST_F(BatchWriterTest, GivesEachUrlOneCodeUnderConcurrentSubmits) {
  constexpr int kThreads = 4;
  constexpr int kPerThread = 60;
  constexpr int kUrls = 5;
  std::mutex mutex;
  std::map<int, std::vector<CreateResult>> results;  // by URL number
  std::vector<std::promise<void>> finished(kThreads);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      auto left = std::make_shared<std::atomic<int>>(kPerThread);
      for (int i = 0; i < kPerThread; ++i) {
        const int urlNumber = (t + i) % kUrls;
        writer_->Submit({"http://txt1?" + std::to_string(urlNumber), ""},
                        [&, t, left, urlNumber](CreateResult r) {
                          {
                            std::lock_guard<std::mutex> lock(mutex);
                            results[urlNumber].push_back(std::move(r));
                          }
                          if (--*left == 0) finished[t].set_value();
                        });
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  for (std::promise<void>& done : finished) done.get_future().wait();

  ASSERT_EQ(results.size(), static_cast<std::size_t>(kUrls));
  std::set<std::string> codes;
  for (const auto& [urlNumber, urlResults] : results) {
    for (const CreateResult& result : urlResults) {
      ASSERT_EQ(result.outcome, CreateOutcome::kStored);
      EXPECT_EQ(result.code, urlResults.front().code) << "url " << urlNumber;
    }
    codes.insert(urlResults.front().code);
  }
  EXPECT_EQ(codes.size(), static_cast<std::size_t>(kUrls)) << "distinct URLs, distinct codes";
  EXPECT_EQ(StoredCount(), kUrls);
}

TEST_F(BatchWriterTest, AliasNamesTheCodeOfItsUrlOnly) {
  const CreateResult drawn = CreateAndWait("http://txt1?01");
  ASSERT_EQ(drawn.outcome, CreateOutcome::kStored);
  ASSERT_EQ(drawn.code.size(), kDrawnCodeLength);

  struct Step {
    const char* name;
    std::string url;
    std::string alias;
    CreateOutcome outcome;
    std::string code;
  };
  const std::vector<Step> steps = {
      {"free alias for a URL with a code", "http://txt1?01", "first_alias", CreateOutcome::kStored,
       "first_alias"},
      {"the URL keeps its first code", "http://txt1?01", "", CreateOutcome::kStored, drawn.code},
      {"same alias, same URL again", "http://txt1?01", "first_alias", CreateOutcome::kStored,
       "first_alias"},
      {"alias of another URL", "http://txt1?02", "first_alias", CreateOutcome::kAliasTaken, ""},
      {"drawn code asked for as alias", "http://txt1?02", drawn.code, CreateOutcome::kAliasTaken,
       ""},
      {"alias for a new URL", "http://txt1?02", "Second", CreateOutcome::kStored, "Second"},
      {"the alias is the new URL's code", "http://txt1?02", "", CreateOutcome::kStored, "Second"},
  };
  for (const Step& step : steps) {
    const CreateResult result = CreateAndWait(step.url, step.alias);
    EXPECT_EQ(result.outcome, step.outcome) << step.name;
    EXPECT_EQ(result.code, step.code) << step.name;
  }
  EXPECT_EQ(StoredCount(), 3);
}

TEST_F(BatchWriterTest, StopStoresEveryQueuedCreateThenRefuses) {
  constexpr int kCreates = 200;
  std::vector<CreateResult> results(kCreates);
  for (int i = 0; i < kCreates; ++i) {
    writer_->Submit({"http://txt1?" + std::to_string(i), ""},
                    [&results, i](CreateResult r) { results[i] = std::move(r); });
  }
  writer_->Stop();
  for (const CreateResult& result : results) EXPECT_EQ(result.outcome, CreateOutcome::kStored);
  EXPECT_EQ(StoredCount(), kCreates);

  bool answered = false;
  writer_->Submit({"http://txt1?late", ""}, [&](CreateResult r) {
    answered = true;
    EXPECT_EQ(r.outcome, CreateOutcome::kUnavailable);
  });
  EXPECT_TRUE(answered) << "a create after Stop() is answered at once";
}

}  // namespace
}  // namespace lumerin
