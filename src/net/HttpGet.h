#pragma once

#include <cstdint>
#include <string>

#include "net/ReadFailure.h"

class HttpConnection;

// GET of a full http(s) URL that advertises gzip and inflates a gzip body. Returns the body bytes
// that came over the wire (the compressed size for gzip), or 0 on failure, with its reason in `failure`
// (None when the URL could not be split, so that no request went out). Only status 200 with a
// complete body of at most 10 MiB succeeds; then `body` receives the (inflated) body. A failed
// inflation empties `body`; every other failure leaves it as it was. The request goes over `connection`,
// which stays open for the next call; threads may call at once, each with its own connection.
uint64_t httpGet(HttpConnection& connection, const std::string& url, std::string& body, ReadFailure& failure);
