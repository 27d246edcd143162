// Helpers shared by the window tests: a temporary run directory, finding
// controls by name, the export files, and answering the modal message box.
#ifndef LUMERIN_APP_WINDOW_TEST_SUPPORT_H_
#define LUMERIN_APP_WINDOW_TEST_SUPPORT_H_

#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QString>
#include <QTimer>
#include <filesystem>
#include <string>
#include <vector>

#include "app/main_window.h"

namespace lumerin {

// A fresh directory under the system's temporary directory, removed with all
// it holds when the test ends; `name` may hold any UTF-8 characters.
class TemporaryDirectory {
 public:
  explicit TemporaryDirectory(const std::string& name = "lumerin-app");
  ~TemporaryDirectory();
  TemporaryDirectory(const TemporaryDirectory&) = delete;
  TemporaryDirectory& operator=(const TemporaryDirectory&) = delete;

  [[nodiscard]] const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// The control named `name` of `window`; fails the test when there is none.
template <typename Control>
Control* Find(const QWidget& window, const QString& name) {
  auto* control = window.findChild<Control*>(name);
  EXPECT_NE(control, nullptr) << name.toStdString();
  return control;
}

// The whole content of the file at `path`.
[[nodiscard]] std::string FileBytes(const std::filesystem::path& path);

// The export files (Lumerin导出数据*.txt) in `directory`.
[[nodiscard]] std::vector<std::filesystem::path> ExportFiles(
    const std::filesystem::path& directory);

// Types `text` into `widget` key by key, as a keyboard or an input method
// would: each "\n" is the Enter key, every other character a key press that
// carries it (QTest::keyClicks takes Latin-1 only).
void TypeText(QWidget* widget, const QString& text);

// What the modal message box showed.
struct ShownMessage {
  bool shown = false;
  QString caption;
  QString text;
  bool noIcon = false;
  bool onlyOk = false;
  bool applicationModal = false;
  bool ownerless = false;
};

// Clicks `button` and answers the modal message box it opens with OK, from a
// zero-length timer; returns what the box showed.
ShownMessage ClickAndAnswerMessage(QWidget* button);

}  // namespace lumerin

#endif  // LUMERIN_APP_WINDOW_TEST_SUPPORT_H_
