// Random short codes from the kernel's cryptographically secure generator.
//
// Codes must not be guessable from one another (a code is the only key to a
// record), so they come from getrandom(2), never from a seeded engine. Each
// character is drawn without bias from the 62 of kCodeAlphabet.
#ifndef LUMERIN_SERVICE_CODE_GENERATOR_H_
#define LUMERIN_SERVICE_CODE_GENERATOR_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "service/status.h"

namespace lumerin {

// Draws codes; keeps a buffer of random bytes so that a code rarely costs a
// system call. Not thread-safe: each thread that draws owns a generator.
class CodeGenerator {
 public:
  // Sets `*code` to `length` random characters of kCodeAlphabet. Fails only
  // when the kernel refuses random bytes; `*code` is then unspecified.
  [[nodiscard]] Status Draw(std::size_t length, std::string* code);

 private:
  Status Refill();

  std::array<std::uint8_t, 256> pool_{};
  std::size_t used_ = pool_.size();
};

}  // namespace lumerin

#endif  // LUMERIN_SERVICE_CODE_GENERATOR_H_
