// Cutting a URL into the pieces the HTTP client is handed: the server name,
// the port and the object (path and query).
//
// These are plain text operations on the URL, with no URL grammar and no
// validation: a malformed URL gives a malformed piece, and the HTTP client
// that receives it refuses it. Only the schemes "http://" and "https://" are
// known (in any letter case); a URL without "http://" is read as if it began
// with it. Each result is a new value; the URL is never changed.
//
//   UrlHost("HTTP://Www.Example.Org:8080/p?x=1") == "www.example.org"
//   UrlHost("http://www.example.org:8080/p", false, true) == "www.example.org:8080"
//   UrlPort("https://www.example.org/a") == 443
//   UrlPath("http://www.example.org/P/q?x=1") == "/P/q?x=1"
#ifndef LUMERIN_WEB_URL_PARTS_H_
#define LUMERIN_WEB_URL_PARTS_H_

#include <optional>
#include <string_view>

#include "text/text_types.h"

namespace lumerin {

// The host of `url` in lower case: the text after the first "https://" (when
// the URL begins with it, in any case) or the first "http://" up to the next
// "/" (the text up to the first "/" when the URL holds no "http://"), which
// includes a query that follows the host directly ("http://h?x=1" gives
// "h?x=1") and a user name and password ("http://u:p@h/" gives "u").
//
// With `rootDomain`, a host of several dot-separated labels is reduced to its
// last two. With `keepPort`, the port suffix stays ("h:8080"); otherwise the
// host is cut at its first ":".
//
// When `levels` is present, its presence selects another reduction: every
// "http://" and then every "https://" is removed wherever it stands, the text
// is cut at its first "/", and the host keeps its last levels + 1 labels
// (with `rootDomain`) or levels + 2 labels (without), or all of them when it
// has fewer; a negative `levels` counts as 0. The port rule above then
// applies.
[[nodiscard]] Text UrlHost(std::string_view url, bool rootDomain = false, bool keepPort = false,
                           std::optional<int> levels = std::nullopt);

// The port of `url`: the number after the last ":" of UrlHost(url, false,
// true), read by ToInteger (0 when no digits follow); without a ":", 443 when
// the URL begins with "https" in any case, else 80.
[[nodiscard]] int UrlPort(std::string_view url);

// The object of `url` in its own letter case: everything from the first "/"
// at or after the first occurrence (case ignored) of UrlHost(url) to the end,
// query and fragment included; "/" when there is no such "/". Note the host
// may occur earlier than where it stands ("http://p/a" finds "p" in "http"),
// and then the object begins at the "//" of the scheme.
[[nodiscard]] Text UrlPath(std::string_view url);

}  // namespace lumerin

#endif  // LUMERIN_WEB_URL_PARTS_H_
