// The store of short links: one SQLite connection and its prepared statements.
//
// The database holds one table of links (code, long URL, creation time),
// indexed by code and by a keyed hash of the URL (url_hash.h); a long URL
// may have several codes (its drawn code and aliases asked for
// later), and its first code is the one handed back when it is stored again.
// The schema carries a version number (PRAGMA user_version): version 0 is a
// new, empty file and gets the current schema; a version newer than
// kLinkSchemaVersion is refused, so an older program never writes into a
// layout it does not know.
//
// Durability: a read-write connection runs in WAL mode with synchronous=FULL,
// so once Commit() has succeeded the transaction survives a crash of the
// process and a loss of power.
//
// A connection is used by one thread at a time. Many read-only connections
// and one read-write connection may be open on one file at once.
#ifndef LUMERIN_SERVICE_LINK_DATABASE_H_
#define LUMERIN_SERVICE_LINK_DATABASE_H_

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "service/status.h"
#include "service/url_hash.h"

struct sqlite3;
struct sqlite3_stmt;

namespace lumerin {

// The schema version this program creates and understands.
inline constexpr int kLinkSchemaVersion = 1;

class LinkDatabase {
 public:
  enum class Access {
    kReadWrite,  // creates the file and schema if needed
    kReadOnly,   // the file must exist and carry the current schema
  };

  // Opens the database at `path` (":memory:" gives a private in-memory
  // database, for tests). On success sets `*database`; on failure leaves it
  // alone and says why, naming `path`.
  [[nodiscard]] static Status Open(const std::string& path, Access access,
                                   std::unique_ptr<LinkDatabase>* database);

  LinkDatabase(const LinkDatabase&) = delete;
  LinkDatabase& operator=(const LinkDatabase&) = delete;
  ~LinkDatabase();

  // Sets `*url` to the long URL stored under `code`, or to nullopt when there
  // is none.
  [[nodiscard]] Status FindUrl(std::string_view code, std::optional<std::string>* url);

  // Sets `*code` to the first code stored for `url`, or to nullopt.
  [[nodiscard]] Status FindCode(std::string_view url, std::optional<std::string>* code);

  // Stores `url` under `code` unless `code` is taken; `*inserted` says which.
  // Read-write connections only.
  [[nodiscard]] Status Insert(std::string_view code, std::string_view url, bool* inserted);

  // Sets `*count` to the number of stored links.
  [[nodiscard]] Status CountLinks(std::int64_t* count);

  // Transactions of the read-write connection. Begin() takes the write lock
  // at once (BEGIN IMMEDIATE); Commit() is durable when it succeeds;
  // Rollback() ends any open transaction and never fails.
  [[nodiscard]] Status Begin();
  [[nodiscard]] Status Commit();
  void Rollback();

 private:
  LinkDatabase(sqlite3* db, std::string path);
  Status Prepare(std::string_view sql, sqlite3_stmt** statement);
  Status Execute(std::string_view sql);
  Status PrepareSchema(Access access);
  Status Failure(std::string_view what) const;
  // The key of a new database: drawn, then stored in table meta.
  Status StoreNewUrlHashKey();
  Status LoadUrlHashKey();
  [[nodiscard]] std::int64_t HashOf(std::string_view url) const;

  sqlite3* db_;
  std::string path_;
  UrlHashKey urlHashKey_{};
  sqlite3_stmt* findUrl_ = nullptr;
  sqlite3_stmt* findCode_ = nullptr;
  sqlite3_stmt* insert_ = nullptr;
  sqlite3_stmt* count_ = nullptr;
  sqlite3_stmt* begin_ = nullptr;
  sqlite3_stmt* commit_ = nullptr;
};

}  // namespace lumerin

#endif  // LUMERIN_SERVICE_LINK_DATABASE_H_
