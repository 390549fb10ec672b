#include "net/AnswerMemory.h"

#include <algorithm>
#include <functional>

namespace {

std::string keptValidator(const std::string& value) {
    const bool usable = value.size() <= kLongestValidator && std::all_of(value.begin(), value.end(), [](char c) {
                            return c >= 0x20 && c <= 0x7E;
                        });
    return usable ? value : std::string();
}

}  // namespace

std::string AnswerMemory::conditionalHeaders(const std::string& path) const {
    const auto answer = answers_.find(path);
    if (answer == answers_.end()) return {};
    const Validators& validators = answer->second.validators;
    std::string headers;
    if (!validators.etag.empty()) headers += "If-None-Match: " + validators.etag + "\r\n";
    if (!validators.lastModified.empty()) headers += "If-Modified-Since: " + validators.lastModified + "\r\n";
    return headers;
}

bool AnswerMemory::takeAnswer(const std::string& path, const Validators& validators, std::string_view body) {
    if (answers_.size() >= kMostPaths && answers_.count(path) == 0) answers_.clear();
    Answer& kept = answers_[path];
    const std::size_t hash = std::hash<std::string_view>()(body);
    const bool repeated = kept.bodySize == body.size() && kept.bodyHash == hash && !body.empty();
    kept.validators = {keptValidator(validators.etag), keptValidator(validators.lastModified)};
    kept.bodySize = body.size();
    kept.bodyHash = hash;
    return repeated;
}
