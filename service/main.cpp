// lumerin-linkd: the link service. Parses the command line, opens the store,
// starts the writer and the HTTP server, and stops them in order on SIGTERM
// or SIGINT: no new connections, every queued create committed and
// answered, connections closed, database closed.
#include <pthread.h>
#include <sqlite3.h>
#include <sys/resource.h>

#include <csignal>
#include <cstdio>
#include <memory>
#include <span>
#include <string>

#include "service/access_log.h"
#include "service/batch_writer.h"
#include "service/http_server.h"
#include "service/link_database.h"
#include "service/link_service.h"
#include "service/listen_socket.h"
#include "service/reader_pool.h"
#include "service/service_options.h"

namespace {

// Enough descriptors for the connection limit, the database and the pool.
constexpr rlim_t kWantedDescriptors = 4096;

void RaiseDescriptorLimit() {
  rlimit limit{};
  if (getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur >= kWantedDescriptors) return;
  limit.rlim_cur = limit.rlim_max == RLIM_INFINITY || limit.rlim_max >= kWantedDescriptors
                       ? kWantedDescriptors
                       : limit.rlim_max;
  setrlimit(RLIMIT_NOFILE, &limit);
}

int Fail(const std::string& message) {
  std::fprintf(stderr, "lumerin-linkd: %s\n", message.c_str());
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace lumerin;
  ServiceOptions options;
  const std::span<const char* const> args(argv + 1, static_cast<std::size_t>(argc - 1));
  if (Status status = ParseServiceOptions(args, &options); !status.ok()) {
    std::fprintf(stderr, "lumerin-linkd: %s\n", status.message().c_str());
    return 2;
  }
  if (options.help) {
    std::fwrite(ServiceUsage().data(), 1, ServiceUsage().size(), stdout);
    return 0;
  }

  // The stop signals are taken by sigwait below; every thread started from
  // here on inherits the mask and never sees them.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGTERM);
  sigaddset(&stopSignals, SIGINT);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
  std::signal(SIGPIPE, SIG_IGN);
  RaiseDescriptorLimit();
  // SQLite's allocation statistics take a process-wide mutex on every
  // allocation; nothing here reads them.
  sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);

  const AccessLog log(STDERR_FILENO);
  std::unique_ptr<LinkDatabase> database;
  if (Status status =
          LinkDatabase::Open(options.databasePath, LinkDatabase::Access::kReadWrite, &database);
      !status.ok()) {
    return Fail(status.message());
  }
  BatchWriter writer(std::move(database),
                     [&log](const std::string& message) { log.Note(message); });
  ReaderPool readers(options.databasePath);

  ListenSocket socket;
  if (Status status =
          OpenListenSocket(options.listenAddress, options.listenPort, options.listenIpv6, &socket);
      !status.ok()) {
    return Fail(status.message());
  }
  LinkService service(writer, readers,
                      options.publicHost.empty() ? socket.hostAndPort : options.publicHost,
                      [&log](const std::string& message) { log.Note(message); });
  std::unique_ptr<HttpServer> server;
  if (Status status =
          HttpServer::Start(socket, options.listenIpv6, service, log, HttpLimits{}, &server);
      !status.ok()) {
    return Fail(status.message());
  }
  std::printf("listening on %s\n", socket.hostAndPort.c_str());
  std::fflush(stdout);

  int received = 0;
  sigwait(&stopSignals, &received);
  log.Note(received == SIGINT ? "stopping on SIGINT" : "stopping on SIGTERM");
  server->BeginShutdown();
  writer.Stop();
  server->Finish();
  log.Note("stopped");
  return 0;
}
