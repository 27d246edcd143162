#include "linkstore/restoring.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "codec/seal.h"
#include "linkstore/short_link_client.h"
#include "linkstore/shortening.h"
#include "linkstore/testing/fake_link_service.h"
#include "linkstore/testing/sample_text.h"
#include "testsupport/http/scripted_server.h"
#include "testsupport/linkd/linkd_fixture.h"
#include "text/text_split.h"

namespace lumerin {
namespace {

using testsupport::FakeLinkService;
using testsupport::SampleText;

// Restoring against the real service.
class Restoring : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(linkd_.Start()) << linkd_.ServiceLog();
    service_ = ServiceAddress{linkd_.host()};
  }

  LinkdFixture linkd_;
  ServiceAddress service_;
};

TEST_F(Restoring, LooksUpOnlyCodesOfFiveBytesOrMore) {
  struct Case {
    const char* name;
    Text code;
    int requests;
  };
  const Case cases[] = {
      {"empty", "", 0},
      {"four letters", "Ab3d", 0},
      {"two GB18030 characters", "\xD6\xD0\xCE\xC4", 0},
      {"unknown code of five", "ZZZZZ", 1},
      {"spaces count", " Ab3 ", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const int before = linkd_.RequestCount();
    EXPECT_EQ(RestoreText(service_, c.code, "k"), "0");
    EXPECT_EQ(linkd_.RequestCount() - before, c.requests);
  }
}

TEST_F(Restoring, GivesZeroForTheEmptyTextAndForTheTextZero) {
  for (const Text text : {"", "0"}) {
    SCOPED_TRACE(text);
    const Text code = ShortenText(service_, text, "k");
    ASSERT_EQ(code.size(), 5u);
    EXPECT_EQ(RestoreText(service_, code, "k"), "0");
  }
}

TEST_F(Restoring, CodeOfTheFirstPartGivesTheStartOfTheText) {
  const Text text = SampleText(1800, 11);
  const Text code = ShortenText(service_, text, "k");
  const Text index = LookupShortLink(service_, code);
  ASSERT_TRUE(index.starts_with("http://idx1?"));
  const TextArray parts = SplitText(UnsealText(index.substr(12), "k"), "-");
  ASSERT_EQ(ArrayCount(parts), 2);
  EXPECT_EQ(RestoreText(service_, parts[0], "k"), text.substr(0, 900));
  // Each part is sealed as a slice of the whole, so a later one alone is noise.
  EXPECT_NE(RestoreText(service_, parts[1], "k"), text.substr(900));
}

TEST(RestoreText, GivesZeroWhenTheServiceIsDown) {
  const ServiceAddress down{"127.0.0.1:" + std::to_string(testsupport::ClosedLoopbackPort())};
  EXPECT_EQ(RestoreText(down, "Ab3dE", "k"), "0");
}

TEST(RestoreText, GivesZeroForALongUrlWithoutAMarker) {
  FakeLinkService service;
  service.Put("plain", "http://example.com/page");
  service.Put("escap", "http:\\/\\/txt1?" + SealText("text", "k"));
  service.Put("upper", "HTTP://TXT1?" + SealText("text", "k"));
  for (const char* code : {"plain", "escap", "upper"}) {
    SCOPED_TRACE(code);
    EXPECT_EQ(RestoreText(service.Address(), code, "k"), "0");
  }
}

// An index record over the parts of one text, stored at a fake service part
// by part, with the code list free to be altered.
class IndexRecord : public ::testing::Test {
 protected:
  static constexpr const char* kKey = "k";

  // Stores the parts of `text` as "P0001", "P0002", ... and gives their codes.
  std::vector<std::string> PutParts(const Text& text) {
    const Text sealed = SealText(text, kKey);
    std::vector<std::string> codes;
    for (std::size_t at = 0; at < sealed.size(); at += 1800) {
      std::string code = std::to_string(codes.size() + 1);
      code = "P" + std::string(4 - code.size(), '0') + code;
      service_.Put(code, "http://txt1?" + sealed.substr(at, 1800));
      codes.push_back(code);
    }
    return codes;
  }

  // Stores an index record over `codeList` and restores it.
  Text RestoreIndex(const std::string& codeList) {
    service_.Put("INDEX", "http://idx1?" + SealText(codeList, kKey));
    return RestoreText(service_.Address(), "INDEX", kKey);
  }

  static std::string Joined(const std::vector<std::string>& codes) {
    std::string list;
    for (const std::string& code : codes) list += (list.empty() ? "" : "-") + code;
    return list;
  }

  FakeLinkService service_;
};

TEST_F(IndexRecord, GivesZeroWhenAPartIsMissingOrNotAPartRecord) {
  const Text text = SampleText(2700, 21);  // three parts
  const std::vector<std::string> codes = PutParts(text);
  service_.Put("FOREI", "http://idx1?" + SealText("x", kKey));
  struct Case {
    const char* name;
    std::string codeList;
    Text restored;
  };
  const Case cases[] = {
      {"all parts", Joined(codes), text},
      {"a code nobody stored", codes[0] + "-NOSUCH-" + codes[2], "0"},
      {"an empty piece", codes[0] + "--" + codes[1] + "-" + codes[2], "0"},
      {"a piece that is not a part record", codes[0] + "-FOREI-" + codes[2], "0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(RestoreIndex(c.codeList), c.restored);
  }
}

TEST_F(IndexRecord, RefusesMoreThan150CodesWithoutLookingThemUp) {
  const Text text = SampleText(134999, 22);  // 150 parts
  std::vector<std::string> codes = PutParts(text);
  ASSERT_EQ(codes.size(), 150u);
  EXPECT_EQ(RestoreIndex(Joined(codes)), text);
  EXPECT_EQ(service_.LookedUpCodes().size(), 151u);

  codes.push_back(codes.back());
  EXPECT_EQ(RestoreIndex(Joined(codes)), "0");
  EXPECT_EQ(service_.LookedUpCodes().size(), 152u);  // the index record alone
}

}  // namespace
}  // namespace lumerin
