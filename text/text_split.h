// Cutting a text into the pieces between separators.
#ifndef LUMERIN_TEXT_TEXT_SPLIT_H_
#define LUMERIN_TEXT_TEXT_SPLIT_H_

#include <optional>
#include <string_view>

#include "text/text_types.h"

namespace lumerin {

// The pieces of `text` between exact (never case-folded) occurrences of
// `separator`, in order, found at character starts. An empty text gives no
// elements; an empty separator gives one element, the whole text. A piece
// before a leading separator or between two adjacent ones is an empty
// element; a trailing separator adds no empty last element. With `maxCount`
// given, the split ends as soon as that many elements are made (the rest of
// the text is dropped), and a maxCount of 0 or less gives no elements.
//   SplitText("a--b", "-") == {"a", "", "b"};  SplitText("a-", "-") == {"a"}
[[nodiscard]] TextArray SplitText(std::string_view text, std::string_view separator = ",",
                                  std::optional<int> maxCount = std::nullopt);

}  // namespace lumerin

#endif  // LUMERIN_TEXT_TEXT_SPLIT_H_
