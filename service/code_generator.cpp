#include "service/code_generator.h"

#include <sys/random.h>

#include <cerrno>
#include <cstring>

#include "service/short_code.h"

namespace lumerin {
namespace {

// The largest multiple of 62 that fits a byte; bytes at or above it are
// dropped so that every character is equally likely.
constexpr std::uint8_t kUnbiasedLimit = 62 * 4;

}  // namespace

Status CodeGenerator::Refill() {
  std::size_t filled = 0;
  while (filled < pool_.size()) {
    const ssize_t got = getrandom(pool_.data() + filled, pool_.size() - filled, 0);
    if (got < 0) {
      if (errno == EINTR) continue;
      return Status::Error(std::string("getrandom failed: ") + std::strerror(errno));
    }
    filled += static_cast<std::size_t>(got);
  }
  used_ = 0;
  return Status();
}

Status CodeGenerator::Draw(std::size_t length, std::string* code) {
  code->clear();
  while (code->size() < length) {
    if (used_ == pool_.size()) {
      if (Status status = Refill(); !status.ok()) return status;
    }
    const std::uint8_t byte = pool_[used_++];
    if (byte < kUnbiasedLimit) code->push_back(kCodeAlphabet[byte % kCodeAlphabet.size()]);
  }
  return Status();
}

}  // namespace lumerin
