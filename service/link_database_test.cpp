#include "service/link_database.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <fstream>

#include "service/test_directory.h"

namespace lumerin {
namespace {

using ::testing::HasSubstr;

std::unique_ptr<LinkDatabase> OpenOrFail(const std::string& path, LinkDatabase::Access access) {
  std::unique_ptr<LinkDatabase> database;
  const Status status = LinkDatabase::Open(path, access, &database);
  EXPECT_TRUE(status.ok()) << status.message();
  return database;
}

// Runs `sql` on the file directly, as another program would.
void RunSql(const std::string& path, const char* sql) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
  EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
  sqlite3_close(db);
}

std::string JournalMode(const std::string& path) {
  sqlite3* db = nullptr;
  std::string mode;
  if (sqlite3_open(path.c_str(), &db) == SQLITE_OK) {
    sqlite3_exec(
        db, "PRAGMA journal_mode",
        [](void* out, int, char** values, char**) {
          *static_cast<std::string*>(out) = values[0];
          return 0;
        },
        &mode, nullptr);
  }
  sqlite3_close(db);
  return mode;
}

TEST(LinkDatabase, StoresLinksAndFindsThemBothWays) {
  std::unique_ptr<LinkDatabase> db = OpenOrFail(":memory:", LinkDatabase::Access::kReadWrite);
  ASSERT_NE(db, nullptr);
  bool inserted = false;
  ASSERT_TRUE(db->Insert("Ab3dE", "http://txt1?AA", &inserted).ok());
  EXPECT_TRUE(inserted);
  ASSERT_TRUE(db->Insert("alias_1", "http://txt1?AA", &inserted).ok());
  EXPECT_TRUE(inserted);
  ASSERT_TRUE(db->Insert("Ab3dE", "http://txt1?BB", &inserted).ok());
  EXPECT_FALSE(inserted) << "a taken code must not be overwritten";

  std::optional<std::string> url;
  ASSERT_TRUE(db->FindUrl("Ab3dE", &url).ok());
  EXPECT_EQ(url, "http://txt1?AA");
  ASSERT_TRUE(db->FindUrl("ab3de", &url).ok());
  EXPECT_EQ(url, std::nullopt) << "codes are case-sensitive";

  std::optional<std::string> code;
  ASSERT_TRUE(db->FindCode("http://txt1?AA", &code).ok());
  EXPECT_EQ(code, "Ab3dE") << "the first code of a URL is its code";
  ASSERT_TRUE(db->FindCode("http://txt1?BB", &code).ok());
  EXPECT_EQ(code, std::nullopt);

  std::int64_t count = 0;
  ASSERT_TRUE(db->CountLinks(&count).ok());
  EXPECT_EQ(count, 2);
}

TEST(LinkDatabase, KeepsCommittedLinksAcrossReopeningInWalMode) {
  TestDirectory directory;
  const std::string path = directory.File("links.db");
  {
    std::unique_ptr<LinkDatabase> db = OpenOrFail(path, LinkDatabase::Access::kReadWrite);
    ASSERT_NE(db, nullptr);
    bool inserted = false;
    ASSERT_TRUE(db->Begin().ok());
    ASSERT_TRUE(db->Insert("Kept1", "http://txt1?01", &inserted).ok());
    ASSERT_TRUE(db->Commit().ok());
    ASSERT_TRUE(db->Begin().ok());
    ASSERT_TRUE(db->Insert("Lost1", "http://txt1?02", &inserted).ok());
    db->Rollback();
  }
  EXPECT_EQ(JournalMode(path), "wal");
  for (auto access : {LinkDatabase::Access::kReadOnly, LinkDatabase::Access::kReadWrite}) {
    std::unique_ptr<LinkDatabase> db = OpenOrFail(path, access);
    ASSERT_NE(db, nullptr);
    std::optional<std::string> url;
    ASSERT_TRUE(db->FindUrl("Kept1", &url).ok());
    EXPECT_EQ(url, "http://txt1?01");
    ASSERT_TRUE(db->FindUrl("Lost1", &url).ok());
    EXPECT_EQ(url, std::nullopt);
    std::optional<std::string> code;
    ASSERT_TRUE(db->FindCode("http://txt1?01", &code).ok());
    EXPECT_EQ(code, "Kept1") << "the URL index survives reopening";
  }
}

TEST(LinkDatabase, ReadOnlyConnectionStoresNothing) {
  TestDirectory directory;
  const std::string path = directory.File("links.db");
  ASSERT_NE(OpenOrFail(path, LinkDatabase::Access::kReadWrite), nullptr);
  std::unique_ptr<LinkDatabase> db = OpenOrFail(path, LinkDatabase::Access::kReadOnly);
  ASSERT_NE(db, nullptr);
  bool inserted = false;
  EXPECT_FALSE(db->Insert("Ab3dE", "http://txt1?AA", &inserted).ok());
  EXPECT_FALSE(db->Begin().ok());
}

TEST(LinkDatabase, RefusesFilesItDoesNotKnow) {
  TestDirectory directory;
  struct Case {
    const char* name;
    std::function<void(const std::string&)> prepare;
    LinkDatabase::Access access;
    const char* message;
  };
  const std::vector<Case> cases = {
      {"newer schema version",
       [](const std::string& path) {
         RunSql(path, "CREATE TABLE links(x); PRAGMA user_version = 2;");
       },
       LinkDatabase::Access::kReadWrite, "schema version 2"},
      {"another program's database",
       [](const std::string& path) { RunSql(path, "CREATE TABLE things(x);"); },
       LinkDatabase::Access::kReadWrite, "not a link database"},
      {"not a database at all",
       [](const std::string& path) { std::ofstream(path) << std::string(4096, 'x'); },
       LinkDatabase::Access::kReadWrite, "links.db"},
      {"missing file, read-only", [](const std::string&) {}, LinkDatabase::Access::kReadOnly,
       "links.db"},
  };
  for (const Case& c : cases) {
    const std::string path = directory.File(std::string(c.name) + "-links.db");
    c.prepare(path);
    std::unique_ptr<LinkDatabase> db;
    const Status status = LinkDatabase::Open(path, c.access, &db);
    EXPECT_FALSE(status.ok()) << c.name;
    EXPECT_THAT(status.message(), HasSubstr(c.message)) << c.name;
    EXPECT_EQ(db, nullptr) << c.name;
  }
}

}  // namespace
}  // namespace lumerin
