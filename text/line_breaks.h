// Line-break conversion at the edges: a Text carries CR LF, Qt and terminals
// carry LF. The pair of functions is an exact round trip for every input:
// CrLfFromLf turns every LF into CR LF (a CR LF already there becomes CR CR
// LF), and LfFromCrLf turns every CR LF back into LF.
#ifndef LUMERIN_TEXT_LINE_BREAKS_H_
#define LUMERIN_TEXT_LINE_BREAKS_H_

#include <string>
#include <string_view>

namespace lumerin {

// `text` with every LF replaced by CR LF.
[[nodiscard]] std::string CrLfFromLf(std::string_view text);

// `text` with every CR LF replaced by LF; other CRs stay.
[[nodiscard]] std::string LfFromCrLf(std::string_view text);

}  // namespace lumerin

#endif  // LUMERIN_TEXT_LINE_BREAKS_H_
