#include "app/main_window.h"

#include <QFile>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <utility>

#include "app/control_text.h"
#include "app/controls.h"
#include "app/export.h"
#include "app/hyperlink_box.h"
#include "app/message_box.h"
#include "linkstore/restoring.h"
#include "linkstore/shortening.h"
#include "text/line_breaks.h"
#include "text/text_basic.h"
#include "text/text_convert.h"

namespace lumerin {

namespace {

const QString kWindowCaption = QStringLiteral("Lumerin - 作者：Oskavel - [本机短链]");

// The demonstration text 编辑框1 starts with: GB18030 with CR LF line breaks.
const QString kPresetTextResource = QStringLiteral(":/preset_text.gb18030.txt");

// "文本长度：" in GB18030, the start of the count caption.
constexpr std::string_view kCountCaption = "\xCE\xC4\xB1\xBE\xB3\xA4\xB6\xC8\xA3\xBA";

// The confirmation of an export; its CR LF shows as a line break.
const QString kExportDoneMessage =
    QString::fromStdString(LfFromCrLf("txt导出成功，在当前软件运行目录下。\r\nBy：Oskavel"));

Text PresetText() {
  QFile file(kPresetTextResource);
  if (!file.open(QIODevice::ReadOnly)) return Text();
  const QByteArray bytes = file.readAll();
  return Text(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

}  // namespace

MainWindow::MainWindow(ServiceAddress service, std::string runDirectory)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                           Qt::WindowCloseButtonHint),
      service_(std::move(service)),
      runDirectory_(std::move(runDirectory)) {
  setObjectName(QStringLiteral("MainWindow"));
  setWindowTitle(kWindowCaption);
  setFixedSize(kClientWidth, kClientHeight);
  setFont(ControlFont());
  // The face colour of dialogs and buttons.
  QPalette face = palette();
  face.setColor(QPalette::Window, face.color(QPalette::Button));
  setPalette(face);
  setAutoFillBackground(true);

  const QRect screen = QGuiApplication::primaryScreen()->geometry();
  move(screen.x() + (screen.width() - kOuterWidth) / 2,
       screen.y() + (screen.height() - kOuterHeight) / 2);

  BuildControls();
  ConnectHandlers();
  OnWindowCreated();
}

void MainWindow::BuildControls() {
  // Created bottom first: Qt stacks later siblings over earlier ones.
  textBox_ = AddMultiLineBox(this, QStringLiteral("编辑框1"), QRect(0, 0, 648, 288));
  SetBoxText(*textBox_, PresetText());
  countLabel_ = AddLabel(this, QStringLiteral("标签1"), QRect(8, 296, 248, 24),
                         QStringLiteral("标签"), QColor(255, 0, 0));

  QGroupBox* shortening = AddGroupBox(this, QStringLiteral("分组框1"), QRect(8, 328, 280, 96),
                                      QStringLiteral("文本缩短"));
  codeResultBox_ = AddLineBox(shortening, QStringLiteral("编辑框7"), QRect(96, 60, 80, 20));
  AddLabel(shortening, QStringLiteral("标签7"), QRect(8, 60, 80, 24),
           QStringLiteral("缩短后的文本："));
  shortenButton_ = AddButton(shortening, QStringLiteral("按钮3"), QRect(184, 16, 80, 24),
                             QStringLiteral("缩短"));
  AddLabel(shortening, QStringLiteral("标签6"), QRect(8, 20, 64, 24), QStringLiteral("文本密匙："));
  shortenKeyBox_ = AddLineBox(shortening, QStringLiteral("编辑框6"), QRect(96, 20, 80, 20));

  QGroupBox* restoring = AddGroupBox(this, QStringLiteral("分组框2"), QRect(296, 288, 352, 160),
                                     QStringLiteral("文本还原"));
  restoredTextBox_ = AddMultiLineBox(restoring, QStringLiteral("编辑框9"), QRect(8, 76, 336, 76));
  restoreButton_ =
      AddButton(restoring, QStringLiteral("按钮4"), QRect(16, 48, 80, 24), QStringLiteral("还原"));
  AddLabel(restoring, QStringLiteral("标签8"), QRect(8, 20, 64, 24), QStringLiteral("文本密匙："));
  restoreKeyBox_ = AddLineBox(restoring, QStringLiteral("编辑框8"), QRect(80, 20, 80, 20));
  codeBox_ = AddLineBox(restoring, QStringLiteral("编辑框10"), QRect(256, 16, 80, 20));
  AddLabel(restoring, QStringLiteral("标签10"), QRect(168, 16, 88, 24),
           QStringLiteral("缩短后的文本："));
  AddLabel(restoring, QStringLiteral("标签9"), QRect(112, 48, 80, 24),
           QStringLiteral("还原后的文本："));
  exportButton_ = AddButton(restoring, QStringLiteral("按钮5"), QRect(208, 48, 120, 24),
                            QStringLiteral("导出还原文本(txt)"));

  clearButton_ =
      AddButton(this, QStringLiteral("按钮1"), QRect(176, 296, 56, 24), QStringLiteral("清空文本"));
  countButton_ =
      AddButton(this, QStringLiteral("按钮2"), QRect(232, 296, 56, 24), QStringLiteral("读取字数"));
  AddHyperlinkBox(this, QStringLiteral("超级链接框1"), QRect(32, 432, 96, 24),
                  QStringLiteral("项目说明"),
                  QUrl::fromLocalFile(QStringLiteral(LUMERIN_README_PATH)));
  AddHyperlinkBox(this, QStringLiteral("超级链接框2"), QRect(152, 432, 96, 24),
                  QStringLiteral("链接服务"),
                  QUrl(ControlFromText(ConcatText({"http://", service_.host, "/healthz"}))));

  // Tab runs through the window top to bottom, left to right.
  setTabOrder(textBox_, clearButton_);
  setTabOrder(clearButton_, countButton_);
  setTabOrder(countButton_, shortenKeyBox_);
  setTabOrder(shortenKeyBox_, shortenButton_);
  setTabOrder(shortenButton_, codeResultBox_);
  setTabOrder(codeResultBox_, restoreKeyBox_);
  setTabOrder(restoreKeyBox_, codeBox_);
  setTabOrder(codeBox_, restoreButton_);
  setTabOrder(restoreButton_, exportButton_);
  setTabOrder(exportButton_, restoredTextBox_);
}

void MainWindow::ConnectHandlers() {
  connect(clearButton_, &QPushButton::clicked, this, &MainWindow::OnClearClicked);
  connect(countButton_, &QPushButton::clicked, this, &MainWindow::OnCountClicked);
  connect(shortenButton_, &QPushButton::clicked, this, &MainWindow::OnShortenClicked);
  connect(restoreButton_, &QPushButton::clicked, this, &MainWindow::OnRestoreClicked);
  connect(exportButton_, &QPushButton::clicked, this, &MainWindow::OnExportClicked);
}

void MainWindow::OnWindowCreated() {
  OnCountClicked();
  exportButton_->setEnabled(false);
}

void MainWindow::OnClearClicked() { SetBoxText(*textBox_, Text()); }

void MainWindow::OnCountClicked() {
  const Text text = BoxText(*textBox_);
  countLabel_->setText(
      ControlFromText(ConcatText({kCountCaption, NumberToText(TextLength(text))})));
}

void MainWindow::OnShortenClicked() {
  const Text text = BoxText(*textBox_);
  const Text key = BoxText(*shortenKeyBox_);
  SetBoxText(*codeResultBox_, ShortenText(service_, text, key));
}

void MainWindow::OnRestoreClicked() {
  const Text code = BoxText(*codeBox_);
  const Text key = BoxText(*restoreKeyBox_);
  SetBoxText(*restoredTextBox_, RestoreText(service_, code, key));
  exportButton_->setEnabled(true);
}

void MainWindow::OnExportClicked() {
  const Text stamp = DateTimeText(CurrentLocalDateTime());
  const std::string path = ExportFilePath(runDirectory_, stamp);
  const Text text = BoxText(*restoredTextBox_);
  const WriteStatus written = WriteWholeFile(path, TextToBytes(text));
  if (written.Ok()) {
    ShowMessage(kExportDoneMessage);
    return;
  }
  ShowMessage(
      QStringLiteral("导出失败：无法写入文件\n%1\n%2")
          .arg(QFile::decodeName(path.c_str()), QString::fromLocal8Bit(written.Reason().c_str())));
}

}  // namespace lumerin
