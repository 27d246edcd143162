#include "service/link_database.h"

#include <sqlite3.h>
#include <sys/random.h>

#include <cerrno>
#include <cstring>
#include <ctime>

namespace lumerin {
namespace {

constexpr int kBusyTimeoutMs = 5000;

// links: one row per code; url_hash is SipHash24 of url under the key in
// meta, so a URL's codes are found without indexing the URL itself.
// meta: settings of the database; "url_hash_key" holds 16 random bytes.
constexpr std::string_view kCreateSchema =
    "CREATE TABLE links ("
    "  id INTEGER PRIMARY KEY,"
    "  code TEXT NOT NULL UNIQUE,"
    "  url TEXT NOT NULL,"
    "  url_hash INTEGER NOT NULL,"
    "  created_at INTEGER NOT NULL"
    ");"
    "CREATE INDEX links_by_url_hash ON links(url_hash);"
    "CREATE TABLE meta (name TEXT PRIMARY KEY, value BLOB NOT NULL);";

// Pages of cache per connection (negative: KiB): keeps the indexes of a few
// million links in memory.
constexpr std::string_view kCacheSize = "PRAGMA cache_size = -32768";

// Resets a statement and its bindings when a lookup leaves scope, so a
// statement never keeps a read transaction open between calls.
class StatementUse {
 public:
  explicit StatementUse(sqlite3_stmt* statement) : statement_(statement) {}
  StatementUse(const StatementUse&) = delete;
  StatementUse& operator=(const StatementUse&) = delete;
  ~StatementUse() {
    sqlite3_reset(statement_);
    sqlite3_clear_bindings(statement_);
  }

  bool BindText(int index, std::string_view text) {
    return sqlite3_bind_text(statement_, index, text.data(), static_cast<int>(text.size()),
                             SQLITE_STATIC) == SQLITE_OK;
  }

  sqlite3_stmt* get() const { return statement_; }

 private:
  sqlite3_stmt* statement_;
};

std::string ColumnText(sqlite3_stmt* statement, int column) {
  const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
  return std::string(text == nullptr ? "" : text,
                     static_cast<std::size_t>(sqlite3_column_bytes(statement, column)));
}

}  // namespace

LinkDatabase::LinkDatabase(sqlite3* db, std::string path) : db_(db), path_(std::move(path)) {}

LinkDatabase::~LinkDatabase() {
  Rollback();
  for (sqlite3_stmt* statement : {findUrl_, findCode_, insert_, count_, begin_, commit_}) {
    sqlite3_finalize(statement);
  }
  sqlite3_close_v2(db_);
}

Status LinkDatabase::Failure(std::string_view what) const {
  return Status::Error("database " + path_ + ": " + std::string(what) + ": " + sqlite3_errmsg(db_));
}

Status LinkDatabase::Prepare(std::string_view sql, sqlite3_stmt** statement) {
  if (sqlite3_prepare_v3(db_, sql.data(), static_cast<int>(sql.size()), SQLITE_PREPARE_PERSISTENT,
                         statement, nullptr) != SQLITE_OK) {
    return Failure("cannot prepare a statement");
  }
  return Status();
}

Status LinkDatabase::Execute(std::string_view sql) {
  if (sqlite3_exec(db_, std::string(sql).c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) {
    return Failure("cannot run \"" + std::string(sql.substr(0, 40)) + "\"");
  }
  return Status();
}

Status LinkDatabase::Open(const std::string& path, Access access,
                          std::unique_ptr<LinkDatabase>* database) {
  const int flags = SQLITE_OPEN_NOMUTEX |
                    (access == Access::kReadWrite ? SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE
                                                  : SQLITE_OPEN_READONLY);
  sqlite3* db = nullptr;
  const int opened = sqlite3_open_v2(path.c_str(), &db, flags, nullptr);
  // The wrapper owns the handle from here on, also when opening failed.
  std::unique_ptr<LinkDatabase> wrapper(new LinkDatabase(db, path));
  if (db == nullptr) return Status::Error("database " + path + ": out of memory");
  if (opened != SQLITE_OK) return wrapper->Failure("cannot open");
  sqlite3_extended_result_codes(db, 1);
  sqlite3_busy_timeout(db, kBusyTimeoutMs);
  if (Status status = wrapper->PrepareSchema(access); !status.ok()) return status;
  if (Status status = wrapper->Prepare("SELECT url FROM links WHERE code = ?1", &wrapper->findUrl_);
      !status.ok()) {
    return status;
  }
  if (Status status = wrapper->Prepare(
          "SELECT code FROM links WHERE url_hash = ?1 AND url = ?2 ORDER BY id LIMIT 1",
          &wrapper->findCode_);
      !status.ok()) {
    return status;
  }
  if (Status status = wrapper->Prepare("SELECT count(*) FROM links", &wrapper->count_);
      !status.ok()) {
    return status;
  }
  if (access == Access::kReadWrite) {
    for (auto [sql, statement] : {
             std::pair{"INSERT INTO links(code, url, url_hash, created_at) "
                       "VALUES(?1, ?2, ?3, ?4)",
                       &wrapper->insert_},
             std::pair{"BEGIN IMMEDIATE", &wrapper->begin_},
             std::pair{"COMMIT", &wrapper->commit_},
         }) {
      if (Status status = wrapper->Prepare(sql, statement); !status.ok()) return status;
    }
  }
  *database = std::move(wrapper);
  return Status();
}

Status LinkDatabase::PrepareSchema(Access access) {
  if (Status status = Execute(kCacheSize); !status.ok()) return status;
  if (access == Access::kReadWrite) {
    // journal_mode answers with the mode in force; an in-memory database
    // stays "memory", every file must end up in WAL mode.
    sqlite3_stmt* mode = nullptr;
    if (Status status = Prepare("PRAGMA journal_mode=WAL", &mode); !status.ok()) return status;
    const bool stepped = sqlite3_step(mode) == SQLITE_ROW;
    const std::string modeName = stepped ? ColumnText(mode, 0) : "";
    sqlite3_finalize(mode);
    if (!stepped) return Failure("cannot switch to WAL mode");
    if (modeName != "wal" && modeName != "memory") {
      return Status::Error("database " + path_ + ": journal mode " + modeName + " instead of wal");
    }
    if (Status status = Execute("PRAGMA synchronous=FULL"); !status.ok()) return status;
    if (Status status = Execute("BEGIN IMMEDIATE"); !status.ok()) return status;
  } else {
    if (Status status = Execute("BEGIN"); !status.ok()) return status;
  }

  sqlite3_stmt* version = nullptr;
  if (Status status = Prepare("PRAGMA user_version", &version); !status.ok()) {
    Rollback();
    return status;
  }
  const bool stepped = sqlite3_step(version) == SQLITE_ROW;
  const int schemaVersion = stepped ? sqlite3_column_int(version, 0) : -1;
  sqlite3_finalize(version);
  if (!stepped) {
    Status status = Failure("cannot read the schema version");
    Rollback();
    return status;
  }
  if (schemaVersion > kLinkSchemaVersion) {
    Rollback();
    return Status::Error("database " + path_ + " has schema version " +
                         std::to_string(schemaVersion) + "; this program knows versions up to " +
                         std::to_string(kLinkSchemaVersion) + " and will not touch it");
  }
  if (schemaVersion == kLinkSchemaVersion) {
    Status status = LoadUrlHashKey();
    if (status.ok()) status = Execute("COMMIT");
    if (!status.ok()) Rollback();
    return status;
  }
  if (access == Access::kReadOnly) {
    Rollback();
    return Status::Error("database " + path_ + " holds no links table (schema version " +
                         std::to_string(schemaVersion) + ")");
  }

  // Version 0: the file must be empty, not some other program's database.
  sqlite3_stmt* tables = nullptr;
  if (Status status = Prepare("SELECT count(*) FROM sqlite_schema", &tables); !status.ok()) {
    Rollback();
    return status;
  }
  const bool counted = sqlite3_step(tables) == SQLITE_ROW;
  const int tableCount = counted ? sqlite3_column_int(tables, 0) : -1;
  sqlite3_finalize(tables);
  if (tableCount != 0) {
    Rollback();
    return Status::Error("database " + path_ +
                         " is not empty but has no schema version; not a link database");
  }
  Status status = Execute(kCreateSchema);
  if (status.ok()) status = StoreNewUrlHashKey();
  if (status.ok()) status = Execute("PRAGMA user_version = 1");
  if (status.ok()) status = Execute("COMMIT");
  if (!status.ok()) Rollback();
  static_assert(kLinkSchemaVersion == 1, "write the migration to the new schema version");
  return status;
}

Status LinkDatabase::StoreNewUrlHashKey() {
  std::size_t filled = 0;
  while (filled < urlHashKey_.size()) {
    const ssize_t got = getrandom(urlHashKey_.data() + filled, urlHashKey_.size() - filled, 0);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return Status::Error(std::string("getrandom failed: ") + std::strerror(errno));
    filled += static_cast<std::size_t>(got);
  }
  sqlite3_stmt* store = nullptr;
  if (Status status = Prepare("INSERT INTO meta(name, value) VALUES('url_hash_key', ?1)", &store);
      !status.ok()) {
    return status;
  }
  const bool stored =
      sqlite3_bind_blob(store, 1, urlHashKey_.data(), static_cast<int>(urlHashKey_.size()),
                        SQLITE_STATIC) == SQLITE_OK &&
      sqlite3_step(store) == SQLITE_DONE;
  sqlite3_finalize(store);
  return stored ? Status() : Failure("cannot store the url hash key");
}

Status LinkDatabase::LoadUrlHashKey() {
  sqlite3_stmt* load = nullptr;
  if (Status status = Prepare("SELECT value FROM meta WHERE name = 'url_hash_key'", &load);
      !status.ok()) {
    return status;
  }
  const bool found = sqlite3_step(load) == SQLITE_ROW &&
                     sqlite3_column_bytes(load, 0) == static_cast<int>(urlHashKey_.size());
  if (found) std::memcpy(urlHashKey_.data(), sqlite3_column_blob(load, 0), urlHashKey_.size());
  sqlite3_finalize(load);
  return found ? Status() : Failure("no valid url hash key in table meta");
}

Status LinkDatabase::FindUrl(std::string_view code, std::optional<std::string>* url) {
  StatementUse use(findUrl_);
  if (!use.BindText(1, code)) return Failure("cannot bind a code");
  const int stepped = sqlite3_step(findUrl_);
  if (stepped == SQLITE_ROW) {
    *url = ColumnText(findUrl_, 0);
    return Status();
  }
  if (stepped != SQLITE_DONE) return Failure("cannot look up a code");
  *url = std::nullopt;
  return Status();
}

Status LinkDatabase::FindCode(std::string_view url, std::optional<std::string>* code) {
  StatementUse use(findCode_);
  if (sqlite3_bind_int64(findCode_, 1, HashOf(url)) != SQLITE_OK || !use.BindText(2, url)) {
    return Failure("cannot bind a url");
  }
  const int stepped = sqlite3_step(findCode_);
  if (stepped == SQLITE_ROW) {
    *code = ColumnText(findCode_, 0);
    return Status();
  }
  if (stepped != SQLITE_DONE) return Failure("cannot look up a url");
  *code = std::nullopt;
  return Status();
}

Status LinkDatabase::Insert(std::string_view code, std::string_view url, bool* inserted) {
  if (insert_ == nullptr) return Status::Error("database " + path_ + " is open read-only");
  StatementUse use(insert_);
  if (!use.BindText(1, code) || !use.BindText(2, url) ||
      sqlite3_bind_int64(insert_, 3, HashOf(url)) != SQLITE_OK ||
      sqlite3_bind_int64(insert_, 4, static_cast<sqlite3_int64>(std::time(nullptr))) != SQLITE_OK) {
    return Failure("cannot bind a link");
  }
  const int stepped = sqlite3_step(insert_);
  // Only a taken code is an expected refusal; every other failure, also
  // another constraint, is an error.
  if (stepped != SQLITE_DONE && stepped != SQLITE_CONSTRAINT_UNIQUE) {
    return Failure("cannot store a link");
  }
  *inserted = stepped == SQLITE_DONE;
  return Status();
}

std::int64_t LinkDatabase::HashOf(std::string_view url) const {
  return static_cast<std::int64_t>(SipHash24(urlHashKey_, url));
}

Status LinkDatabase::CountLinks(std::int64_t* count) {
  StatementUse use(count_);
  if (sqlite3_step(count_) != SQLITE_ROW) return Failure("cannot count links");
  *count = sqlite3_column_int64(count_, 0);
  return Status();
}

Status LinkDatabase::Begin() {
  if (begin_ == nullptr) return Status::Error("database " + path_ + " is open read-only");
  StatementUse use(begin_);
  if (sqlite3_step(begin_) != SQLITE_DONE) return Failure("cannot begin a transaction");
  return Status();
}

Status LinkDatabase::Commit() {
  if (commit_ == nullptr) return Status::Error("database " + path_ + " is open read-only");
  StatementUse use(commit_);
  if (sqlite3_step(commit_) != SQLITE_DONE) return Failure("cannot commit");
  return Status();
}

void LinkDatabase::Rollback() {
  if (db_ != nullptr && sqlite3_get_autocommit(db_) == 0) {
    sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
  }
}

}  // namespace lumerin
