#include "app/controls.h"

#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPushButton>
#include <limits>

#include "app/hyperlink_box.h"

namespace lumerin {

namespace {

// Gives `control` its name, place, font and, for what is not meant to take
// the keyboard focus, no focus.
void Place(QWidget* control, const QString& name, const QRect& geometry, bool tabStop) {
  control->setObjectName(name);
  control->setGeometry(geometry);
  control->setFont(ControlFont());
  if (!tabStop) control->setFocusPolicy(Qt::NoFocus);
}

void UseBlackOnWhite(QWidget* box) {
  QPalette palette = box->palette();
  palette.setColor(QPalette::Base, Qt::white);
  palette.setColor(QPalette::Text, Qt::black);
  box->setPalette(palette);
}

}  // namespace

QFont ControlFont() {
  if (!QFontDatabase::hasFamily(kControlFontFamily)) {
    QFont::insertSubstitution(kControlFontFamily, kControlFontSubstitute);
  }
  QFont font(kControlFontFamily);
  font.setPixelSize(kControlFontPixelHeight);
  font.setWeight(QFont::Normal);
  return font;
}

QPlainTextEdit* AddMultiLineBox(QWidget* parent, const QString& name, const QRect& geometry) {
  auto* box = new QPlainTextEdit(parent);
  Place(box, name, geometry, /*tabStop=*/true);
  box->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  box->setTabChangesFocus(true);
  box->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  UseBlackOnWhite(box);
  return box;
}

QLineEdit* AddLineBox(QWidget* parent, const QString& name, const QRect& geometry) {
  auto* box = new QLineEdit(parent);
  Place(box, name, geometry, /*tabStop=*/true);
  box->setMaxLength(std::numeric_limits<int>::max());
  box->setFrame(true);
  UseBlackOnWhite(box);
  return box;
}

QLabel* AddLabel(QWidget* parent, const QString& name, const QRect& geometry,
                 const QString& caption, const QColor& colour) {
  auto* label = new QLabel(caption, parent);
  Place(label, name, geometry, /*tabStop=*/false);
  label->setTextFormat(Qt::PlainText);
  label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  label->setWordWrap(false);
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, colour);
  label->setPalette(palette);
  return label;
}

QPushButton* AddButton(QWidget* parent, const QString& name, const QRect& geometry,
                       const QString& caption) {
  auto* button = new QPushButton(caption, parent);
  Place(button, name, geometry, /*tabStop=*/true);
  button->setAutoDefault(false);
  button->setDefault(false);
  return button;
}

QGroupBox* AddGroupBox(QWidget* parent, const QString& name, const QRect& geometry,
                       const QString& caption) {
  auto* group = new QGroupBox(caption, parent);
  Place(group, name, geometry, /*tabStop=*/false);
  group->setAlignment(Qt::AlignLeft);
  group->setFlat(false);
  return group;
}

HyperlinkBox* AddHyperlinkBox(QWidget* parent, const QString& name, const QRect& geometry,
                              const QString& caption, const QUrl& target) {
  auto* link = new HyperlinkBox(caption, target, parent);
  Place(link, name, geometry, /*tabStop=*/false);
  return link;
}

}  // namespace lumerin
