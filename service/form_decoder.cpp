#include "service/form_decoder.h"

#include <algorithm>
#include <string>

namespace lumerin {
namespace {

bool IsNameByte(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' ||
         c == '-' || c == '.';
}

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

bool IsControlByte(unsigned char b) { return b < 0x20 || b == 0x7F; }

Status CheckName(std::string_view name) {
  if (name.empty()) return Status::Error("form field without a name");
  if (name.size() > kMaxFieldNameLength) return Status::Error("form field name too long");
  if (!std::all_of(name.begin(), name.end(), IsNameByte)) {
    return Status::Error("form field name with a character other than 0-9A-Za-z_-.");
  }
  return Status();
}

// Plain bytes stand for themselves: printable ASCII other than "+" and "%".
bool IsPlainByte(char c) {
  const auto b = static_cast<unsigned char>(c);
  return b > 0x20 && b < 0x7F && c != '+' && c != '%';
}

// Decodes one raw value; `name` only serves the error messages.
Status DecodeValue(std::string_view name, std::string_view raw, std::string* value) {
  value->clear();
  value->reserve(raw.size());
  std::size_t i = 0;
  while (i < raw.size()) {
    // Runs of plain bytes, the whole of a typical value, are copied at once.
    const std::size_t runEnd =
        std::find_if_not(raw.begin() + i, raw.end(), IsPlainByte) - raw.begin();
    value->append(raw.substr(i, runEnd - i));
    i = runEnd;
    if (i == raw.size()) break;
    if (raw[i] == '+') {
      value->push_back(' ');
      ++i;
      continue;
    }
    if (raw[i] != '%') {
      return Status::Error("field " + std::string(name) +
                           ": raw byte that is not printable ASCII (use + or %XX)");
    }
    const int high = i + 1 < raw.size() ? HexDigitValue(raw[i + 1]) : -1;
    const int low = i + 2 < raw.size() ? HexDigitValue(raw[i + 2]) : -1;
    if (high < 0 || low < 0) {
      return Status::Error("field " + std::string(name) +
                           ": \"%\" not followed by two hexadecimal digits");
    }
    const auto decoded = static_cast<unsigned char>(high * 16 + low);
    if (IsControlByte(decoded)) {
      return Status::Error("field " + std::string(name) + ": escape of a control character");
    }
    value->push_back(static_cast<char>(decoded));
    i += 3;
  }
  return Status();
}

}  // namespace

std::optional<std::string_view> Form::Find(std::string_view name) const {
  for (const FormField& field : fields_) {
    if (field.name == name) return std::string_view(field.value);
  }
  return std::nullopt;
}

Status DecodeForm(std::string_view body, Form* form) {
  form->fields_.clear();
  if (body.empty()) return Status();
  std::vector<FormField> fields;
  std::size_t start = 0;
  while (true) {
    const std::size_t end = std::min(body.find('&', start), body.size());
    const std::string_view pair = body.substr(start, end - start);
    if (pair.empty()) return Status::Error("empty form field (\"&&\" or \"&\" at an end)");
    const std::size_t equals = pair.find('=');
    if (equals == std::string_view::npos) return Status::Error("form field without \"=\"");
    const std::string_view name = pair.substr(0, equals);
    if (Status status = CheckName(name); !status.ok()) return status;
    for (const FormField& field : fields) {
      if (field.name == name) return Status::Error("field " + std::string(name) + " given twice");
    }
    if (fields.size() == kMaxFormFields) return Status::Error("too many form fields");
    FormField field{std::string(name), {}};
    if (Status status = DecodeValue(name, pair.substr(equals + 1), &field.value); !status.ok()) {
      return status;
    }
    fields.push_back(std::move(field));
    if (end == body.size()) break;
    start = end + 1;
  }
  form->fields_ = std::move(fields);
  return Status();
}

}  // namespace lumerin
