// A strict reader of the flat JSON objects the link service answers with, so
// that a fuzz target can tell a well-formed answer from a broken one.
//
// It accepts exactly one object of members whose values are strings or
// integers, with no white space anywhere (the service writes none, and its
// clients find values by fixed markers that allow none) and nothing after the
// closing brace. Strings must be valid JSON strings: no raw control byte, only
// the escapes JSON defines, and valid UTF-8.
#ifndef LUMERIN_FUZZ_JSON_SHAPE_H_
#define LUMERIN_FUZZ_JSON_SHAPE_H_

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumerin::fuzz {

struct JsonMember {
  std::string name;
  bool isString = false;
  std::string text;      // the unescaped string, for a string value
  long long number = 0;  // for an integer value
};

// The members of `body` in order, or nullopt when it is not such an object.
[[nodiscard]] std::optional<std::vector<JsonMember>> ParseFlatObject(std::string_view body);

}  // namespace lumerin::fuzz

#endif  // LUMERIN_FUZZ_JSON_SHAPE_H_
