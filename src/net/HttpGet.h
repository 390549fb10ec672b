#pragma once

#include <cstdint>
#include <string>

class HttpConnection;

// GET of a full http(s) URL that advertises gzip and inflates a gzip body. Returns the body bytes
// that came over the wire (the compressed size for gzip), or 0 on failure. Only status 200 with a
// complete body of at most 10 MiB succeeds; then `body` receives the (inflated) body. A failed
// inflation empties `body`; every other failure leaves it as it was. The request goes over `connection`,
// which stays open for the next call; threads may call at once, each with its own connection.
uint64_t httpGet(HttpConnection& connection, const std::string& url, std::string& body);
