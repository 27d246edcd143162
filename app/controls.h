// Makers for the window's controls, each with the look all of them share.
//
// Every control gets its object name, its place (relative to its parent) and
// size, its text and the window's font: 微软雅黑 at a character height of 12
// pixels, normal weight. Edit boxes and buttons take the keyboard focus with
// Tab; labels, group boxes and hyperlink boxes never take it. No edit box has
// a length limit, and no button is a default button.
#ifndef LUMERIN_APP_CONTROLS_H_
#define LUMERIN_APP_CONTROLS_H_

#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>
#include <QUrl>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QWidget;

namespace lumerin {

class HyperlinkBox;

inline const QString kControlFontFamily = QStringLiteral("微软雅黑");
// Where kControlFontFamily is not installed it is drawn in this family
// (Debian's fonts-wqy-microhei), which covers the same characters.
inline const QString kControlFontSubstitute = QStringLiteral("WenQuanYi Micro Hei");
inline constexpr int kControlFontPixelHeight = 12;

// The font of every control. The first call maps kControlFontFamily to
// kControlFontSubstitute for the whole program when the family is missing.
[[nodiscard]] QFont ControlFont();

// A multi-line edit box: the text wraps at the box's width, a vertical scroll
// bar only, Enter inserts a line break and Tab moves the focus on; sunken
// border, black on white, initially empty.
QPlainTextEdit* AddMultiLineBox(QWidget* parent, const QString& name, const QRect& geometry);

// A single-line edit box that scrolls sideways, with no length limit; sunken
// border, black on white, initially empty.
QLineEdit* AddLineBox(QWidget* parent, const QString& name, const QRect& geometry);

// A one-line label, left-aligned and vertically centred, drawn in `colour` on
// the parent's background.
QLabel* AddLabel(QWidget* parent, const QString& name, const QRect& geometry,
                 const QString& caption, const QColor& colour = Qt::black);

// A plain push button with its caption centred.
QPushButton* AddButton(QWidget* parent, const QString& name, const QRect& geometry,
                       const QString& caption);

// A plain frame with its caption at the left of the top edge; the controls
// placed in it are measured from its top-left corner.
QGroupBox* AddGroupBox(QWidget* parent, const QString& name, const QRect& geometry,
                       const QString& caption);

HyperlinkBox* AddHyperlinkBox(QWidget* parent, const QString& name, const QRect& geometry,
                              const QString& caption, const QUrl& target);

}  // namespace lumerin

#endif  // LUMERIN_APP_CONTROLS_H_
