// A hyperlink box: a caption that opens a web address when pressed.
//
// The caption is drawn on one line, centred, without a border, on the
// background of the parent. Its colour tells the state: RGB (51, 153, 255)
// while the mouse is over the box (the cursor is then a hand), dark red
// RGB (128, 0, 0) once the box has opened its target, blue RGB (0, 0, 255)
// before that and after a failed attempt. The target is handed to the desktop
// (QDesktopServices::openUrl) when the left mouse button is pressed; the box
// takes no keyboard focus.
#ifndef LUMERIN_APP_HYPERLINK_BOX_H_
#define LUMERIN_APP_HYPERLINK_BOX_H_

#include <QColor>
#include <QString>
#include <QUrl>
#include <QWidget>

namespace lumerin {

class HyperlinkBox : public QWidget {
  Q_OBJECT

 public:
  inline static const QColor kLinkColour{0, 0, 255};
  inline static const QColor kHoverColour{51, 153, 255};
  inline static const QColor kVisitedColour{128, 0, 0};

  // A box showing `caption` (or, when it is empty, the target itself) that
  // opens `target`.
  HyperlinkBox(const QString& caption, const QUrl& target, QWidget* parent);

  // The text the box draws.
  [[nodiscard]] QString ShownText() const;

  // The colour the caption is drawn in now.
  [[nodiscard]] QColor TextColour() const;

  [[nodiscard]] const QUrl& Target() const { return target_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  QString caption_;
  QUrl target_;
  bool hovered_ = false;
  bool opened_ = false;  // the last attempt to open the target succeeded
};

}  // namespace lumerin

#endif  // LUMERIN_APP_HYPERLINK_BOX_H_
