#include <gtest/gtest.h>

#include "net/ReadFailure.h"

// What the overlay says under "Unknown" and in the tray's tip when the tracker cannot be read.
TEST(ReadFailure, SaysWhyInPlainWordsAfterTheHost) {
    struct Case {
        ReadFailure failure;
        const char* text;
    };
    const Case cases[] = {
        {{ReadFailureKind::None, 0}, ""},
        {{ReadFailureKind::HostNotFound, 0}, "tracker.example.org: host name not found"},
        {{ReadFailureKind::ConnectionRefused, 0}, "tracker.example.org: connection refused"},
        {{ReadFailureKind::TimedOut, 0}, "tracker.example.org: no answer in time"},
        {{ReadFailureKind::CertificateUntrusted, 0}, "tracker.example.org: certificate not trusted"},
        {{ReadFailureKind::CertificateWrongHost, 0}, "tracker.example.org: certificate names another host"},
        {{ReadFailureKind::ConnectionDropped, 0}, "tracker.example.org: connection dropped"},
        {{ReadFailureKind::ConnectionFailed, 0}, "tracker.example.org: connection failed"},
        {{ReadFailureKind::HttpStatus, 503}, "tracker.example.org: HTTP status 503"},
        {{ReadFailureKind::NotTrackerData, 0}, "tracker.example.org: answer is not tracker data"},
    };
    for (const Case& c : cases) EXPECT_EQ(ReadFailureText("tracker.example.org", c.failure), c.text);
}
