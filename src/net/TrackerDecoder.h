#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "net/TrackerRecords.h"

// Decoders of the three tracker bodies. Each fills its output only on success and returns an empty
// string then; otherwise it returns the message the client keeps as its status text.
// Integer fields given as JSON floats are truncated toward zero and saturate at the int32 range;
// wider JSON integers keep their low 32 bits.

// "/api/collections/mobs/records": bosses with both an id and a name, in the tracker's order.
std::string decodeBossList(std::string_view body, std::vector<BossInfo>& bosses);

// "/api/collections/mob_channel_status/records": one record per channel (the newest, preferring one
// with an estimate), HP clamped to 0..100, ascending channel number.
std::string decodeChannelStatus(std::string_view body, std::vector<ChannelStatus>& channels);

// "/api/all_status": every boss's channels as the tracker sent them, built in `spare`, whose lists and
// strings are reused: a poller that passes the same two maps every cycle allocates almost nothing. After a
// success `spare` holds the previous result; its contents mean nothing either way. Exceptions other than
// the standard ones pass to the caller.
std::string decodeAllStatus(std::string_view body, AllStatusMap& result, AllStatusMap& spare);
