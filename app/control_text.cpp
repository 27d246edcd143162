#include "app/control_text.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextDocument>

#include "text/ansi_conversion.h"
#include "text/line_breaks.h"

namespace lumerin {

Text TextFromControl(const QString& shown) {
  const QByteArray utf8 = shown.toUtf8();
  return Gb18030FromUtf8(CrLfFromLf(std::string_view(utf8.constData(), utf8.size())));
}

QString ControlFromText(std::string_view text) {
  return QString::fromStdString(LfFromCrLf(Utf8FromGb18030(text)));
}

Text BoxText(const QPlainTextEdit& box) {
  // toPlainText() would also turn each no-break space into a space; the raw
  // text keeps it, and only the two break characters need mapping.
  QString shown = box.document()->toRawText();
  shown.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
  shown.replace(QChar::LineSeparator, QLatin1Char('\n'));
  return TextFromControl(shown);
}

Text BoxText(const QLineEdit& box) { return TextFromControl(box.text()); }

void SetBoxText(QPlainTextEdit& box, std::string_view text) {
  box.setPlainText(ControlFromText(text));
}

void SetBoxText(QLineEdit& box, std::string_view text) { box.setText(ControlFromText(text)); }

}  // namespace lumerin
