#include "service/form_decoder.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace lumerin {
namespace {

using Fields = std::vector<std::pair<std::string, std::string>>;

Fields FieldsOf(const Form& form) {
  Fields fields;
  for (const FormField& field : form.fields()) fields.emplace_back(field.name, field.value);
  return fields;
}

TEST(FormDecoder, DecodesWellFormedBodies) {
  struct Case {
    const char* name;
    std::string body;
    Fields expected;
  };
  const std::vector<Case> cases = {
      {"client create body",
       "url=http://txt1?0A1B&alias=&access_type=web",
       {{"url", "http://txt1?0A1B"}, {"alias", ""}, {"access_type", "web"}}},
      {"client query body",
       "tinyurl=http://127.0.0.1:7312/Ab3dE&access_type=web",
       {{"tinyurl", "http://127.0.0.1:7312/Ab3dE"}, {"access_type", "web"}}},
      {"empty body", "", {}},
      {"plus is a space", "a=x+y+", {{"a", "x y "}}},
      {"escapes in either case", "a=%41%2f%2B%7e", {{"a", "A/+~"}}},
      {"escaped percent is not decoded twice", "a=%2541", {{"a", "%41"}}},
      {"equals and query marks in a value",
       "url=http://h/?x=1&b=",
       {{"url", "http://h/?x=1"}, {"b", ""}}},
      {"every printable byte but & raw",
       "v=!\"#$'()*,-./09:;<=>?@AZ[\\]^_`az{|}~",
       {{"v", "!\"#$'()*,-./09:;<=>?@AZ[\\]^_`az{|}~"}}},
      {"escaped non-ASCII bytes pass", "a=%C3%A9", {{"a", "\xC3\xA9"}}},
      {"name characters", "A-z_0.9=1", {{"A-z_0.9", "1"}}},
  };
  for (const Case& c : cases) {
    Form form;
    const Status status = DecodeForm(c.body, &form);
    EXPECT_TRUE(status.ok()) << c.name << ": " << status.message();
    EXPECT_EQ(FieldsOf(form), c.expected) << c.name;
  }
}

TEST(FormDecoder, RefusesMalformedBodiesAndLeavesNoFields) {
  std::string tooManyFields;
  for (std::size_t i = 0; i <= kMaxFormFields; ++i) {
    tooManyFields += (i == 0 ? "f" : "&f") + std::to_string(i) + "=";
  }
  struct Case {
    const char* name;
    std::string body;
  };
  const std::vector<Case> cases = {
      {"percent at the end", "a=%"},
      {"percent with one digit", "a=%4"},
      {"percent with a non-hex digit", "a=%4G"},
      {"raw line feed", "a=x\ny"},
      {"raw tab", "a=x\ty"},
      {"raw space", "a=x y"},
      {"raw DEL", "a=x\x7Fy"},
      {"raw non-ASCII byte", "a=\xC3\xA9"},
      {"escaped line feed", "a=%0A"},
      {"escaped zero byte", "a=%00"},
      {"field given twice", "url=http://a&url=http://b"},
      {"field twice, second empty", "alias=x&alias="},
      {"field without equals", "url"},
      {"empty name", "=x"},
      {"name with a bad character", "u%72l=x"},
      {"name too long", std::string(kMaxFieldNameLength + 1, 'n') + "=x"},
      {"empty field in the middle", "a=1&&b=2"},
      {"empty field at the end", "a=1&"},
      {"empty field at the start", "&a=1"},
      {"ampersand alone", "&"},
      {"too many fields", tooManyFields},
  };
  for (const Case& c : cases) {
    Form form;
    ASSERT_TRUE(DecodeForm("x=1", &form).ok());
    const Status status = DecodeForm(c.body, &form);
    EXPECT_FALSE(status.ok()) << c.name;
    EXPECT_FALSE(status.message().empty()) << c.name;
    EXPECT_TRUE(form.fields().empty()) << c.name;
  }
}

TEST(FormDecoder, FindsFieldsByExactName) {
  Form form;
  ASSERT_TRUE(DecodeForm("url=http://a&alias=", &form).ok());
  EXPECT_EQ(form.Find("url"), "http://a");
  EXPECT_EQ(form.Find("alias"), "");
  EXPECT_EQ(form.Find("URL"), std::nullopt);
  EXPECT_EQ(form.Find("tinyurl"), std::nullopt);
}

}  // namespace
}  // namespace lumerin
