#pragma once

#include <string>

// Why a read of the tracker failed, in the terms a user can act on.
enum class ReadFailureKind {
    None,  // the read succeeded, or no request went out
    HostNotFound,
    ConnectionRefused,
    TimedOut,
    CertificateUntrusted,
    CertificateWrongHost,
    ConnectionDropped,  // closed or reset by the other side
    ConnectionFailed,   // any other network error
    HttpStatus,
    NotTrackerData,  // an answer that could not be read as the tracker's JSON
    BossIdTooLong,   // no request went out: the id would not fit a request path
};

struct ReadFailure {
    ReadFailureKind kind = ReadFailureKind::None;
    unsigned httpStatus = 0;  // with HttpStatus

    bool operator==(const ReadFailure& other) const { return kind == other.kind && httpStatus == other.httpStatus; }
};

// The failure in plain words after the host, e.g. "tracker.example.org: certificate not trusted"; empty for None.
std::string ReadFailureText(const std::string& host, const ReadFailure& failure);
