// The window against a real lumerin-linkd on a free loopback port: what is
// shortened through the window comes back through it, and exports as it was.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "app/control_text.h"
#include "app/main_window.h"
#include "app/window_test_support.h"
#include "testsupport/linkd/linkd_fixture.h"

namespace lumerin {
namespace {

class MainWindowServiceTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(linkd_.Start()) << linkd_.ServiceLog();
    window_ =
        std::make_unique<MainWindow>(ServiceAddress{linkd_.host()}, runDirectory_.path().string());
  }

  template <typename Control>
  Control* Find(const char* name) {
    return lumerin::Find<Control>(*window_, QString::fromUtf8(name));
  }

  void Click(const char* button) { QTest::mouseClick(Find<QPushButton>(button), Qt::LeftButton); }

  // Shortens `text` with `key` through the window; the code it shows.
  QString Shorten(const QString& text, const QString& key) {
    Find<QPlainTextEdit>("编辑框1")->setPlainText(text);
    Find<QLineEdit>("编辑框6")->setText(key);
    Click("按钮3");
    return Find<QLineEdit>("编辑框7")->text();
  }

  // Restores `code` with `key` through the window; the text it shows.
  Text Restore(const QString& code, const QString& key) {
    Find<QLineEdit>("编辑框10")->setText(code);
    Find<QLineEdit>("编辑框8")->setText(key);
    Click("按钮4");
    return BoxText(*Find<QPlainTextEdit>("编辑框9"));
  }

  LinkdFixture linkd_;
  TemporaryDirectory runDirectory_;
  std::unique_ptr<MainWindow> window_;
};

TEST_F(MainWindowServiceTest, ShortTextComesBackIdentical) {
  const QString text = QStringLiteral("石湾岛的灯塔\n第二行 with ASCII\n");
  const QString code = Shorten(text, QStringLiteral("密匙"));
  ASSERT_EQ(code.size(), 5) << code.toStdString();
  EXPECT_EQ(Restore(code, QStringLiteral("密匙")), TextFromControl(text));
  EXPECT_EQ(Find<QPlainTextEdit>("编辑框9")->toPlainText(), text);
  EXPECT_EQ(linkd_.StoredRecordCount(), 1);
}

TEST_F(MainWindowServiceTest, MultiPartTextComesBackIdenticalAndExportsExactly) {
  QString text;
  for (int i = 0; i < 400; ++i) text += QStringLiteral("第%1行：灯没灭。\n").arg(i);
  const Text expected = TextFromControl(text);
  ASSERT_GT(expected.size(), 900u * 5) << "several part records";

  const QString code = Shorten(text, QStringLiteral("key"));
  ASSERT_EQ(code.size(), 5) << code.toStdString();
  EXPECT_GT(linkd_.StoredRecordCount(), 2);
  EXPECT_EQ(Restore(code, QStringLiteral("key")), expected);

  const ShownMessage message = ClickAndAnswerMessage(Find<QPushButton>("按钮5"));
  EXPECT_TRUE(message.shown);
  const std::vector<std::filesystem::path> files = ExportFiles(runDirectory_.path());
  ASSERT_EQ(files.size(), 1u);
  EXPECT_TRUE(FileBytes(files[0]) == expected);
}

TEST_F(MainWindowServiceTest, ShortCodeAndUnknownCodeGiveZero) {
  EXPECT_EQ(Restore(QStringLiteral("abcd"), QString()), "0");
  EXPECT_EQ(linkd_.RequestCount(), 0) << "a 4-byte code is refused without a request";
  EXPECT_EQ(Restore(QStringLiteral("zzzzz"), QString()), "0");
  EXPECT_TRUE(Find<QPushButton>("按钮5")->isEnabled());
}

TEST_F(MainWindowServiceTest, WrongKeyDoesNotGiveTheText) {
  const QString text = QStringLiteral("只给知道密匙的人看");
  const QString code = Shorten(text, QStringLiteral("right"));
  ASSERT_EQ(code.size(), 5);
  EXPECT_NE(Restore(code, QStringLiteral("wrong")), TextFromControl(text));
}

}  // namespace
}  // namespace lumerin
