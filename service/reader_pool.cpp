#include "service/reader_pool.h"

namespace lumerin {

ReaderPool::ReaderPool(std::string path) : path_(std::move(path)) {}

Status ReaderPool::FindUrl(std::string_view code, std::optional<std::string>* url) {
  std::unique_ptr<LinkDatabase> reader;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!idle_.empty()) {
      reader = std::move(idle_.back());
      idle_.pop_back();
    }
  }
  if (reader == nullptr) {
    if (Status status = LinkDatabase::Open(path_, LinkDatabase::Access::kReadOnly, &reader);
        !status.ok()) {
      return status;
    }
  }
  Status status = reader->FindUrl(code, url);
  std::lock_guard<std::mutex> lock(mutex_);
  idle_.push_back(std::move(reader));
  return status;
}

}  // namespace lumerin
