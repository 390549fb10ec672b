#pragma once

#include <chrono>
#include <functional>
#include <memory>

#include "model/LiveModel.h"
#include "net/TrackerSource.h"

struct LoaderTiming {
    std::chrono::milliseconds retryDelay{1000};
};

// Fetches the boss list once, then every boss's channels one boss at a time, retrying each read
// until it succeeds or the stop flag is set, and reports the end through `onLoaded` — once, and
// only when the list reached the model. `onLoaded` may run after the model's other owners are gone.
// A boss whose channels can never be requested (its id too long) is asked for once, so that the source's reason
// reaches the player, and then left to the summary.
class BossListLoader {
public:
    BossListLoader(std::shared_ptr<LiveModel> model, std::shared_ptr<TrackerSource> source,
                   std::function<void()> onLoaded, LoaderTiming timing = {});

    void run();

private:
    // Calls `read` until it succeeds (true) or the stop flag is seen (false), or only once unless `retry`; a throw
    // counts as a failure. Each outcome is noted in the model.
    bool readUntilStopped(const std::function<bool()>& read, bool retry = true);
    bool store(const std::function<void()>& copyIn);

    std::shared_ptr<LiveModel> model_;
    std::shared_ptr<TrackerSource> source_;
    std::function<void()> onLoaded_;
    LoaderTiming timing_;
};
