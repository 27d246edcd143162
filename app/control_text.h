// The one place where text crosses between the controls and the logic.
//
// Qt holds text as UTF-16 with LF line breaks; the logic holds Text, GB18030
// bytes with CR LF line breaks. Reading a box goes QString -> UTF-8 -> CR LF ->
// GB18030; setting one goes the same road back. GB18030 has a form for every
// character, so a text read from a box and set again is the same text.
#ifndef LUMERIN_APP_CONTROL_TEXT_H_
#define LUMERIN_APP_CONTROL_TEXT_H_

#include <QString>
#include <string_view>

#include "text/text_types.h"

class QLineEdit;
class QPlainTextEdit;

namespace lumerin {

// The Text form of `shown`: each LF becomes CR LF.
//   TextFromControl(QStringLiteral("中\n文")) == "\xD6\xD0\r\n\xCE\xC4"
[[nodiscard]] Text TextFromControl(const QString& shown);

// The QString form of `text`: each CR LF becomes LF; invalid GB18030 bytes
// show as U+FFFD.
[[nodiscard]] QString ControlFromText(std::string_view text);

// The whole content of `box` as Text. Every paragraph break, and every line
// separator a Shift+Enter typed, counts as one line break; all other
// characters are kept as they stand (a no-break space stays one).
[[nodiscard]] Text BoxText(const QPlainTextEdit& box);
[[nodiscard]] Text BoxText(const QLineEdit& box);

// Replaces the whole content of `box` with `text`.
void SetBoxText(QPlainTextEdit& box, std::string_view text);
void SetBoxText(QLineEdit& box, std::string_view text);

}  // namespace lumerin

#endif  // LUMERIN_APP_CONTROL_TEXT_H_
