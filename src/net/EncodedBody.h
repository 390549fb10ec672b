#pragma once

#include <string>

// An answer's body as it came over the wire. A gzip body stays compressed until it is decoded: the decoders
// inflate it as they parse, so that they stop inflating where they stop reading.
struct EncodedBody {
    std::string bytes;
    bool gzip = false;  // one gzip member (Content-Encoding: gzip)
};
