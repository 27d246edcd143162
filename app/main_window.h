// MainWindow, the program's one window, and the handlers of its controls.
//
// The window is 649 x 457 pixels inside its frame, cannot be resized or
// maximised, and holds 21 controls placed in absolute pixels: the text being
// edited (编辑框1) with its byte count (标签1) and the clear and count buttons;
// a shortening group (分组框1: key 编辑框6, 按钮3, result 编辑框7); a restoring
// group (分组框2: key 编辑框8, code 编辑框10, 按钮4, result 编辑框9, export 按钮5);
// and two hyperlink boxes. Each control's object name is its name above.
//
// Every handler reads the boxes it needs as Text (control_text.h), calls the
// logic (linkstore/, export.h) and writes the result back; nothing else is
// kept between handlers. Shortening and restoring block the window until the
// link service has answered.
#ifndef LUMERIN_APP_MAIN_WINDOW_H_
#define LUMERIN_APP_MAIN_WINDOW_H_

#include <QWidget>
#include <string>

#include "linkstore/service_address.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace lumerin {

class MainWindow : public QWidget {
  Q_OBJECT

 public:
  // The client area inside the frame, and the outer size the window is
  // centred by.
  static constexpr int kClientWidth = 649;
  static constexpr int kClientHeight = 457;
  static constexpr int kOuterWidth = 655;
  static constexpr int kOuterHeight = 491;

  // Builds the window and its controls, still hidden, centred on the primary
  // screen, and runs the window-created handler: 标签1 shows the byte count of
  // the preset text and 按钮5 is disabled. Shortening and restoring go to
  // `service`; exports are written into `runDirectory` (normally
  // RunDirectory(), the program's own directory).
  MainWindow(ServiceAddress service, std::string runDirectory);

 private:
  void BuildControls();
  void ConnectHandlers();
  void OnWindowCreated();

  void OnClearClicked();    // 按钮1: empties 编辑框1, nothing else
  void OnCountClicked();    // 按钮2: the byte count of 编辑框1 into 标签1
  void OnShortenClicked();  // 按钮3: 编辑框1 sealed with 编辑框6, code into 编辑框7
  void OnRestoreClicked();  // 按钮4: code 编辑框10 with key 编辑框8 into 编辑框9
  void OnExportClicked();   // 按钮5: 编辑框9 into the export file

  const ServiceAddress service_;
  const std::string runDirectory_;

  // Owned by the window through Qt's parent-child tree.
  QPlainTextEdit* textBox_ = nullptr;          // 编辑框1
  QLabel* countLabel_ = nullptr;               // 标签1
  QPushButton* clearButton_ = nullptr;         // 按钮1
  QPushButton* countButton_ = nullptr;         // 按钮2
  QLineEdit* shortenKeyBox_ = nullptr;         // 编辑框6
  QPushButton* shortenButton_ = nullptr;       // 按钮3
  QLineEdit* codeResultBox_ = nullptr;         // 编辑框7
  QLineEdit* restoreKeyBox_ = nullptr;         // 编辑框8
  QLineEdit* codeBox_ = nullptr;               // 编辑框10
  QPushButton* restoreButton_ = nullptr;       // 按钮4
  QPushButton* exportButton_ = nullptr;        // 按钮5
  QPlainTextEdit* restoredTextBox_ = nullptr;  // 编辑框9
};

}  // namespace lumerin

#endif  // LUMERIN_APP_MAIN_WINDOW_H_
