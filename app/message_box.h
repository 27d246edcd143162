// The program's message box: caption "信息：", the text, one OK button, no
// icon. It has no owner window and is modal for the whole program, so the
// main window takes no input until it is dismissed.
#ifndef LUMERIN_APP_MESSAGE_BOX_H_
#define LUMERIN_APP_MESSAGE_BOX_H_

#include <QString>

namespace lumerin {

inline const QString kMessageCaption = QStringLiteral("信息：");

// Shows `text` (a "\n" starts a new line) and returns once the user has
// dismissed the box.
void ShowMessage(const QString& text);

}  // namespace lumerin

#endif  // LUMERIN_APP_MESSAGE_BOX_H_
