// Texts of a chosen length for the link-storage tests and benchmarks.
#ifndef LUMERIN_LINKSTORE_TESTING_SAMPLE_TEXT_H_
#define LUMERIN_LINKSTORE_TESTING_SAMPLE_TEXT_H_

#include <cstdint>

#include "text/text_types.h"

namespace lumerin::testsupport {

// `length` bytes drawn from 1 to 255 by a generator seeded with `seed`: never
// a zero byte, so a valid Text, and texts of different seeds differ, so the
// service stores every one anew. The same arguments give the same text.
[[nodiscard]] Text SampleText(int length, std::uint32_t seed);

}  // namespace lumerin::testsupport

#endif  // LUMERIN_LINKSTORE_TESTING_SAMPLE_TEXT_H_
