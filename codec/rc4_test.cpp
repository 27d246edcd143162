#include "codec/rc4.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <random>
#include <string>
#include <string_view>

#include "codec/hex.h"

namespace lumerin {
namespace {

using ::testing::ElementsAre;

// The key stream of `key` from byte `offset` on, `count` bytes of it: the
// transform of zero bytes is the key stream itself.
ByteArray KeyStream(std::string_view key, std::size_t offset, std::size_t count) {
  const ByteArray stream = Rc4Transform(ByteArray(offset + count, 0), key);
  return ByteArray(stream.begin() + static_cast<std::ptrdiff_t>(offset), stream.end());
}

std::string KeyFromHex(std::string_view hex) {
  const ByteArray bytes = HexDecode(hex);
  return std::string(bytes.begin(), bytes.end());
}

struct PublishedKeyStream {
  const char* name;
  const char* keyHex;
  std::size_t offset;
  const char* streamHex;  // 16 key-stream bytes from `offset` on
};

// Published RC4 test vectors (RFC 6229), typed in from its tables. The last
// two keys hold bytes of 0x80 and above, so they also show that key bytes
// take part as unsigned values.
constexpr PublishedKeyStream kPublishedKeyStreams[] = {
    {"Key40Offset0", "0102030405", 0, "b2396305f03dc027ccc3524a0a1118a8"},
    {"Key40Offset16", "0102030405", 16, "6982944f18fc82d589c403a47a0d0919"},
    {"Key40Offset240", "0102030405", 240, "28cb1132c96ce286421dcaadb8b69eae"},
    {"Key40Offset256", "0102030405", 256, "1cfcf62b03eddb641d77dfcf7f8d8c93"},
    {"Key40Offset1008", "0102030405", 1008, "45129048e6a0ed0b56b490338f078da5"},
    {"Key40Offset1024", "0102030405", 1024, "30abbcc7c20b01609f23ee2d5f6bb7df"},
    {"Key40Offset4096", "0102030405", 4096, "ff25b58995996707e51fbdf08b34d875"},
    {"Key56Offset0", "01020304050607", 0, "293f02d47f37c9b633f2af5285feb46b"},
    {"Key64Offset0", "0102030405060708", 0, "97ab8a1bf0afb96132f2f67258da15a8"},
    {"Key80Offset0", "0102030405060708090a", 0, "ede3b04643e586cc907dc21851709902"},
    {"Key128Offset0", "0102030405060708090a0b0c0d0e0f10", 0, "9ac7cc9a609d1ef7b2932899cde41b97"},
    {"Key256Offset0", "0102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f20", 0,
     "eaa6bd25880bf93d3f5d1e4ca2611d91"},
    {"HighKey40Offset0", "833222772a", 0, "80ad97bdc973df8a2e879e92a497efda"},
    {"HighKey256Offset0", "1ada31d5cf688221c109163908ebe51debb46227c6cc8b37641910833222772a", 0,
     "dd5bcb0018e922d494759d7c395d02d3"},
};

TEST(Rc4Transform, MatchesPublishedKeyStreams) {
  for (const PublishedKeyStream& vector : kPublishedKeyStreams) {
    SCOPED_TRACE(vector.name);
    EXPECT_EQ(KeyStream(KeyFromHex(vector.keyHex), vector.offset, 16), HexDecode(vector.streamHex));
  }
}

TEST(Rc4Transform, KeyStreamDoesNotDependOnTheDataLength) {
  // Data is transformed in blocks with a byte-wise remainder; every length
  // must see the same key stream.
  const ByteArray longest = KeyStream("key", 0, 40);
  for (std::size_t length = 1; length <= longest.size(); ++length) {
    SCOPED_TRACE(length);
    const ByteArray stream = KeyStream("key", 0, length);
    EXPECT_TRUE(std::equal(stream.begin(), stream.end(), longest.begin()));
    EXPECT_EQ(stream.size(), length);
  }
}

TEST(Rc4Transform, EmptyKeyRunsTheIdentityPermutation) {
  EXPECT_THAT(KeyStream("", 0, 8), ElementsAre(0x02, 0x05, 0x07, 0x0D, 0x0D, 0x17, 0x1F, 0x28));
}

TEST(Rc4Transform, EmptyDataGivesEmptyArray) {
  EXPECT_TRUE(Rc4Transform({}, "").empty());
  EXPECT_TRUE(Rc4Transform({}, "key").empty());
}

TEST(Rc4Transform, TwiceWithTheSameKeyGivesTheDataBack) {
  std::mt19937 generator(6229);
  std::uniform_int_distribution<int> byteValue(0, 255);
  ByteArray data(5000);
  for (std::uint8_t& b : data) b = static_cast<std::uint8_t>(byteValue(generator));
  const ByteArray sealed = Rc4Transform(data, "\xC3\xDC\xD4\xBF key");
  ASSERT_EQ(sealed.size(), data.size());
  EXPECT_NE(sealed, data);
  EXPECT_EQ(Rc4Transform(sealed, "\xC3\xDC\xD4\xBF key"), data);
}

TEST(Rc4Transform, OnlyTheFirst256KeyBytesCount) {
  std::string key;
  for (int k = 0; k < 300; ++k) key.push_back(static_cast<char>(1 + k % 251));
  const ByteArray data(64, 0x5A);
  const ByteArray first256 = Rc4Transform(data, std::string_view(key).substr(0, 256));
  EXPECT_EQ(Rc4Transform(data, key), first256);
  // Byte 256 itself still counts: a key one byte shorter differs.
  EXPECT_NE(Rc4Transform(data, std::string_view(key).substr(0, 255)), first256);
}

}  // namespace
}  // namespace lumerin
