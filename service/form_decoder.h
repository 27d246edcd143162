// Strict decoding of application/x-www-form-urlencoded request bodies.
//
// Clients of this service send their values as they stand, without
// percent-encoding ("url=http://txt1?0A1B&alias=&access_type=web"), so a value
// may hold any printable ASCII byte except "&", including ":", "/", "?" and
// "=". "+" stands for a space and "%XX" for the byte with hex value XX, as in
// any form encoding. Everything else is refused with a message that can be
// shown to the client: raw control, space or non-ASCII bytes, a "%" without
// two hex digits after it, an escape that yields a control byte, a field
// without "=", an empty or malformed field name, a field given twice, and
// more than kMaxFormFields fields.
#ifndef LUMERIN_SERVICE_FORM_DECODER_H_
#define LUMERIN_SERVICE_FORM_DECODER_H_

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "service/status.h"

namespace lumerin {

// No request of the service has more than three fields; the bound keeps a
// hostile body of thousands of tiny fields cheap to refuse.
inline constexpr std::size_t kMaxFormFields = 16;

// Field names are short identifiers: 1 to 32 of 0-9A-Za-z, "_", "-" and ".".
inline constexpr std::size_t kMaxFieldNameLength = 32;

struct FormField {
  std::string name;
  std::string value;  // decoded; may be empty
};

// A decoded form: its fields in body order, every name distinct.
class Form {
 public:
  // The decoded value of the field called `name`, or nullopt when the body
  // had no such field. A field given as "name=" has the empty value.
  [[nodiscard]] std::optional<std::string_view> Find(std::string_view name) const;

  [[nodiscard]] const std::vector<FormField>& fields() const { return fields_; }

 private:
  friend Status DecodeForm(std::string_view body, Form* form);
  std::vector<FormField> fields_;
};

// Decodes `body` into `*form`. The empty body is the form without fields.
// On failure returns the reason and leaves `*form` empty.
//
//   DecodeForm("url=http://a/?x=1&alias=", &form)  -> ok, url "http://a/?x=1", alias ""
//   DecodeForm("url=a%2", &form)                   -> error (incomplete escape)
//   DecodeForm("url=a&url=b", &form)               -> error (field given twice)
[[nodiscard]] Status DecodeForm(std::string_view body, Form* form);

}  // namespace lumerin

#endif  // LUMERIN_SERVICE_FORM_DECODER_H_
