#include "linkstore/shortening.h"

#include "codec/seal.h"
#include "linkstore/record_format.h"
#include "linkstore/short_link_client.h"
#include "text/text_basic.h"
#include "text/text_convert.h"

namespace lumerin {

namespace {

// True when a sealed text of `sealedLength` characters is too long to store.
// The test runs in single precision on purpose: for whole lengths it refuses
// exactly 270000 and more.
bool ExceedsSizeLimit(int sealedLength) {
  const float fifth = static_cast<float>(sealedLength) / 200.0f;
  return fifth - kSizeLimit >= -kSizeLimitTolerance;
}

Text StoreSinglePart(const ServiceAddress& service, std::string_view text, std::string_view key) {
  const std::string_view partKey = key.empty() ? kDefaultKey : key;
  const Text code =
      CreateShortLink(service, ConcatText({kSinglePartMarker, SealText(text, partKey)}));
  return code.empty() ? Text(kFailureResult) : code;
}

Text StoreMultiPart(const ServiceAddress& service, std::string_view sealed, std::string_view key) {
  const int sealedLength = TextLength(sealed);
  const int wholeSlices = ToInteger(static_cast<double>(sealedLength) / kPartSize);
  const int remainder = sealedLength - wholeSlices * kPartSize;
  // The last slice holds the 1 to kPartSize characters left after the others.
  const int leadingSlices = remainder != 0 ? wholeSlices : wholeSlices - 1;

  Text codeList;
  for (int slice = 0; slice <= leadingSlices; ++slice) {
    const int start = 1 + slice * kPartSize;
    const int length = slice < leadingSlices ? kPartSize : sealedLength - start + 1;
    const Text code =
        CreateShortLink(service, ConcatText({kSinglePartMarker, TextMid(sealed, start, length)}));
    // An index over a missing part could never be restored whole.
    if (code.empty()) return Text(kFailureResult);
    if (slice > 0) codeList += kCodeSeparator;
    codeList += code;
  }

  const Text sealedList = SealText(codeList, key);
  if (TextLength(sealedList) >= kPartSize) return Text(kFailureResult);
  return CreateShortLink(service, ConcatText({kIndexMarker, sealedList}));
}

}  // namespace

Text ShortenText(const ServiceAddress& service, std::string_view text, std::string_view key) {
  const Text sealed = SealText(text, key);
  const int sealedLength = TextLength(sealed);
  if (ExceedsSizeLimit(sealedLength)) return Text(kFailureResult);
  if (sealedLength < kPartSize) return StoreSinglePart(service, text, key);
  return StoreMultiPart(service, sealed, key);
}

}  // namespace lumerin
