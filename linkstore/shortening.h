// Turning a text of any accepted length into the one short code to keep.
//
// The text is sealed with the key; a sealed text below kPartSize characters is
// stored as one part record, a longer one as kPartSize-character part records
// plus an index record over their codes (record_format.h). The requests go out
// strictly one after another, one for a short text and up to 151 for the
// longest accepted one. Nothing stored is ever removed, also on failure.
#ifndef LUMERIN_LINKSTORE_SHORTENING_H_
#define LUMERIN_LINKSTORE_SHORTENING_H_

#include <string_view>

#include "linkstore/service_address.h"
#include "text/text_types.h"

namespace lumerin {

// The short code under which `service` keeps `text` sealed with `key`, to be
// given back to RestoreText with the same key. Text and key are used exactly
// as they stand (a key of one space is a key).
//
// - A text of 135000 bytes or more: "0", and no request is made.
// - Below 900 bytes (single part): an empty key is replaced by "739164"
//   first; "0" when the service does not store the record.
// - From 900 bytes on (multi-part): the key is used as passed, also when
//   empty, so such a code restores only with the very same key. "0" when a
//   part record is not stored (no index record is then stored, and later
//   parts are not sent) or when the code list is too long for one index
//   record; the empty text when the index record itself is not stored.
//
// The empty text takes the single-part path and gets a code; restoring that
// code gives "0", as does restoring a text that was the single character 0.
[[nodiscard]] Text ShortenText(const ServiceAddress& service, std::string_view text,
                               std::string_view key);

}  // namespace lumerin

#endif  // LUMERIN_LINKSTORE_SHORTENING_H_
