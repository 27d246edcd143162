#include "text/byte_array.h"

#include <gtest/gtest.h>

#include <climits>

namespace lumerin {
namespace {

const ByteArray kFour = {0x01, 0x00, 0xFF, 0x02};

TEST(BytesLength, CountsZeroBytesToo) {
  EXPECT_EQ(BytesLength(ByteArray()), 0);
  EXPECT_EQ(BytesLength(kFour), 4);
}

TEST(BytesLeft, TakesAtMostNFirstBytes) {
  struct Case {
    int n;
    ByteArray expected;
  };
  const Case cases[] = {
      {10, kFour}, {INT_MAX, kFour}, {4, kFour},    {2, {0x01, 0x00}},
      {0, {}},     {-1, {}},         {INT_MIN, {}},
  };
  for (const Case& c : cases) EXPECT_EQ(BytesLeft(kFour, c.n), c.expected) << c.n;
  EXPECT_TRUE(BytesLeft(ByteArray(), 3).empty());
}

TEST(BlankBytes, MakesNZeroBytes) {
  EXPECT_EQ(BlankBytes(3), ByteArray(3, 0));
  for (const int none : {0, -1, INT_MIN}) EXPECT_TRUE(BlankBytes(none).empty()) << none;
}

TEST(ConcatBytes, JoinsInArgumentOrder) {
  EXPECT_TRUE(ConcatBytes({ByteArray(), ByteArray()}).empty());
  const ByteArray tail = {0x00, 0x09};
  EXPECT_EQ(ConcatBytes({kFour, ByteArray(), tail}),
            (ByteArray{0x01, 0x00, 0xFF, 0x02, 0x00, 0x09}));
}

TEST(CompareBytes, EqualOnlyForSameCountAndBytes) {
  EXPECT_TRUE(CompareBytes(ByteArray(), ByteArray()));
  EXPECT_TRUE(CompareBytes(kFour, ByteArray(kFour)));
  EXPECT_FALSE(CompareBytes(kFour, BytesLeft(kFour, 3)));
  EXPECT_FALSE(CompareBytes(kFour, ByteArray{0x01, 0x00, 0xFF, 0x03}));
  EXPECT_FALSE(CompareBytes(ByteArray(), ByteArray{0x00}));
}

TEST(BitOr, CombinesAllValues) {
  EXPECT_EQ(BitOr({0x1, 0x4, 0x80000000u}), 0x80000005u);
  EXPECT_EQ(BitOr({0x3, 0x3}), 0x3u);
}

}  // namespace
}  // namespace lumerin
