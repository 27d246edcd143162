#include "app/window_test_support.h"

#include <stdlib.h>

#include <QAbstractButton>
#include <QKeyEvent>
#include <QTest>
#include <fstream>
#include <iterator>

namespace lumerin {

namespace fs = std::filesystem;

TemporaryDirectory::TemporaryDirectory(const std::string& name) {
  std::string pattern = (fs::temp_directory_path() / (name + "-XXXXXX")).string();
  if (mkdtemp(pattern.data()) == nullptr) ADD_FAILURE() << "mkdtemp " << pattern;
  path_ = pattern;
}

TemporaryDirectory::~TemporaryDirectory() { fs::remove_all(path_); }

std::string FileBytes(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::vector<fs::path> ExportFiles(const fs::path& directory) {
  std::vector<fs::path> files;
  for (const fs::directory_entry& entry : fs::directory_iterator(directory)) {
    const std::string name = entry.path().filename().string();
    if (name.starts_with("Lumerin导出数据") && name.ends_with(".txt")) {
      files.push_back(entry.path());
    }
  }
  return files;
}

void TypeText(QWidget* widget, const QString& text) {
  for (const QChar character : text) {
    if (character == QLatin1Char('\n')) {
      QTest::keyClick(widget, Qt::Key_Return);
      continue;
    }
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(character));
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(character));
    QCoreApplication::sendEvent(widget, &press);
    QCoreApplication::sendEvent(widget, &release);
  }
}

ShownMessage ClickAndAnswerMessage(QWidget* button) {
  ShownMessage message;
  // A timer of this frame, so that it cannot fire after the frame is gone.
  QTimer answer;
  answer.setSingleShot(true);
  answer.setInterval(0);
  QObject::connect(&answer, &QTimer::timeout, [&message] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) return;
    message.shown = true;
    message.caption = box->windowTitle();
    message.text = box->text();
    message.noIcon = box->icon() == QMessageBox::NoIcon;
    message.onlyOk = box->buttons().size() == 1 && box->standardButtons() == QMessageBox::Ok;
    message.applicationModal = box->windowModality() == Qt::ApplicationModal;
    message.ownerless = box->parentWidget() == nullptr;
    box->button(QMessageBox::Ok)->click();
  });
  answer.start();
  QTest::mouseClick(button, Qt::LeftButton);
  return message;
}

}  // namespace lumerin
