#include "codec/seal.h"

#include <cstdint>

#include "codec/hex.h"
#include "codec/rc4.h"
#include "text/text_convert.h"

namespace lumerin {

Text SealText(std::string_view text, std::string_view key) {
  // The bytes of the text, viewed in place rather than copied by TextToBytes.
  const ByteView bytes(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
  return HexEncode(Rc4Transform(bytes, key));
}

Text UnsealText(std::string_view sealed, std::string_view key) {
  return BytesToText(Rc4Transform(HexDecode(sealed), key));
}

}  // namespace lumerin
