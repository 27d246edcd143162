// A small success-or-message value for the service's fallible operations.
//
// Errors inside the service are values, never exceptions: a routine that can
// fail returns a Status, and the caller decides what the client is told. The
// message is meant for the operator's log, not for the client.
#ifndef LUMERIN_SERVICE_STATUS_H_
#define LUMERIN_SERVICE_STATUS_H_

#include <string>
#include <utility>

namespace lumerin {

class [[nodiscard]] Status {
 public:
  // Success.
  Status() = default;

  // Failure with a human-readable explanation (never empty for a failure).
  [[nodiscard]] static Status Error(std::string message) { return Status(std::move(message)); }

  [[nodiscard]] bool ok() const { return message_.empty(); }

  // Empty for success.
  [[nodiscard]] const std::string& message() const { return message_; }

 private:
  explicit Status(std::string message)
      : message_(message.empty() ? std::string("unknown error") : std::move(message)) {}

  std::string message_;
};

}  // namespace lumerin

#endif  // LUMERIN_SERVICE_STATUS_H_
