#include "app/main_window.h"

#include <gtest/gtest.h>

#include <QClipboard>
#include <QFile>
#include <QFontInfo>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <limits>
#include <string>
#include <system_error>

#include "app/control_text.h"
#include "app/export.h"
#include "app/hyperlink_box.h"
#include "app/window_test_support.h"
#include "text/ansi_conversion.h"

namespace lumerin {
namespace {

namespace fs = std::filesystem;

// Nothing listens here; the tests in this file never reach the service.
const ServiceAddress kNoService{"127.0.0.1:9"};

Text PresetTextBytes() {
  QFile file(QStringLiteral(":/preset_text.gb18030.txt"));
  EXPECT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray bytes = file.readAll();
  return Text(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

QString CountCaption(std::size_t bytes) {
  return QStringLiteral("文本长度：") + QString::number(bytes);
}

// What a control shows, whatever its kind.
QString ShownText(const QWidget* control) {
  if (auto* box = qobject_cast<const QPlainTextEdit*>(control)) return box->toPlainText();
  if (auto* box = qobject_cast<const QLineEdit*>(control)) return box->text();
  if (auto* label = qobject_cast<const QLabel*>(control)) return label->text();
  if (auto* button = qobject_cast<const QPushButton*>(control)) return button->text();
  if (auto* group = qobject_cast<const QGroupBox*>(control)) return group->title();
  if (auto* link = qobject_cast<const HyperlinkBox*>(control)) return link->ShownText();
  return QStringLiteral("<unknown kind>");
}

class MainWindowTest : public testing::Test {
 protected:
  MainWindowTest() : window_(kNoService, runDirectory_.path().string()) {}

  template <typename Control>
  Control* Find(const char* name) {
    return lumerin::Find<Control>(window_, QString::fromUtf8(name));
  }

  void Click(const char* button) { QTest::mouseClick(Find<QPushButton>(button), Qt::LeftButton); }

  QString CountLabel() { return Find<QLabel>("标签1")->text(); }

  // A restore that gives "0" without asking the service: a 4-byte code.
  void RestoreWithShortCode() {
    Find<QLineEdit>("编辑框10")->setText(QStringLiteral("abcd"));
    Click("按钮4");
  }

  TemporaryDirectory runDirectory_;
  MainWindow window_;
};

struct ControlRow {
  const char* name;
  const char* kind;
  const char* parent;
  QRect geometry;
  const char* text;  // nullptr: checked by a test of its own
  bool enabled;
  bool tabStop;
};

TEST_F(MainWindowTest, ControlsMatchTheirTable) {
  const QString count = CountCaption(PresetTextBytes().size());
  const ControlRow rows[] = {
      {"编辑框1", "QPlainTextEdit", "MainWindow", {0, 0, 648, 288}, nullptr, true, true},
      {"标签1", "QLabel", "MainWindow", {8, 296, 248, 24}, nullptr, true, false},
      {"按钮1", "QPushButton", "MainWindow", {176, 296, 56, 24}, "清空文本", true, true},
      {"按钮2", "QPushButton", "MainWindow", {232, 296, 56, 24}, "读取字数", true, true},
      {"分组框1", "QGroupBox", "MainWindow", {8, 328, 280, 96}, "文本缩短", true, false},
      {"分组框2", "QGroupBox", "MainWindow", {296, 288, 352, 160}, "文本还原", true, false},
      {"超级链接框1",
       "lumerin::HyperlinkBox",
       "MainWindow",
       {32, 432, 96, 24},
       "项目说明",
       true,
       false},
      {"超级链接框2",
       "lumerin::HyperlinkBox",
       "MainWindow",
       {152, 432, 96, 24},
       "链接服务",
       true,
       false},
      {"标签6", "QLabel", "分组框1", {8, 20, 64, 24}, "文本密匙：", true, false},
      {"编辑框6", "QLineEdit", "分组框1", {96, 20, 80, 20}, "", true, true},
      {"按钮3", "QPushButton", "分组框1", {184, 16, 80, 24}, "缩短", true, true},
      {"标签7", "QLabel", "分组框1", {8, 60, 80, 24}, "缩短后的文本：", true, false},
      {"编辑框7", "QLineEdit", "分组框1", {96, 60, 80, 20}, "", true, true},
      {"标签8", "QLabel", "分组框2", {8, 20, 64, 24}, "文本密匙：", true, false},
      {"编辑框8", "QLineEdit", "分组框2", {80, 20, 80, 20}, "", true, true},
      {"标签10", "QLabel", "分组框2", {168, 16, 88, 24}, "缩短后的文本：", true, false},
      {"编辑框10", "QLineEdit", "分组框2", {256, 16, 80, 20}, "", true, true},
      {"按钮4", "QPushButton", "分组框2", {16, 48, 80, 24}, "还原", true, true},
      {"标签9", "QLabel", "分组框2", {112, 48, 80, 24}, "还原后的文本：", true, false},
      {"按钮5", "QPushButton", "分组框2", {208, 48, 120, 24}, "导出还原文本(txt)", false, true},
      {"编辑框9", "QPlainTextEdit", "分组框2", {8, 76, 336, 76}, "", true, true},
  };
  int controls = 0;
  for (QWidget* widget : window_.findChildren<QWidget*>()) {
    if (!widget->objectName().isEmpty() && !widget->objectName().startsWith(QLatin1String("qt_"))) {
      ++controls;
    }
  }
  EXPECT_EQ(controls, std::size(rows)) << "named controls besides those of the table";

  for (const ControlRow& row : rows) {
    SCOPED_TRACE(row.name);
    auto* control = Find<QWidget>(row.name);
    ASSERT_NE(control, nullptr);
    EXPECT_STREQ(control->metaObject()->className(), row.kind);
    ASSERT_NE(control->parentWidget(), nullptr);
    EXPECT_EQ(control->parentWidget()->objectName(), QString::fromUtf8(row.parent));
    EXPECT_EQ(control->geometry(), row.geometry);
    if (row.text != nullptr) {
      EXPECT_EQ(ShownText(control), QString::fromUtf8(row.text));
    }
    EXPECT_EQ(control->isEnabled(), row.enabled);
    EXPECT_EQ(control->focusPolicy() == Qt::StrongFocus, row.tabStop);
    if (!row.tabStop) {
      EXPECT_EQ(control->focusPolicy(), Qt::NoFocus);
    }
    EXPECT_TRUE(control->isVisibleTo(&window_));
    EXPECT_EQ(control->font().family(), QStringLiteral("微软雅黑"));
    EXPECT_EQ(control->font().pixelSize(), 12);
    EXPECT_EQ(control->font().weight(), QFont::Normal);
    const QString drawnIn = QFontInfo(control->font()).family();
    EXPECT_TRUE(drawnIn == QStringLiteral("微软雅黑") ||
                drawnIn == QStringLiteral("WenQuanYi Micro Hei"))
        << drawnIn.toStdString();
  }
  EXPECT_EQ(CountLabel(), count);
}

TEST_F(MainWindowTest, WindowIsFixedCentredAndHiddenUntilShown) {
  EXPECT_EQ(window_.objectName(), QStringLiteral("MainWindow"));
  EXPECT_TRUE(window_.windowTitle().startsWith(QStringLiteral("Lumerin - 作者：Oskavel - [")));
  EXPECT_TRUE(window_.windowTitle().endsWith(QLatin1Char(']')));
  EXPECT_GT(window_.windowTitle().size(), QStringLiteral("Lumerin - 作者：Oskavel - []").size());

  EXPECT_EQ(window_.size(), QSize(649, 457));
  EXPECT_EQ(window_.minimumSize(), window_.maximumSize());
  const Qt::WindowFlags flags = window_.windowFlags();
  EXPECT_TRUE(flags.testFlag(Qt::WindowMinimizeButtonHint));
  EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
  EXPECT_TRUE(flags.testFlag(Qt::WindowSystemMenuHint));
  EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
  EXPECT_FALSE(flags.testFlag(Qt::WindowStaysOnTopHint));

  const QRect screen = QGuiApplication::primaryScreen()->geometry();
  EXPECT_EQ(window_.pos(), QPoint(screen.x() + (screen.width() - 655) / 2,
                                  screen.y() + (screen.height() - 491) / 2));
  EXPECT_TRUE(window_.autoFillBackground());
  EXPECT_EQ(window_.palette().color(QPalette::Window), window_.palette().color(QPalette::Button));

  EXPECT_FALSE(window_.isVisible());
  window_.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window_));
  EXPECT_EQ(window_.size(), QSize(649, 457));
}

// The object names of the widget children of `parent`, bottom first.
QStringList SiblingOrder(const QWidget* parent) {
  QStringList names;
  for (const QObject* child : parent->children()) {
    if (child->isWidgetType()) names.append(child->objectName());
  }
  return names;
}

QStringList BottomFirst(std::initializer_list<const char*> topmostFirst) {
  QStringList names;
  for (const char* name : topmostFirst) names.prepend(QString::fromUtf8(name));
  return names;
}

TEST_F(MainWindowTest, ControlsAreStackedInTheirOrder) {
  EXPECT_EQ(SiblingOrder(&window_), BottomFirst({"超级链接框2", "超级链接框1", "按钮2", "按钮1",
                                                 "分组框2", "分组框1", "标签1", "编辑框1"}));
  EXPECT_EQ(SiblingOrder(Find<QGroupBox>("分组框2")),
            BottomFirst(
                {"按钮5", "标签9", "标签10", "编辑框10", "编辑框8", "标签8", "按钮4", "编辑框9"}));
  EXPECT_EQ(SiblingOrder(Find<QGroupBox>("分组框1")),
            BottomFirst({"编辑框6", "标签6", "按钮3", "标签7", "编辑框7"}));
  // Where 标签1 runs under 按钮1, the button takes the click.
  EXPECT_EQ(window_.childAt(180, 300), Find<QPushButton>("按钮1"));
}

TEST_F(MainWindowTest, ControlsHaveTheirLook) {
  for (const char* name : {"编辑框1", "编辑框9"}) {
    SCOPED_TRACE(name);
    auto* box = Find<QPlainTextEdit>(name);
    EXPECT_EQ(box->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    EXPECT_EQ(box->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_NE(box->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_EQ(box->frameShadow(), QFrame::Sunken);
    EXPECT_FALSE(box->isReadOnly());
    EXPECT_EQ(box->maximumBlockCount(), 0) << "no limit";
  }
  for (const char* name : {"编辑框6", "编辑框7", "编辑框8", "编辑框10"}) {
    SCOPED_TRACE(name);
    auto* box = Find<QLineEdit>(name);
    EXPECT_TRUE(box->hasFrame());
    EXPECT_EQ(box->echoMode(), QLineEdit::Normal);
    EXPECT_FALSE(box->isReadOnly());
    EXPECT_EQ(box->maxLength(), std::numeric_limits<int>::max());
  }
  for (const char* name : {"编辑框1", "编辑框9", "编辑框6", "编辑框7", "编辑框8", "编辑框10"}) {
    const QPalette palette = Find<QWidget>(name)->palette();
    EXPECT_EQ(palette.color(QPalette::Base), QColor(Qt::white)) << name;
    EXPECT_EQ(palette.color(QPalette::Text), QColor(Qt::black)) << name;
  }
  for (const char* name : {"标签1", "标签6", "标签7", "标签8", "标签9", "标签10"}) {
    auto* label = Find<QLabel>(name);
    EXPECT_EQ(label->alignment(), Qt::AlignLeft | Qt::AlignVCenter) << name;
    EXPECT_FALSE(label->wordWrap()) << name;
    EXPECT_FALSE(label->autoFillBackground()) << name;
    const QColor colour = std::string_view(name) == "标签1" ? QColor(255, 0, 0) : QColor(0, 0, 0);
    EXPECT_EQ(label->palette().color(QPalette::WindowText), colour) << name;
  }
  for (const char* name : {"按钮1", "按钮2", "按钮3", "按钮4", "按钮5"}) {
    auto* button = Find<QPushButton>(name);
    EXPECT_FALSE(button->isDefault()) << name;
    EXPECT_FALSE(button->autoDefault()) << name;
  }
  EXPECT_EQ(Find<HyperlinkBox>("超级链接框1")->TextColour(), QColor(0, 0, 255));
}

TEST_F(MainWindowTest, LinksLeadToTheProjectsOwnPages) {
  const QUrl readme = Find<HyperlinkBox>("超级链接框1")->Target();
  EXPECT_TRUE(readme.isLocalFile());
  EXPECT_TRUE(readme.toLocalFile().endsWith(QStringLiteral("/README.md")));
  EXPECT_TRUE(QFile::exists(readme.toLocalFile()));
  EXPECT_EQ(Find<HyperlinkBox>("超级链接框2")->Target(),
            QUrl(QStringLiteral("http://127.0.0.1:9/healthz")));
}

TEST_F(MainWindowTest, StartsWithThePresetTextCounted) {
  const Text preset = PresetTextBytes();
  EXPECT_GT(preset.size(), 27000u);
  EXPECT_LT(preset.size(), 29000u);
  EXPECT_TRUE(IsValidGb18030(preset));
  std::string withoutBreaks;
  for (std::size_t i = 0; i < preset.size(); ++i) {
    if (preset.compare(i, 2, "\r\n") == 0) {
      ++i;
    } else {
      withoutBreaks += preset[i];
    }
  }
  EXPECT_EQ(withoutBreaks.find_first_of("\r\n"), std::string::npos) << "every break is CR LF";
  EXPECT_LT(withoutBreaks.size() + 600, preset.size()) << "a text of many lines";
  EXPECT_EQ(BoxText(*Find<QPlainTextEdit>("编辑框1")), preset);
  EXPECT_EQ(CountLabel(), CountCaption(preset.size()));
}

TEST_F(MainWindowTest, CountsTheBytesOfTheText) {
  const struct {
    const char* typed;  // "\n" is the Enter key
    int bytes;
  } cases[] = {{"", 0}, {"abc", 3}, {"中\n文", 6}, {"\n\n", 4}, {"灯塔abc", 7}};
  auto* box = Find<QPlainTextEdit>("编辑框1");
  for (const auto& c : cases) {
    box->clear();
    TypeText(box, QString::fromUtf8(c.typed));
    Click("按钮2");
    EXPECT_EQ(CountLabel(), QStringLiteral("文本长度：%1").arg(c.bytes)) << c.typed;
  }
}

TEST_F(MainWindowTest, CountChangesOnlyWhenAskedFor) {
  const QString atStartUp = CountLabel();
  auto* box = Find<QPlainTextEdit>("编辑框1");
  TypeText(box, QStringLiteral("更多的字"));
  EXPECT_EQ(CountLabel(), atStartUp) << "typing";

  Click("按钮1");
  EXPECT_TRUE(box->toPlainText().isEmpty());
  EXPECT_EQ(CountLabel(), atStartUp) << "clearing";
  RestoreWithShortCode();
  EXPECT_EQ(CountLabel(), atStartUp) << "restoring";

  Click("按钮2");
  EXPECT_EQ(CountLabel(), QStringLiteral("文本长度：0"));
}

TEST_F(MainWindowTest, ClearEmptiesOnlyTheText) {
  Find<QLineEdit>("编辑框6")->setText(QStringLiteral("密匙"));
  Find<QPlainTextEdit>("编辑框9")->setPlainText(QStringLiteral("还原"));
  Click("按钮1");
  EXPECT_TRUE(Find<QPlainTextEdit>("编辑框1")->toPlainText().isEmpty());
  EXPECT_EQ(Find<QLineEdit>("编辑框6")->text(), QStringLiteral("密匙"));
  EXPECT_EQ(Find<QPlainTextEdit>("编辑框9")->toPlainText(), QStringLiteral("还原"));
}

TEST_F(MainWindowTest, ExportIsUsableFromTheFirstRestoreOn) {
  auto* exportButton = Find<QPushButton>("按钮5");
  EXPECT_FALSE(exportButton->isEnabled());
  TypeText(Find<QPlainTextEdit>("编辑框9"), QStringLiteral("typed"));
  EXPECT_FALSE(exportButton->isEnabled()) << "typing into the result box";
  Click("按钮5");
  EXPECT_TRUE(ExportFiles(runDirectory_.path()).empty()) << "a greyed button ignores clicks";

  RestoreWithShortCode();
  EXPECT_EQ(Find<QPlainTextEdit>("编辑框9")->toPlainText(), QStringLiteral("0"));
  EXPECT_TRUE(exportButton->isEnabled());
  Click("按钮1");
  RestoreWithShortCode();
  EXPECT_TRUE(exportButton->isEnabled());
}

TEST_F(MainWindowTest, KeepsAndCountsAPastedHalfMegabyte) {
  // The same line in UTF-8 for the clipboard and in GB18030 with CR LF.
  const QString line = QStringLiteral("灯塔abc\n");
  const Text lineBytes =
      "\xB5\xC6\xCB\xFE"
      "abc\r\n";
  const int lines = 500 * 1024 / static_cast<int>(lineBytes.size());
  QString pasted;
  Text expected;
  for (int i = 0; i < lines; ++i) {
    pasted += line;
    expected += lineBytes;
  }
  auto* box = Find<QPlainTextEdit>("编辑框1");
  box->clear();
  QGuiApplication::clipboard()->setText(pasted);
  box->paste();
  Click("按钮2");

  EXPECT_EQ(CountLabel(), CountCaption(expected.size()));
  EXPECT_TRUE(BoxText(*box) == expected) << "the pasted text is kept whole";
}

// Sets the result box and exports it, answering the message box.
class ExportTest : public MainWindowTest {
 protected:
  ShownMessage Export(const QString& restored) {
    RestoreWithShortCode();
    Find<QPlainTextEdit>("编辑框9")->setPlainText(restored);
    return ClickAndAnswerMessage(Find<QPushButton>("按钮5"));
  }
};

void ExpectSuccessMessage(const ShownMessage& message) {
  EXPECT_TRUE(message.shown);
  EXPECT_EQ(message.caption, QStringLiteral("信息："));
  EXPECT_EQ(message.text, QStringLiteral("txt导出成功，在当前软件运行目录下。\nBy：Oskavel"));
  EXPECT_TRUE(message.noIcon);
  EXPECT_TRUE(message.onlyOk);
  EXPECT_TRUE(message.applicationModal);
  EXPECT_TRUE(message.ownerless);
}

TEST_F(ExportTest, WritesTheBoxInGb18030WithCrLf) {
  const LocalDateTime before = CurrentLocalDateTime();
  ExpectSuccessMessage(Export(QStringLiteral("灯塔\n第二行\n")));
  const LocalDateTime after = CurrentLocalDateTime();

  const std::vector<fs::path> files = ExportFiles(runDirectory_.path());
  ASSERT_EQ(files.size(), 1u);
  EXPECT_EQ(FileBytes(files[0]), "\xB5\xC6\xCB\xFE\r\n\xB5\xDA\xB6\xFE\xD0\xD0\r\n");
  const std::string directory = runDirectory_.path().string();
  EXPECT_TRUE(files[0] == ExportFilePath(directory, DateTimeText(before)) ||
              files[0] == ExportFilePath(directory, DateTimeText(after)))
      << files[0];
  EXPECT_EQ(Find<QPlainTextEdit>("编辑框9")->toPlainText(), QStringLiteral("灯塔\n第二行\n"));
  EXPECT_TRUE(Find<QPushButton>("按钮5")->isEnabled());
}

TEST_F(ExportTest, WritesAFailedRestoreAndAnEmptyBoxAsTheyStand) {
  RestoreWithShortCode();
  ExpectSuccessMessage(ClickAndAnswerMessage(Find<QPushButton>("按钮5")));
  std::vector<fs::path> files = ExportFiles(runDirectory_.path());
  ASSERT_EQ(files.size(), 1u);
  EXPECT_EQ(FileBytes(files[0]), "0");
  fs::remove(files[0]);

  ExpectSuccessMessage(Export(QString()));
  files = ExportFiles(runDirectory_.path());
  ASSERT_EQ(files.size(), 1u);
  EXPECT_EQ(fs::file_size(files[0]), 0u);
}

TEST(MainWindowExport, WritesIntoADirectoryWithAChineseName) {
  TemporaryDirectory runDirectory("程序目录");
  MainWindow window(kNoService, runDirectory.path().string());
  Find<QLineEdit>(window, QStringLiteral("编辑框10"))->setText(QStringLiteral("abcd"));
  QTest::mouseClick(Find<QPushButton>(window, QStringLiteral("按钮4")), Qt::LeftButton);
  ExpectSuccessMessage(ClickAndAnswerMessage(Find<QPushButton>(window, QStringLiteral("按钮5"))));
  ASSERT_EQ(ExportFiles(runDirectory.path()).size(), 1u);
}

TEST(MainWindowExport, TellsWhyTheFileCouldNotBeWritten) {
  TemporaryDirectory parent;
  const fs::path missing = parent.path() / "gone";
  MainWindow window(kNoService, missing.string());
  Find<QLineEdit>(window, QStringLiteral("编辑框10"))->setText(QStringLiteral("abcd"));
  QTest::mouseClick(Find<QPushButton>(window, QStringLiteral("按钮4")), Qt::LeftButton);

  const ShownMessage message =
      ClickAndAnswerMessage(Find<QPushButton>(window, QStringLiteral("按钮5")));
  EXPECT_TRUE(message.shown);
  EXPECT_EQ(message.caption, QStringLiteral("信息："));
  EXPECT_TRUE(message.text.contains(QStringLiteral("导出失败")));
  EXPECT_TRUE(message.text.contains(QString::fromStdString(missing.string() + "/Lumerin导出数据")));
  EXPECT_TRUE(
      message.text.contains(QString::fromStdString(std::system_category().message(ENOENT))));
  EXPECT_TRUE(message.applicationModal);
  EXPECT_TRUE(message.ownerless);
  EXPECT_FALSE(fs::exists(missing));
  EXPECT_EQ(Find<QPlainTextEdit>(window, QStringLiteral("编辑框9"))->toPlainText(),
            QStringLiteral("0"));
  EXPECT_TRUE(Find<QPushButton>(window, QStringLiteral("按钮5"))->isEnabled());
}

}  // namespace
}  // namespace lumerin
