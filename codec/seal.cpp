#include "codec/seal.h"

#include "codec/hex.h"
#include "codec/rc4.h"
#include "text/text_convert.h"

namespace lumerin {

Text SealText(std::string_view text, std::string_view key) {
  return HexEncode(Rc4Transform(TextToBytes(text), key));
}

Text UnsealText(std::string_view sealed, std::string_view key) {
  return BytesToText(Rc4Transform(HexDecode(sealed), key));
}

}  // namespace lumerin
