// The window program: makes its own directory the current one, then creates,
// shows and runs MainWindow until it is closed.
#include <unistd.h>

#include <QApplication>
#include <cstdio>
#include <string>

#include "app/export.h"
#include "app/main_window.h"
#include "linkstore/service_address.h"

int main(int argc, char** argv) {
  const std::string runDirectory = lumerin::RunDirectory();
  // An empty run directory is the root (the program lies in "/").
  if (chdir(runDirectory.empty() ? "/" : runDirectory.c_str()) != 0) {
    std::perror("lumerin: cannot enter the program's directory");
  }
  QApplication application(argc, argv);
  lumerin::MainWindow window(lumerin::ServiceAddressFromEnvironment(), runDirectory);
  window.show();
  return QApplication::exec();
}
