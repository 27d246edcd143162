#include "service/json_answers.h"

#include <gtest/gtest.h>

namespace lumerin {
namespace {

TEST(JsonAnswers, CreateAnswerPutsTinyurlFirstWithEscapedSlashes) {
  const Answer answer = CreatedAnswer("127.0.0.1:7312", "Ab3dE", "http://txt1?0A1B");
  EXPECT_EQ(answer.httpStatus, 200);
  EXPECT_EQ(answer.body, R"({"tinyurl":"http:\/\/127.0.0.1:7312\/Ab3dE","status":0,)"
                         R"("longurl":"http://txt1?0A1B","err_msg":""})");
}

TEST(JsonAnswers, QueryAnswerEndsWithTheUnescapedLongUrl) {
  const Answer answer = FoundAnswer("example.org", "Ab3dE", "http://idx1?0A/1B");
  EXPECT_EQ(answer.httpStatus, 200);
  EXPECT_EQ(
      answer.body,
      R"({"status":0,"tinyurl":"http:\/\/example.org\/Ab3dE","longurl":"http://idx1?0A/1B"})");
}

TEST(JsonAnswers, ErrorAnswerCarriesOnlyStatusAndEscapedMessage) {
  const Answer answer = ErrorAnswer(400, "field \"url\\x\": a/b\n\x01");
  EXPECT_EQ(answer.httpStatus, 400);
  EXPECT_EQ(answer.body, R"({"status":-1,"err_msg":"field \"url\\x\": a\/b\u000a\u0001"})");
}

}  // namespace
}  // namespace lumerin
