#pragma once

#include <chrono>
#include <functional>
#include <memory>

#include "model/LiveModel.h"
#include "net/TrackerSource.h"

struct LoaderTiming {
    std::chrono::milliseconds retryDelay{1000};
    int bossReadTries = 3;
};

// Fetches the boss list, retrying until it succeeds or the stop flag is set, and reports it through `onLoaded` as
// soon as it reached the model (once, and never when it did not): the window and its poller need nothing more to
// show data. Then reads every boss's channels one boss at a time behind the poller, each a few times at most, so
// that a boss the tracker keeps failing holds back no other; the summary fills in what such a boss lacks, and the
// boss keeps its reason. `onLoaded` may run after the model's other owners are gone. A boss whose channels can never
// be requested (its id too long) is asked for once, so that the source's reason reaches the player.
class BossListLoader {
public:
    BossListLoader(std::shared_ptr<LiveModel> model, std::shared_ptr<TrackerSource> source,
                   std::function<void()> onLoaded, LoaderTiming timing = {});

    void run();

private:
    // Calls `read` until it succeeds (true), the stop flag is seen or `tries` are used up (false, when above 0); a
    // throw counts as a failure. Each outcome goes to `note`.
    bool readUntilStopped(const std::function<bool()>& read, const std::function<void(bool)>& note, int tries = 0);
    bool store(const std::function<void()>& copyIn);

    std::shared_ptr<LiveModel> model_;
    std::shared_ptr<TrackerSource> source_;
    std::function<void()> onLoaded_;
    LoaderTiming timing_;
};
