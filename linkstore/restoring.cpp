#include "linkstore/restoring.h"

#include "codec/seal.h"
#include "linkstore/record_format.h"
#include "linkstore/short_link_client.h"
#include "text/text_basic.h"
#include "text/text_search.h"
#include "text/text_split.h"

namespace lumerin {

namespace {

bool Contains(std::string_view text, std::string_view marker) { return FindText(text, marker) > 0; }

// `text` with every exact occurrence of `marker` removed.
Text WithoutMarker(std::string_view text, std::string_view marker) {
  return ReplaceText(text, marker, {}, 1, kNoLimit, /*caseSensitive=*/true);
}

Text RestorePartRecord(std::string_view longUrl, std::string_view key) {
  const std::string_view partKey = key.empty() ? kDefaultKey : key;
  const Text text = UnsealText(WithoutMarker(longUrl, kSinglePartMarker), partKey);
  return text.empty() ? Text(kFailureResult) : text;
}

Text RestoreIndexRecord(const ServiceAddress& service, std::string_view longUrl,
                        std::string_view key) {
  const TextArray codes =
      SplitText(UnsealText(WithoutMarker(longUrl, kIndexMarker), key), kCodeSeparator);
  // No stored text has more parts; a longer list is damaged or read with the
  // wrong key, and must not cost a request per piece.
  if (ArrayCount(codes) > kMaxParts) return Text(kFailureResult);

  Text sealed;
  for (int index = 1; index <= ArrayCount(codes); ++index) {
    const Text part = LookupShortLink(service, ArrayElement(codes, index));
    // A missing or foreign part would give a text garbled from there on, and
    // no stored slice is longer than kPartSize: a longer one is not ours and
    // must not let a hostile service grow the joined text without bound.
    if (part.empty() || !Contains(part, kSinglePartMarker)) return Text(kFailureResult);
    const Text slice = WithoutMarker(part, kSinglePartMarker);
    if (TextLength(slice) > kPartSize) return Text(kFailureResult);
    sealed += slice;
  }
  return UnsealText(sealed, key);
}

}  // namespace

Text RestoreText(const ServiceAddress& service, std::string_view code, std::string_view key) {
  if (TextLength(code) < kMinCodeLength) return Text(kFailureResult);
  const Text longUrl = LookupShortLink(service, code);
  if (Contains(longUrl, kSinglePartMarker)) return RestorePartRecord(longUrl, key);
  if (Contains(longUrl, kIndexMarker)) return RestoreIndexRecord(service, longUrl, key);
  return Text(kFailureResult);
}

}  // namespace lumerin
