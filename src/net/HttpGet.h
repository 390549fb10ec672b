#pragma once

#include <cstdint>
#include <string>

// GET of a full http(s) URL that advertises gzip and inflates a gzip body. Returns the body bytes
// that came over the wire (the compressed size for gzip), or 0 on failure. Only status 200 with a
// complete body of at most 10 MiB succeeds; then `body` receives the (inflated) body. A failed
// inflation empties `body`; every other failure leaves it as it was. Safe on several threads at once.
uint64_t httpGet(const std::string& url, std::string& body);
