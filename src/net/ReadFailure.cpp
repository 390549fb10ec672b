#include "net/ReadFailure.h"

namespace {

std::string words(const ReadFailure& failure) {
    switch (failure.kind) {
        case ReadFailureKind::None:
            return {};
        case ReadFailureKind::HostNotFound:
            return "host name not found";
        case ReadFailureKind::ConnectionRefused:
            return "connection refused";
        case ReadFailureKind::TimedOut:
            return "no answer in time";
        case ReadFailureKind::CertificateUntrusted:
            return "certificate not trusted";
        case ReadFailureKind::CertificateWrongHost:
            return "certificate names another host";
        case ReadFailureKind::ConnectionDropped:
            return "connection dropped";
        case ReadFailureKind::ConnectionFailed:
            return "connection failed";
        case ReadFailureKind::HttpStatus:
            return "HTTP status " + std::to_string(failure.httpStatus);
        case ReadFailureKind::NotTrackerData:
            return "answer is not tracker data";
        case ReadFailureKind::BossIdTooLong:
            return "boss id too long for a request";
    }
    return {};
}

}  // namespace

std::string ReadFailureText(const std::string& host, const ReadFailure& failure) {
    const std::string text = words(failure);
    return text.empty() ? text : host + ": " + text;
}
