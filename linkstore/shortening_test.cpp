#include "linkstore/shortening.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "codec/seal.h"
#include "linkstore/record_format.h"
#include "linkstore/restoring.h"
#include "linkstore/testing/fake_link_service.h"
#include "linkstore/testing/sample_text.h"
#include "testsupport/http/scripted_server.h"
#include "testsupport/linkd/linkd_fixture.h"

namespace lumerin {
namespace {

using testsupport::FakeLinkBehaviour;
using testsupport::FakeLinkService;
using testsupport::SampleText;

// Shortening against the real service, counted by the records it stores.
class Shortening : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(linkd_.Start()) << linkd_.ServiceLog();
    service_ = ServiceAddress{linkd_.host()};
  }

  LinkdFixture linkd_;
  ServiceAddress service_;
};

TEST_F(Shortening, StoresOneRecordPerPartPlusAnIndexAndRestoresExactly) {
  struct Case {
    int bytes;
    int records;
  };
  // 900 bytes seal to exactly one part (1800 characters) and so already need
  // an index; 134999 bytes are the longest text accepted.
  const Case cases[] = {{0, 1}, {899, 1}, {900, 2}, {1800, 3}, {1801, 4}, {134999, 151}};
  std::uint32_t seed = 1;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bytes);
    const Text text = SampleText(c.bytes, seed++);
    const std::int64_t before = linkd_.StoredRecordCount();
    const Text code = ShortenText(service_, text, "key");
    EXPECT_EQ(code.size(), 5u) << code;
    EXPECT_EQ(linkd_.StoredRecordCount() - before, c.records);
    // The empty text restores to the failure result, like any empty unsealing.
    EXPECT_EQ(RestoreText(service_, code, "key"), c.bytes == 0 ? Text("0") : text);
  }
}

TEST_F(Shortening, RefusesTextsOf135000BytesWithoutARequest) {
  const int requestsBefore = linkd_.RequestCount();
  EXPECT_EQ(ShortenText(service_, SampleText(135000, 7), "key"), "0");
  EXPECT_EQ(linkd_.RequestCount(), requestsBefore);
  EXPECT_EQ(linkd_.StoredRecordCount(), 0);
}

TEST_F(Shortening, UsesTheKeyAsItStandsAndTheDefaultOnlyForOnePart) {
  const Text longKey = SampleText(300, 99);
  struct Case {
    const char* name;
    int bytes;
    Text key;
    std::vector<Text> restoringKeys;
    std::vector<Text> wrongKeys;
  };
  const Case cases[] = {
      {"empty key, one part", 100, "", {"", "739164"}, {" "}},
      {"empty key, several parts", 2000, "", {""}, {"739164"}},
      {"one space, one part", 100, " ", {" "}, {"", "739164"}},
      {"one space, several parts", 2000, " ", {" "}, {""}},
      {"GB18030 key", 2000, "\xC3\xDC\xD4\xBF", {"\xC3\xDC\xD4\xBF"}, {"\xC3\xDC"}},
      {"300-byte key", 3000, longKey, {longKey}, {longKey.substr(0, 255)}},
  };
  std::uint32_t seed = 100;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Text text = SampleText(c.bytes, seed++);
    const Text code = ShortenText(service_, text, c.key);
    for (const Text& key : c.restoringKeys) EXPECT_EQ(RestoreText(service_, code, key), text);
    for (const Text& key : c.wrongKeys) EXPECT_NE(RestoreText(service_, code, key), text);
  }
}

TEST(ShortenText, SendsEachRecordInItsFormat) {
  FakeLinkService service;
  const Text text = SampleText(1801, 3);
  const Text sealed = SealText(text, "k");
  // Codes of the fake service are numbered; the index record comes last.
  EXPECT_EQ(ShortenText(service.Address(), text, "k"), "00004");
  const std::vector<std::string> expected = {
      "http://txt1?" + sealed.substr(0, 1800),
      "http://txt1?" + sealed.substr(1800, 1800),
      "http://txt1?" + sealed.substr(3600),
      "http://idx1?" + SealText("00001-00002-00003", "k"),
  };
  EXPECT_EQ(service.CreatedLongUrls(), expected);

  // One part: the whole sealed text, the empty key replaced first.
  EXPECT_EQ(ShortenText(service.Address(), "short", ""), "00005");
  EXPECT_EQ(service.CreatedLongUrls().back(), "http://txt1?" + SealText("short", "739164"));
}

TEST(ShortenText, GivesZeroAndStoresNoIndexWhenAPartIsNotStored) {
  FakeLinkBehaviour behaviour;
  behaviour.refuseCreate = [](std::string_view, int createNumber) { return createNumber == 2; };
  FakeLinkService service(behaviour);
  EXPECT_EQ(ShortenText(service.Address(), SampleText(1801, 4), "k"), "0");
  // The first part was stored, the second refused, and nothing sent after it.
  const std::vector<std::string> created = service.CreatedLongUrls();
  ASSERT_EQ(created.size(), 2u);
  for (const std::string& longUrl : created) EXPECT_TRUE(longUrl.starts_with(kSinglePartMarker));
}

TEST(ShortenText, GivesTheEmptyTextWhenTheIndexRecordIsNotStored) {
  FakeLinkBehaviour behaviour;
  behaviour.refuseCreate = [](std::string_view longUrl, int) {
    return longUrl.starts_with(kIndexMarker);
  };
  FakeLinkService service(behaviour);
  EXPECT_EQ(ShortenText(service.Address(), SampleText(1801, 5), "k"), "");
  EXPECT_EQ(service.CreatedLongUrls().size(), 4u);
}

TEST(ShortenText, GivesZeroWhenTheCodeListDoesNotFitOneIndexRecord) {
  // With 6-character codes 128 parts fit (a list of 895 bytes) and 129 do
  // not (902 bytes): the parts are stored, the index is not.
  struct Case {
    int bytes;
    int parts;
    bool fits;
  };
  const Case cases[] = {{128 * 900, 128, true}, {128 * 900 + 1, 129, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bytes);
    FakeLinkBehaviour behaviour;
    behaviour.codeLength = 6;
    FakeLinkService service(behaviour);
    const Text code = ShortenText(service.Address(), SampleText(c.bytes, 6), "k");
    const std::vector<std::string> created = service.CreatedLongUrls();
    if (c.fits) {
      EXPECT_EQ(code, "000129");
      ASSERT_EQ(created.size(), static_cast<std::size_t>(c.parts) + 1);
      EXPECT_TRUE(created.back().starts_with(kIndexMarker));
    } else {
      EXPECT_EQ(code, "0");
      ASSERT_EQ(created.size(), static_cast<std::size_t>(c.parts));
      EXPECT_TRUE(created.back().starts_with(kSinglePartMarker));
    }
  }
}

TEST(ShortenText, GivesZeroWhenTheServiceFailsOrAnswersBadly) {
  using testsupport::ReceivedRequest;
  using testsupport::Reply;
  using testsupport::ScriptedServer;
  // tinyurl as the only member lacks the closing marker "\",\"".
  ScriptedServer lastMember([](const ReceivedRequest&) {
    return Reply::Answer(200, "{\"tinyurl\":\"http:\\/\\/h\\/Ab3dE\"}");
  });
  const ServiceAddress down{"127.0.0.1:" + std::to_string(testsupport::ClosedLoopbackPort())};
  for (const ServiceAddress& service : {ServiceAddress{lastMember.Address()}, down}) {
    SCOPED_TRACE(service.host);
    EXPECT_EQ(ShortenText(service, "short", "k"), "0");
    EXPECT_EQ(ShortenText(service, SampleText(1801, 8), "k"), "0");
  }
}

}  // namespace
}  // namespace lumerin
