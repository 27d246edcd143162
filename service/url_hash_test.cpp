#include "service/url_hash.h"

#include <gtest/gtest.h>

#include <string>

namespace lumerin {
namespace {

UrlHashKey CountingKey() {
  UrlHashKey key;
  for (std::size_t i = 0; i < key.size(); ++i) key[i] = static_cast<std::uint8_t>(i);
  return key;
}

std::string CountingBytes(std::size_t count) {
  std::string bytes;
  for (std::size_t i = 0; i < count; ++i) bytes.push_back(static_cast<char>(i));
  return bytes;
}

TEST(SipHash24, MatchesThePublishedValues) {
  // The example of the SipHash paper (key 00..0f, message 00..0e) and the
  // first and ninth entries of the reference test vectors (messages of 0 and
  // 8 bytes: an empty last block and one whole block).
  EXPECT_EQ(SipHash24(CountingKey(), CountingBytes(15)), 0xa129ca6149be45e5ULL);
  EXPECT_EQ(SipHash24(CountingKey(), CountingBytes(0)), 0x726fdb47dd0e0e31ULL);
  EXPECT_EQ(SipHash24(CountingKey(), CountingBytes(8)), 0x93f5f5799a932462ULL);
}

TEST(SipHash24, DependsOnKeyAndEveryByte) {
  const std::string url = "http://txt1?" + std::string(1800, 'A');
  UrlHashKey otherKey = CountingKey();
  otherKey[15] ^= 1;
  EXPECT_NE(SipHash24(CountingKey(), url), SipHash24(otherKey, url));
  std::string changed = url;
  changed[900] = 'B';
  EXPECT_NE(SipHash24(CountingKey(), url), SipHash24(CountingKey(), changed));
  EXPECT_NE(SipHash24(CountingKey(), url), SipHash24(CountingKey(), url + "A"));
}

}  // namespace
}  // namespace lumerin
