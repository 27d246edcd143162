// The main of the window tests: widgets need a QApplication before any test
// runs. It uses Qt's offscreen platform unless QT_QPA_PLATFORM names another
// (the test registration sets it for ctest; this also covers the listing of
// the tests at build time and a run by hand).
#include <gtest/gtest.h>

#include <QApplication>
#include <QtGlobal>

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
