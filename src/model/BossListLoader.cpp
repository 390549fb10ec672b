#include "model/BossListLoader.h"

#include <new>
#include <string>
#include <utility>
#include <vector>

#include "net/TrackerPaths.h"

BossListLoader::BossListLoader(std::shared_ptr<LiveModel> model, std::shared_ptr<TrackerSource> source,
                               std::function<void()> onLoaded, LoaderTiming timing)
    : model_(std::move(model)), source_(std::move(source)), onLoaded_(std::move(onLoaded)), timing_(timing) {}

void BossListLoader::run() {
    std::vector<BossInfo> bosses;
    if (!readUntilStopped([&] { return source_->fetchBossList(bosses); })) return;
    if (model_->stopRequested()) return;
    if (!store([&] { model_->storeBossList(bosses); })) return;

    // One boss at a time, in list order: a boss that keeps failing holds up the rest.
    for (const BossInfo& boss : bosses) {
        std::vector<ChannelStatus> channels;
        const bool read = readUntilStopped([&] { return source_->fetchChannelStatus(boss.id, channels); },
                                           channelStatusPathFits(boss.id));
        if (read) store([&] { model_->storeBoss(boss, std::move(channels)); });
        if (model_->stopRequested()) break;
    }
    onLoaded_();
}

// A copy into the model that runs out of memory leaves what was there and says so; the loader goes on.
bool BossListLoader::store(const std::function<void()>& copyIn) {
    try {
        copyIn();
        return true;
    } catch (const std::bad_alloc&) {
        model_->noteRead(false, kOutOfMemoryReason);
        return false;
    }
}

bool BossListLoader::readUntilStopped(const std::function<bool()>& read, bool retry) {
    while (!model_->stopRequested()) {
        bool ok = false;
        try {
            ok = read();
        } catch (...) {
            ok = false;
        }
        model_->noteRead(ok, source_->failureReason());
        if (ok || !retry) return ok;
        model_->pauseUnlessStopped(timing_.retryDelay);
    }
    return false;
}
