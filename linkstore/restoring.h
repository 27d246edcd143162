// Turning a short code back into the text that was shortened.
//
// The long URL behind the code is looked up and recognised by its marker: a
// part record is unsealed at once; an index record is unsealed into its code
// list, whose part records are looked up one after another in list order and
// joined before the whole is unsealed (record_format.h).
#ifndef LUMERIN_LINKSTORE_RESTORING_H_
#define LUMERIN_LINKSTORE_RESTORING_H_

#include <string_view>

#include "linkstore/service_address.h"
#include "text/text_types.h"

namespace lumerin {

// The text stored at `service` under `code`, unsealed with `key`; code and key
// are used exactly as they stand, nothing trimmed.
//
// - A code shorter than 5 bytes: "0", and no request is made.
// - A long URL holding the single-part marker (tested first, anywhere in it)
//   is a part record: every marker is removed and the rest unsealed, with
//   "739164" in place of an empty key; "0" when that gives the empty text.
//   So the code of the first part of a long text gives the start of the text.
// - A long URL holding the index marker is an index record, unsealed with the
//   key as passed, also when empty. "0" when its code list has more than 150
//   codes (without any further request), when a part's lookup gives the empty
//   text or a part lacks the single-part marker; otherwise whatever the
//   unsealing of the joined parts gives, the empty text included.
// - "0" when the lookup fails or the long URL holds neither marker.
//
// A wrong key is not detected: it gives a garbled text (cut at the first zero
// byte the unsealing makes), or "0" when an index record's list comes out
// garbled and its codes are not found.
[[nodiscard]] Text RestoreText(const ServiceAddress& service, std::string_view code,
                               std::string_view key);

}  // namespace lumerin

#endif  // LUMERIN_LINKSTORE_RESTORING_H_
