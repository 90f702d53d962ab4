#include "model/shared_session.hpp"

#include <nlohmann/json.hpp>

#include "config/build_config.hpp"
#include "model/json_fields.hpp"
#include "model/url_parts.hpp"

namespace vx {
namespace {

struct ParsedAddress {
  std::string scheme;
  std::string host;
  std::string text;  // normalised by the parser
};

// Step 1: the address parsed as an absolute address with a host.
//
// The parser lower-cases the scheme it reports, so the scheme is taken as written: the parsed
// scheme must be exactly how the address begins. The host is reported as written (after
// percent-decoding), so it needs no such care.
std::optional<ParsedAddress> parseAbsolute(const std::string& api) {
  UrlHandle url(base::curl::url());
  if (!url) return std::nullopt;
  if (base::curl::url_set(url.get(), CURLUPART_URL, api.c_str(), CURLU_NON_SUPPORT_SCHEME) !=
      CURLUE_OK) {
    return std::nullopt;
  }
  // Credentials written into the address are dropped: the session's only credential is its
  // token, and requests that must carry none (favicons) would otherwise send them.
  base::curl::url_set(url.get(), CURLUPART_USER, nullptr, 0);
  base::curl::url_set(url.get(), CURLUPART_PASSWORD, nullptr, 0);
  base::curl::url_set(url.get(), CURLUPART_OPTIONS, nullptr, 0);
  auto scheme = urlPart(url.get(), CURLUPART_SCHEME);
  auto host = urlPart(url.get(), CURLUPART_HOST);
  auto text = urlPart(url.get(), CURLUPART_URL);
  if (!scheme || !host || host->empty() || !text) return std::nullopt;
  if (api.compare(0, scheme->size(), *scheme) != 0) scheme = api.substr(0, scheme->size());
  return ParsedAddress{*scheme, *host, *text};
}

}  // namespace

std::optional<std::string> SharedSession::baseURL() const {
  auto address = parseAbsolute(api);
  if (!address) return std::nullopt;
  if (address->scheme == "https" && address->host == config::kApiHost) return address->text;
  if (address->scheme == "http" && address->host == "localhost") return address->text;
  return std::nullopt;
}

std::optional<SharedSession> decodeSharedSession(std::string_view document) {
  try {
    auto parsed = fields::parse(document);
    auto root = fields::root(parsed);
    root.requireObject();
    return SharedSession{root.member("api").text(), root.member("token").text()};
  } catch (const fields::DecodeError&) {
    return std::nullopt;
  }
}

}  // namespace vx
