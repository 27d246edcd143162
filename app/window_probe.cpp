// lumerin-window-probe: the start-up of the window program, instrumented for
// tools/measure_window.sh. It starts exactly as `lumerin` does and prints, one
// "name value" pair a line:
//   shown_at_ns      the CLOCK_REALTIME time of the window's first paint
//   idle_rss_kb      the resident memory one second after that
//   count_500kb_ms   the fastest of five counts (按钮2) of a 500 KB text
// and, given a file name, saves a picture of the window to it (taken from the
// screen, so under Xvfb it is what a user would see).
//   lumerin-window-probe [SCREENSHOT.png]
#include <time.h>
#include <unistd.h>

#include <QApplication>
#include <QEvent>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>

#include "app/export.h"
#include "app/main_window.h"
#include "linkstore/service_address.h"

namespace {

long long RealtimeNanoseconds() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

// VmRSS of this process in kB, or -1.
long ResidentKilobytes() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.starts_with("VmRSS:")) return std::stol(line.substr(6));
  }
  return -1;
}

// Prints the time of the first paint of the window it watches, once.
class FirstPaintWatch : public QObject {
 public:
  using QObject::QObject;
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (!painted_ && event->type() == QEvent::Paint) {
      painted_ = true;
      std::printf("shown_at_ns %lld\n", RealtimeNanoseconds());
      std::fflush(stdout);
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  bool painted_ = false;
};

double FastestCountMilliseconds(lumerin::MainWindow& window) {
  auto* box = window.findChild<QPlainTextEdit*>(QStringLiteral("编辑框1"));
  auto* countButton = window.findChild<QPushButton*>(QStringLiteral("按钮2"));
  // 23 bytes a line in GB18030 with CR LF: 9 Chinese characters, 3 letters.
  const QString line = QStringLiteral("灯塔的账本第一页。abc\n");
  QString text;
  for (int i = 0; i < 500 * 1024 / 23; ++i) text += line;
  box->setPlainText(text);
  double fastest = 1e9;
  for (int round = 0; round < 5; ++round) {
    const auto start = std::chrono::steady_clock::now();
    countButton->click();
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    fastest = std::min(fastest, took.count());
  }
  return fastest;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string runDirectory = lumerin::RunDirectory();
  if (chdir(runDirectory.empty() ? "/" : runDirectory.c_str()) != 0) {
    std::perror("lumerin-window-probe: cannot enter the program's directory");
  }
  QApplication application(argc, argv);
  const QStringList arguments = QApplication::arguments();
  const QString screenshot = arguments.size() > 1 ? arguments[1] : QString();

  lumerin::MainWindow window(lumerin::ServiceAddressFromEnvironment(), runDirectory);
  FirstPaintWatch watch;
  window.installEventFilter(&watch);
  window.show();

  QTimer::singleShot(1000, &window, [&window, &screenshot] {
    std::printf("idle_rss_kb %ld\n", ResidentKilobytes());
    if (!screenshot.isEmpty()) {
      const QPixmap picture = window.screen()->grabWindow(window.winId());
      if (!picture.save(screenshot)) std::fprintf(stderr, "cannot save the screenshot\n");
    }
    std::printf("count_500kb_ms %.2f\n", FastestCountMilliseconds(window));
    std::fflush(stdout);
    QApplication::quit();
  });
  return QApplication::exec();
}
