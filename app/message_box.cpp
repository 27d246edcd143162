#include "app/message_box.h"

#include <QMessageBox>

namespace lumerin {

void ShowMessage(const QString& text) {
  QMessageBox box(QMessageBox::NoIcon, kMessageCaption, text, QMessageBox::Ok);
  box.setTextFormat(Qt::PlainText);
  box.setWindowModality(Qt::ApplicationModal);
  box.exec();
}

}  // namespace lumerin
