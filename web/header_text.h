// The request header text a caller hands to the HTTP client, checked and cut
// into the lines that go on the wire.
//
// A header text is header lines joined by CR LF. Only the pair CR LF ends a
// line; a bare CR or LF inside a line is refused, never taken as a line end,
// so a caller's text cannot smuggle in lines (or an end of the header block)
// that do not appear as lines of its own. Empty lines carry nothing and are
// dropped, so a trailing CR LF does no harm.
#ifndef LUMERIN_WEB_HEADER_TEXT_H_
#define LUMERIN_WEB_HEADER_TEXT_H_

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumerin {

// One header line: its name, and the bytes after the colon as written.
struct HeaderLine {
  std::string name;
  std::string value;
};

// The lines of `headerText` in their order, or nullopt when one of them is not
// sent as it stands:
//  - a line that is not a name of token characters (letters, digits and
//    !#$%&'*+-.^_`|~) followed by ":";
//  - a value holding a byte below 0x20 other than tab, or 0x7F (a bare CR or
//    LF among them);
//  - a Content-Length or Transfer-Encoding line: the client frames the body
//    itself, and a second framing would desynchronise a kept-alive
//    connection.
//   ParseHeaderText("Referer: x\r\nAccept: */*")  gives  {Referer," x"}, {Accept," */*"}
//   ParseHeaderText("Referer: x\ny: z")  gives  nullopt
[[nodiscard]] std::optional<std::vector<HeaderLine>> ParseHeaderText(std::string_view headerText);

// True when one of `lines` has the name `name`, ASCII case ignored.
[[nodiscard]] bool HasHeaderLine(const std::vector<HeaderLine>& lines, std::string_view name);

}  // namespace lumerin

#endif  // LUMERIN_WEB_HEADER_TEXT_H_
