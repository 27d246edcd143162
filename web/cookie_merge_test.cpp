#include "web/cookie_merge.h"

#include <string>

#include "gtest/gtest.h"

namespace lumerin {
namespace {

TEST(MergeCookies, MergesAnAnswersCookiesIntoTheStoredList) {
  struct Case {
    std::string stored;
    std::string fresh;
    std::string merged;
    std::string freshAfter;
  };
  const Case cases[] = {
      // New pairs first, replacing stored ones of their names; deleted left out.
      {"a=1; b=2; d=4", "b=5; d=deleted; e=6", "b=5; e=6; a=1", "b=5;d=deleted;e=6"},
      {"", "a=1; b=2", "a=1; b=2", "a=1;b=2"},
      {"x=1; x=2", "", "x=1", ""},
      {"", "x=1; x=2", "x=1; x=2", "x=1;x=2"},
      {"", "x=1; x=1", "x=1", "x=1;x=1"},
      {"c=hello world", "", "c=helloworld", ""},
      {"a = 1", "", "a=1", ""},
      {"a", "a=1", "a=1", "a=1"},
      {"d=deleted; e=1", "", "e=1", ""},
      {"", "k=v=deleted; a=DELETED", "a=DELETED", "k=v=deleted;a=DELETED"},
      {"a=1;;b=2", "", "a=1; ; b=2", ""},
      {"", "", "", ""},
      // Stored pairs keep their order after the new ones; full-width spaces go too.
      {"s=1; t=2", "u=3\xA1\xA1", "u=3; s=1; t=2", "u=3"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("stored \"" + c.stored + "\", new \"" + c.fresh + "\"");
    Text list = c.stored;
    Text fresh = c.fresh;
    const Text result = MergeCookies(list, fresh);
    EXPECT_EQ(list, c.merged);
    EXPECT_EQ(result, c.merged);
    EXPECT_EQ(fresh, c.freshAfter);
  }
}

TEST(CookieName, IsTheTrimmedTextBeforeTheFirstEquals) {
  EXPECT_EQ(CookieName(" sid =9f=3"), "sid");
  EXPECT_EQ(CookieName("a"), "a");
  EXPECT_EQ(CookieName("=v"), "");
  EXPECT_EQ(CookieName(""), "");
}

TEST(HasCookieName, ComparesNamesExactly) {
  const TextArray pairs = {"a=1", "b", "C=3"};
  EXPECT_TRUE(HasCookieName(pairs, "a"));
  EXPECT_TRUE(HasCookieName(pairs, "b"));
  EXPECT_FALSE(HasCookieName(pairs, "c"));
  EXPECT_FALSE(HasCookieName(pairs, "a=1"));
  EXPECT_FALSE(HasCookieName({}, ""));
}

TEST(DedupeList, KeepsTheFirstOfEachItem) {
  EXPECT_EQ(DedupeList("x; y; x", "; "), "x; y");
  EXPECT_EQ(DedupeList("x; ; y; ", "; "), "x; ; y");
  EXPECT_EQ(DedupeList("X-x-X", "-"), "X-x");
  EXPECT_EQ(DedupeList("", "; "), "");
}

TEST(FindInList, GivesTheFirstIndexOrMinusOne) {
  const TextArray items = {"a", "b", "a"};
  EXPECT_EQ(FindInList(items, "a"), 1);
  EXPECT_EQ(FindInList(items, "b"), 2);
  EXPECT_EQ(FindInList(items, "A"), -1);
  EXPECT_EQ(FindInList({}, ""), -1);
}

}  // namespace
}  // namespace lumerin
