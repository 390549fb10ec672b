#pragma once

#include <cstdint>
#include <string>

#include "net/AnswerMemory.h"
#include "net/EncodedBody.h"
#include "net/ReadFailure.h"

class HttpConnection;

// GET of a full http(s) URL that advertises gzip. Returns the body bytes that came over the wire, or 0 on failure,
// with its reason in `failure` (None when the URL could not be split, so that no request went out). Only status 200
// with a complete body of at most 10 MiB succeeds; then `body` receives it as it came, gzip still compressed for the
// decoder to inflate as it reads. Every failure leaves `body` as it was. The request goes over `connection`, which
// stays open for the next call; threads may call at once, each with its own connection.
// With `conditional`, the request carries its header lines, a 304 answer to them is a success that returns 0 with
// `notModified` set and `body` as it was, and a 200 answer's validators come back in `answered`; either answer's word
// on how long it stays as it is comes back in `freshSeconds`.
struct ConditionalGet {
    std::string headers;  // "Name: value\r\n" lines, as AnswerMemory makes them; empty: an ordinary GET
    bool notModified = false;
    Validators answered;
    std::uint32_t freshSeconds = 0;
};
uint64_t httpGet(HttpConnection& connection, const std::string& url, EncodedBody& body, ReadFailure& failure,
                 ConditionalGet* conditional = nullptr);
