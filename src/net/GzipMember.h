#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Largest inflated body accepted. A few MiB of deflate can expand to gigabytes, so both inflation
// paths stop here and never allocate beyond it.
constexpr std::size_t kInflateCapBytes = 64u << 20;

// Inflates one gzip member (header, raw deflate, CRC-32 and ISIZE trailer) into `out`, never
// allocating more than `cap` bytes for it. The CRCs are not verified and a wrong ISIZE is tolerated:
// it only chooses between the one-shot and the streaming path. On any failure, a body larger than
// `cap` included, `out` is emptied and false is returned.
bool inflateGzipMember(std::string_view member, std::string& out, std::size_t cap = kInflateCapBytes);
