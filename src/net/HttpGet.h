#pragma once

#include <cstdint>
#include <string>

#include "net/EncodedBody.h"
#include "net/ReadFailure.h"

class HttpConnection;

// GET of a full http(s) URL that advertises gzip. Returns the body bytes that came over the wire, or 0 on failure,
// with its reason in `failure` (None when the URL could not be split, so that no request went out). Only status 200
// with a complete body of at most 10 MiB succeeds; then `body` receives it as it came, gzip still compressed for the
// decoder to inflate as it reads. Every failure leaves `body` as it was. The request goes over `connection`, which
// stays open for the next call; threads may call at once, each with its own connection.
uint64_t httpGet(HttpConnection& connection, const std::string& url, EncodedBody& body, ReadFailure& failure);
