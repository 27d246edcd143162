// The records Lumerin keeps at the link service, and the limits around them.
//
// A text is sealed (RC4, upper-case hexadecimal) and stored as the query part
// of a dummy long URL that begins with a marker:
//
//   part record:   kSinglePartMarker + sealed text (at most kPartSize characters)
//   index record:  kIndexMarker + SealText(code list, key)
//   code list:     the part codes in slice order, joined with kCodeSeparator
//
// A sealed text below kPartSize characters is one part record; a longer one is
// cut into kPartSize-character slices, one part record each, and the code that
// the user keeps is that of the index record over their codes. Records already
// stored at a service are read back with these values, so none may change.
#ifndef LUMERIN_LINKSTORE_RECORD_FORMAT_H_
#define LUMERIN_LINKSTORE_RECORD_FORMAT_H_

#include <string_view>

namespace lumerin {

// Sealed characters per part record: with a marker the long URL stays at 1812
// characters, which every service accepts; even, so a slice holds whole bytes.
inline constexpr int kPartSize = 1800;

// A sealed length divided by 200 must stay below this: fewer than 270000
// sealed characters (134999 text bytes), so at most 150 parts and an index
// record of 5-character codes that still fits in one part.
inline constexpr float kSizeLimit = 1350.0f;

// The tolerance of the single-precision size test; refuses 270000 exactly.
inline constexpr float kSizeLimitTolerance = 1e-7f;

// The longest text the size test accepts, in bytes, for messages to users.
inline constexpr int kMaxTextBytes = 134999;

// The most part records one index record may name (150 x 1800 = 270000).
inline constexpr int kMaxParts = 150;

// Joins the part codes in the code list; service codes never contain it.
inline constexpr std::string_view kCodeSeparator = "-";

// Replaces an empty key on the single-part path, so that short texts are never
// stored with the unshuffled RC4 state.
inline constexpr std::string_view kDefaultKey = "739164";

// The result of a refusal or a failure, in place of a code or a text.
inline constexpr std::string_view kFailureResult = "0";

// Opens every part record. Holds ":" and "/", so it never occurs inside a
// sealed (hexadecimal) text.
inline constexpr std::string_view kSinglePartMarker = "http://txt1?";

// Opens every index record; as long as kSinglePartMarker and different, so
// neither contains the other.
inline constexpr std::string_view kIndexMarker = "http://idx1?";

// Codes shorter than this are refused without asking the service.
inline constexpr int kMinCodeLength = 5;

}  // namespace lumerin

#endif  // LUMERIN_LINKSTORE_RECORD_FORMAT_H_
