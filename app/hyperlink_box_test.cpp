#include "app/hyperlink_box.h"

#include <gtest/gtest.h>

#include <QDesktopServices>
#include <QEnterEvent>
#include <QObject>
#include <QTest>
#include <QUrl>
#include <vector>

namespace lumerin {
namespace {

// Takes the place of the desktop for one URL scheme and records what it was
// asked to open, so no browser is ever started.
class UrlRecorder : public QObject {
  Q_OBJECT

 public:
  explicit UrlRecorder(const QString& scheme) : scheme_(scheme) { Accept(); }
  ~UrlRecorder() override { QDesktopServices::unsetUrlHandler(scheme_); }

  // Further URLs are opened (and recorded).
  void Accept() { QDesktopServices::setUrlHandler(scheme_, this, "Open"); }
  // Further attempts fail, as when no program takes the URL.
  void Refuse() { QDesktopServices::setUrlHandler(scheme_, this, "NoSuchSlot"); }

  std::vector<QUrl> opened;

 public slots:
  void Open(const QUrl& url) { opened.push_back(url); }

 private:
  QString scheme_;
};

void MoveMouseIn(QWidget& box) {
  QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
  QCoreApplication::sendEvent(&box, &enter);
}

void MoveMouseOut(QWidget& box) {
  QEvent leave(QEvent::Leave);
  QCoreApplication::sendEvent(&box, &leave);
}

TEST(HyperlinkBox, ColourTellsHoverAndTheLastAttempt) {
  UrlRecorder desktop(QStringLiteral("lumerin-test"));
  const QUrl target(QStringLiteral("lumerin-test://host/page"));
  HyperlinkBox box(QStringLiteral("链接"), target, nullptr);
  box.resize(96, 24);

  EXPECT_EQ(box.TextColour(), QColor(0, 0, 255));
  MoveMouseIn(box);
  EXPECT_EQ(box.TextColour(), QColor(51, 153, 255));
  QTest::mouseClick(&box, Qt::LeftButton);
  ASSERT_EQ(desktop.opened.size(), 1u);
  EXPECT_EQ(desktop.opened[0], target);
  EXPECT_EQ(box.TextColour(), QColor(51, 153, 255)) << "hover wins while the mouse is over";
  MoveMouseOut(box);
  EXPECT_EQ(box.TextColour(), QColor(128, 0, 0));

  desktop.Refuse();
  QTest::mouseClick(&box, Qt::LeftButton);
  EXPECT_EQ(box.TextColour(), QColor(0, 0, 255)) << "a failed attempt makes it blue again";

  desktop.Accept();
  QTest::mouseClick(&box, Qt::RightButton);
  QTest::mouseClick(&box, Qt::MiddleButton);
  EXPECT_EQ(desktop.opened.size(), 1u) << "only the left button opens";
  EXPECT_EQ(box.TextColour(), QColor(0, 0, 255));
}

TEST(HyperlinkBox, InvalidTargetFailsWithoutTheDesktop) {
  HyperlinkBox box(QStringLiteral("链接"), QUrl(QStringLiteral("http://[bad")), nullptr);
  box.resize(96, 24);
  QTest::mouseClick(&box, Qt::LeftButton);
  EXPECT_EQ(box.TextColour(), QColor(0, 0, 255));
}

TEST(HyperlinkBox, ShowsTheCaptionOrElseTheTarget) {
  const QUrl target(QStringLiteral("http://127.0.0.1:7312/healthz"));
  EXPECT_EQ(HyperlinkBox(QStringLiteral("链接服务"), target, nullptr).ShownText(),
            QStringLiteral("链接服务"));
  EXPECT_EQ(HyperlinkBox(QString(), target, nullptr).ShownText(),
            QStringLiteral("http://127.0.0.1:7312/healthz"));
}

TEST(HyperlinkBox, IsAHandWithoutKeyboardFocus) {
  HyperlinkBox box(QStringLiteral("链接"), QUrl(QStringLiteral("http://127.0.0.1/")), nullptr);
  EXPECT_EQ(box.cursor().shape(), Qt::PointingHandCursor);
  EXPECT_EQ(box.focusPolicy(), Qt::NoFocus);
}

}  // namespace
}  // namespace lumerin

#include "hyperlink_box_test.moc"
