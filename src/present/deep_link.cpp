#include "present/deep_link.hpp"

#include <glib.h>

#include <array>

#include "base/owned.hpp"

namespace vx::present {

namespace {

using GText = base::Owned<char, g_free>;

bool isHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// RFC 3986 "pchar" less the percent escape: unreserved, sub-delims, ":" and "@".
bool isPathCharacter(char c) {
  if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return true;
  return std::string_view("-._~!$&'()*+,;=:@").find(c) != std::string_view::npos;
}

// The parser splits the URL but lets through what RFC 3986 does not allow inside a part (bad
// percent escapes, quotes, braces, non-ASCII bytes): each part is held to its character set.
bool validPart(std::string_view text, std::string_view extra) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '%') {
      if (i + 2 >= text.size() || !isHexDigit(text[i + 1]) || !isHexDigit(text[i + 2])) {
        return false;
      }
      i += 2;
    } else if (!isPathCharacter(c) && extra.find(c) == std::string_view::npos) {
      return false;
    }
  }
  return true;
}

bool validDeepLink(const std::string& candidate) {
  // The parser reads a C string: an embedded NUL would hide the rest from it.
  if (candidate.find('\0') != std::string::npos) return false;
  // Every character must be one a part may hold, or a delimiter between parts: the parser
  // escapes what it finds out of place (spaces, control and non-ASCII characters) instead of
  // failing, and the address would no longer be the one checked.
  if (!validPart(candidate, "/?#")) return false;
  // GLib's parser, already loaded for the text drawing, rather than libcurl's: a drawing
  // process never needs libcurl otherwise. Parts are taken with their percent escapes.
  char* parts[6] = {};  // scheme, user information, host, path, query, fragment
  int port = -1;
  const bool split = g_uri_split(candidate.c_str(), G_URI_FLAGS_ENCODED, &parts[0], &parts[1],
                                 &parts[2], &port, &parts[3], &parts[4], &parts[5], nullptr);
  const std::array<GText, 6> owned = {GText(parts[0]), GText(parts[1]), GText(parts[2]),
                                      GText(parts[3]), GText(parts[4]), GText(parts[5])};
  auto text = [&](int i) { return std::string_view(owned[i] ? owned[i].get() : ""); };
  if (!split || text(0) != "vantorix" || !owned[2] || text(2) != "open" || owned[1] || port != -1) {
    return false;
  }
  return validPart(text(3), "/") && validPart(text(4), "/?") && validPart(text(5), "/?");
}

}  // namespace

std::optional<std::string> deepLink(std::string_view path) {
  std::string link(kDeepLinkBase);
  link += path;
  if (!validDeepLink(link)) return std::nullopt;
  return link;
}

std::optional<std::string> projectLink(std::string_view slug) {
  return deepLink("/app/projects/" + std::string(slug));
}

std::optional<std::string> projectGoalsLink(std::string_view slug) {
  return deepLink("/app/projects/" + std::string(slug) +
                  "/analytics?project-settings=analytics.goals");
}

}  // namespace vx::present
