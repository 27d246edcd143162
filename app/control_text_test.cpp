#include "app/control_text.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>

#include "app/window_test_support.h"

namespace lumerin {
namespace {

struct RoundTripCase {
  const char* name;
  Text text;  // GB18030, CR LF
};

// Texts as the logic holds them; each must come back byte for byte from a box.
const RoundTripCase kRoundTripCases[] = {
    {"Empty", ""},
    {"Ascii", "abc 123"},
    {"Chinese", "\xD6\xD0\xCE\xC4"},            // 中文
    {"LineBreaks", "a\r\n\r\nb\r\n"},           // empty line, trailing break
    {"FourByteCharacter", "\x94\x39\xFC\x36"},  // U+1F600, outside the BMP
    {"NoBreakSpace", "x\x81\x30\x84\x32y"},     // U+00A0
    {"FullWidthSpace", "\xA1\xA1\xD6\xD0"},     // U+3000 中
    {"Tab", "a\tb"},
};

TEST(ControlText, MultiLineBoxGivesBackWhatWasSet) {
  for (const RoundTripCase& c : kRoundTripCases) {
    QPlainTextEdit box;
    SetBoxText(box, c.text);
    EXPECT_EQ(BoxText(box), c.text) << c.name;
  }
}

TEST(ControlText, SingleLineBoxGivesBackWhatWasSet) {
  for (const RoundTripCase& c : kRoundTripCases) {
    if (c.text.find('\n') != Text::npos) continue;  // one line only
    QLineEdit box;
    SetBoxText(box, c.text);
    EXPECT_EQ(BoxText(box), c.text) << c.name;
  }
}

TEST(ControlText, EveryTypedLineBreakReadsAsCrLf) {
  QPlainTextEdit box;
  TypeText(&box, QStringLiteral("中\n文"));
  QTest::keyClick(&box, Qt::Key_Return, Qt::ShiftModifier);  // a line separator in Qt
  TypeText(&box, QStringLiteral("z"));
  EXPECT_EQ(BoxText(box), "\xD6\xD0\r\n\xCE\xC4\r\nz");
}

TEST(ControlText, ConvertsAtTheEdgeOnly) {
  EXPECT_EQ(TextFromControl(QStringLiteral("中\n文")), "\xD6\xD0\r\n\xCE\xC4");
  EXPECT_EQ(ControlFromText("\xD6\xD0\r\n\xCE\xC4"), QStringLiteral("中\n文"));
  // A lone CR is no line break: it stays as it is both ways.
  EXPECT_EQ(TextFromControl(QStringLiteral("a\rb")), "a\rb");
  EXPECT_EQ(ControlFromText("a\rb"), QStringLiteral("a\rb"));
  // Bytes that are no GB18030 show as the replacement character.
  EXPECT_EQ(ControlFromText("a\xFF"
                            "b"),
            QStringLiteral("a\uFFFDb"));
}

}  // namespace
}  // namespace lumerin
