#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "net/EncodedBody.h"
#include "net/TokenLimitedInput.h"
#include "net/TrackerRecords.h"

// Decoders of the three tracker bodies, plain or gzip. Each fills its output only on success and returns an empty
// string then; otherwise it returns the message the client keeps as its status text.
// Integer fields given as JSON floats are truncated toward zero and saturate at the int32 range;
// wider JSON integers keep their low 32 bits.
//
// An answer over a limit below is refused as soon as the parser passes it, so that a refused answer costs what its
// first records cost, however large the body. Elements of a list count whatever they hold, and a key or list that
// the body repeats counts each time.
// A real tracker has tens to a few hundred channels per boss, and the per-boss read asks for 500 a page.
constexpr std::size_t kMostChannelsPerBoss = 2000;
// A real tracker follows tens of bosses.
constexpr std::size_t kMostBosses = 2000;
// Bounds the summary's boss ids and so the lookups and lists they cost.
constexpr std::size_t kMostSummaryIds = 2000;
// Keeps ids times channels from multiplying to four million records: 100 bosses of 200 channels fit, about 3 MB
// decoded.
constexpr std::size_t kMostSummaryChannels = 20000;

// One token may cost more than a million records: the JSON library hands a whole number token to strtod, which
// MinGW makes quadratic in the digits, and the lexer holds a whole string before any limit above sees it. A double
// prints in at most 24 characters. Ids are about 15 bytes, names tens and times about 24: a kibibyte leaves room for
// what a tracker may add, while every string a record keeps stays small.
constexpr TokenLimits kLongestTokens{48, 1024};

// The message of an answer refused at a limit above.
constexpr char kOverLimitsMessage[] = "Answer over the tracker's limits";

// When `inflated` is given, it receives how many bytes a gzip body was inflated to before the read ended.

// "/api/collections/mobs/records": bosses with both an id and a name, neither holding a control character, in the
// tracker's order.
std::string decodeBossList(const EncodedBody& body, std::vector<BossInfo>& bosses, std::size_t* inflated = nullptr);

// "/api/collections/mob_channel_status/records": one record per channel (the newest, preferring one
// with an estimate), HP clamped to 0..100, ascending channel number.
std::string decodeChannelStatus(const EncodedBody& body, std::vector<ChannelStatus>& channels,
                                std::size_t* inflated = nullptr);

// "/api/all_status": every boss's channels as the tracker sent them, built in `spare`, whose lists and
// strings are reused: a poller that passes the same two maps every cycle allocates almost nothing. An id holding a
// control character is skipped with its list. After a success `spare` holds the previous result; its contents mean
// nothing either way. Exceptions other than the standard ones pass to the caller.
std::string decodeAllStatus(const EncodedBody& body, AllStatusMap& result, AllStatusMap& spare,
                            std::size_t* inflated = nullptr);
