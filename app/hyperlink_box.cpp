#include "app/hyperlink_box.h"

#include <QDesktopServices>
#include <QMouseEvent>
#include <QPainter>

namespace lumerin {

HyperlinkBox::HyperlinkBox(const QString& caption, const QUrl& target, QWidget* parent)
    : QWidget(parent), caption_(caption), target_(target) {
  setFocusPolicy(Qt::NoFocus);
  setCursor(Qt::PointingHandCursor);
}

QString HyperlinkBox::ShownText() const {
  return caption_.isEmpty() ? target_.toDisplayString() : caption_;
}

QColor HyperlinkBox::TextColour() const {
  if (hovered_) return kHoverColour;
  return opened_ ? kVisitedColour : kLinkColour;
}

void HyperlinkBox::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  painter.setPen(TextColour());
  painter.setFont(font());
  painter.drawText(rect(), Qt::AlignCenter | Qt::TextSingleLine, ShownText());
}

void HyperlinkBox::enterEvent(QEnterEvent* event) {
  hovered_ = true;
  update();
  QWidget::enterEvent(event);
}

void HyperlinkBox::leaveEvent(QEvent* event) {
  hovered_ = false;
  update();
  QWidget::leaveEvent(event);
}

void HyperlinkBox::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    QWidget::mousePressEvent(event);
    return;
  }
  opened_ = QDesktopServices::openUrl(target_);
  update();
}

}  // namespace lumerin
