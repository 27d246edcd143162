// Fuzzes the link service's request handling without a socket: the form
// decoder, the short-link parser, the long-URL check, and the create and
// query handlers over an in-memory database, with the input as the request
// body. Every answer must be a well-formed JSON object of one of the
// contract's shapes, a stored URL must query back under its code, and a
// repeated create must give the same code.
#include <sqlite3.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <future>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "fuzz/json_shape.h"
#include "service/batch_writer.h"
#include "service/form_decoder.h"
#include "service/link_database.h"
#include "service/link_service.h"
#include "service/long_url.h"
#include "service/reader_pool.h"
#include "service/short_code.h"

namespace lumerin::fuzz {
namespace {

constexpr std::string_view kPublicHost = "127.0.0.1:7312";

// A fresh database after this many inputs keeps the memory of a long run
// bounded.
constexpr int kInputsPerDatabase = 50000;

// The service over one shared in-memory database, which lives as long as
// the writer's connection.
class ServiceUnderTest {
 public:
  explicit ServiceUnderTest(int generation)
      : path_("file:lumerin-fuzz-" + std::to_string(generation) + "?mode=memory&cache=shared") {
    std::unique_ptr<LinkDatabase> database;
    const Status opened = LinkDatabase::Open(path_, LinkDatabase::Access::kReadWrite, &database);
    Require(opened.ok(), "the in-memory database opens", {{"status", opened.message()}});
    writer_ = std::make_unique<BatchWriter>(std::move(database), [](const std::string& message) {
      std::fprintf(stderr, "batch failed: %s\n", message.c_str());
    });
    readers_ = std::make_unique<ReaderPool>(path_);
    service_ = std::make_unique<LinkService>(*writer_, *readers_, std::string(kPublicHost));
  }

  Answer Create(std::string_view body) {
    std::promise<Answer> answer;
    service_->Create(body, [&answer](Answer a) { answer.set_value(std::move(a)); });
    return answer.get_future().get();
  }

  Answer Query(std::string_view body) { return service_->Query(body); }

 private:
  std::string path_;
  std::unique_ptr<BatchWriter> writer_;
  std::unique_ptr<ReaderPool> readers_;
  std::unique_ptr<LinkService> service_;
};

ServiceUnderTest& Service() {
  static int inputs = 0;
  static int generation = 0;
  static std::unique_ptr<ServiceUnderTest> service;
  if (service == nullptr || ++inputs == kInputsPerDatabase) {
    service.reset();
    service = std::make_unique<ServiceUnderTest>(++generation);
    inputs = 0;
  }
  return *service;
}

bool IsControl(unsigned char byte) { return byte < 0x20 || byte == 0x7F; }

bool IsCodeCharacter(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

// A code the service may hand out or be asked for: 5 to 32 of 0-9A-Za-z_.
bool IsCode(std::string_view code) {
  return code.size() >= 5 && code.size() <= 32 &&
         code.find_first_not_of(
             "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz_") ==
             std::string_view::npos;
}

// A long URL the service stores: 1 to 4096 bytes, http:// or https://,
// printable ASCII without space, '"', '\', '<' and '>'.
bool IsStorableUrl(std::string_view url) {
  if (url.empty() || url.size() > 4096) return false;
  if (!url.starts_with("http://") && !url.starts_with("https://")) return false;
  for (const char c : url) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte <= 0x20 || byte >= 0x7F || c == '"' || c == '\\' || c == '<' || c == '>') return false;
  }
  return true;
}

// `value` as a form value: every byte but the letters and digits as %XX.
std::string FormEncode(std::string_view value) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (const char c : value) {
    const auto byte = static_cast<unsigned char>(c);
    if (IsCodeCharacter(c) && c != '_') {
      out.push_back(c);
    } else {
      out += '%';
      out += kHex[byte >> 4];
      out += kHex[byte & 0xF];
    }
  }
  return out;
}

void CheckForm(std::string_view body, const Form& form, const Status& status) {
  const std::initializer_list<Shown> shown = {{"body", body}};
  if (!status.ok()) {
    Require(form.fields().empty(), "A refused form has no fields", shown);
    return;
  }
  for (const char c : body) {
    const auto byte = static_cast<unsigned char>(c);
    Require(byte > 0x20 && byte < 0x7F, "A form with a raw byte outside printable ASCII is refused",
            shown);
  }
  const std::vector<FormField>& fields = form.fields();
  Require(fields.size() <= kMaxFormFields, "A form has at most kMaxFormFields fields", shown);
  std::string encoded;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const FormField& field = fields[i];
    Require(!field.name.empty() && field.name.size() <= kMaxFieldNameLength &&
                field.name.find_first_not_of("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnop"
                                             "qrstuvwxyz_-.") == std::string::npos,
            "Field names are 1 to 32 of 0-9A-Za-z_-.", shown);
    for (std::size_t k = 0; k < i; ++k) {
      Require(fields[k].name != field.name, "No field name is given twice", shown);
    }
    for (const char c : field.value) {
      Require(!IsControl(static_cast<unsigned char>(c)), "A decoded value holds no control byte",
              shown);
    }
    Require(form.Find(field.name) == std::optional<std::string_view>(field.value),
            "Find gives the field's value", shown);
    if (i > 0) encoded += '&';
    encoded += field.name + "=" + FormEncode(field.value);
  }
  Form again;
  Require(DecodeForm(encoded, &again).ok(), "A re-encoded form decodes", {{"encoded", encoded}});
  bool same = again.fields().size() == fields.size();
  for (std::size_t i = 0; same && i < fields.size(); ++i) {
    same = again.fields()[i].name == fields[i].name && again.fields()[i].value == fields[i].value;
  }
  Require(same, "A re-encoded form decodes to the same fields", {{"encoded", encoded}});
}

void CheckValidators(std::string_view body) {
  const std::initializer_list<Shown> shown = {{"text", body}};
  const std::optional<std::string_view> code = CodeFromShortLink(body);
  if (code) {
    Require(IsCode(*code) && body.ends_with(*code),
            "A code found in a short link is well formed and ends it", shown);
  }
  if (IsCode(body)) Require(code == body, "A bare code is its own short link", shown);
  Require(CheckLongUrl(body).ok() == IsStorableUrl(body),
          "CheckLongUrl accepts exactly the storable URLs", shown);
}

enum class Handler { kCreate, kQuery };

// What a success answer says.
struct Success {
  std::string code;
  std::string url;
};

// Checks that `answer` has one of the shapes of its handler, and gives what
// it says when it is a success.
std::optional<Success> CheckAnswer(const Answer& answer, Handler handler, std::string_view body) {
  const std::initializer_list<Shown> shown = {{"body", body}, {"answer", answer.body}};
  const std::optional<std::vector<JsonMember>> members = ParseFlatObject(answer.body);
  Require(members.has_value(), "An answer is one well-formed JSON object", shown);
  Require(answer.httpStatus == 200 || (answer.httpStatus >= 400 && answer.httpStatus <= 599),
          "An answer has status 200 or an error status", shown);

  if (answer.httpStatus != 200) {
    Require(members->size() == 2 && (*members)[0].name == "status" && !(*members)[0].isString &&
                (*members)[0].number == -1 && (*members)[1].name == "err_msg" &&
                (*members)[1].isString && !(*members)[1].text.empty(),
            "A failure is exactly {\"status\":-1,\"err_msg\":\"...\"}", shown);
    return std::nullopt;
  }

  const std::string prefix = "http://" + std::string(kPublicHost) + "/";
  const bool create = handler == Handler::kCreate;
  const std::vector<std::string> names =
      create ? std::vector<std::string>{"tinyurl", "status", "longurl", "err_msg"}
             : std::vector<std::string>{"status", "tinyurl", "longurl"};
  Require(members->size() == names.size(), "A success has the members of its shape", shown);
  Success success;
  for (std::size_t i = 0; i < names.size(); ++i) {
    const JsonMember& member = (*members)[i];
    Require(member.name == names[i], "A success has its members in the contract's order", shown);
    if (member.name == "status") {
      Require(!member.isString && member.number == 0, "A success has status 0", shown);
    } else if (member.name == "tinyurl") {
      Require(member.isString && member.text.starts_with(prefix) &&
                  IsCode(std::string_view(member.text).substr(prefix.size())),
              "A success's tinyurl is the short-link prefix and a code", shown);
      success.code = member.text.substr(prefix.size());
    } else if (member.name == "longurl") {
      Require(member.isString && IsStorableUrl(member.text),
              "A success's longurl is a storable URL", shown);
      success.url = member.text;
    } else {
      Require(member.isString && member.text.empty(), "A success's err_msg is empty", shown);
    }
  }
  // Clients find the values by markers, so the bytes themselves are fixed:
  // slashes of the short link escaped, the long URL as it stands.
  const std::string escapedLink = "http:\\/\\/" + std::string(kPublicHost) + "\\/" + success.code;
  const std::string expected = create ? "{\"tinyurl\":\"" + escapedLink +
                                            "\",\"status\":0,\"longurl\":\"" + success.url +
                                            "\",\"err_msg\":\"\"}"
                                      : "{\"status\":0,\"tinyurl\":\"" + escapedLink +
                                            "\",\"longurl\":\"" + success.url + "\"}";
  Require(answer.body == expected, "A success is written byte for byte as the contract says",
          shown);
  return success;
}

void CheckCreate(ServiceUnderTest& service, std::string_view body, const Form& form, bool decoded) {
  const std::initializer_list<Shown> shown = {{"body", body}};
  const Answer answer = service.Create(body);
  const std::optional<Success> created = CheckAnswer(answer, Handler::kCreate, body);

  const std::optional<std::string_view> url = form.Find("url");
  const std::string_view alias = form.Find("alias").value_or("");
  const bool acceptable = decoded && url && IsStorableUrl(*url) && (alias.empty() || IsCode(alias));
  if (!acceptable) {
    Require(answer.httpStatus == 400, "A create of a malformed request is refused with 400", shown);
    return;
  }
  Require(answer.httpStatus == 200 || (answer.httpStatus == 409 && !alias.empty()),
          "A create of a storable URL succeeds, unless its alias is taken", shown);
  if (!created) return;
  Require(created->url == *url, "A create answers with the URL it stored", shown);
  Require(alias.empty() || created->code == alias, "A create with an alias answers with it", shown);

  const std::string link = "http://" + std::string(kPublicHost) + "/" + created->code;
  for (const std::string& query :
       {"tinyurl=" + link + "&access_type=web", "tinyurl=" + created->code}) {
    const Answer found = service.Query(query);
    const std::optional<Success> back = CheckAnswer(found, Handler::kQuery, query);
    Require(back && back->code == created->code && back->url == *url,
            "A created code queries back to its URL", {{"body", body}, {"query", query}});
  }

  const Answer repeated = service.Create(body);
  const std::optional<Success> again = CheckAnswer(repeated, Handler::kCreate, body);
  Require(again && again->code == created->code, "Creating the same link again gives its code",
          shown);
}

void CheckQuery(ServiceUnderTest& service, std::string_view body, const Form& form, bool decoded) {
  const Answer answer = service.Query(body);
  const std::optional<Success> found = CheckAnswer(answer, Handler::kQuery, body);
  const std::optional<std::string_view> link = form.Find("tinyurl");
  const std::optional<std::string_view> code = link ? CodeFromShortLink(*link) : std::nullopt;
  if (!decoded || !code) {
    Require(answer.httpStatus == 400, "A query without a short link is refused with 400",
            {{"body", body}});
    return;
  }
  Require(answer.httpStatus == 200 || answer.httpStatus == 404,
          "A query of a code is found or not found", {{"body", body}});
  Require(!found || found->code == *code, "A query answers for the code it was asked",
          {{"body", body}});
}

}  // namespace
}  // namespace lumerin::fuzz

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
  // Lets the database path name a shared in-memory database.
  sqlite3_config(SQLITE_CONFIG_URI, 1);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  using namespace lumerin::fuzz;
  const std::string_view body(reinterpret_cast<const char*>(bytes), size);
  lumerin::Form form;
  const lumerin::Status status = lumerin::DecodeForm(body, &form);
  CheckForm(body, form, status);
  CheckValidators(body);
  ServiceUnderTest& service = Service();
  CheckCreate(service, body, form, status.ok());
  CheckQuery(service, body, form, status.ok());
  return 0;
}
