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
    const auto noteListRead = [this](bool ok) { model_->noteRead(ok, source_->failureReason()); };
    if (!readUntilStopped([&] { return source_->fetchBossList(bosses); }, noteListRead)) return;
    if (model_->stopRequested()) return;
    if (!store([&] { model_->storeBossList(bosses); })) return;
    onLoaded_();

    for (const BossInfo& boss : bosses) {
        if (model_->stopRequested()) break;
        std::vector<ChannelStatus> channels;
        const auto noteBossRead = [&](bool ok) {
            store([&] { model_->noteBossRead(boss.id, ok, source_->failureReason()); });
        };
        const int tries = channelStatusPathFits(boss.id) ? timing_.bossReadTries : 1;
        if (readUntilStopped([&] { return source_->fetchChannelStatus(boss.id, channels); }, noteBossRead, tries))
            store([&] { model_->storeBoss(boss, std::move(channels)); });
    }
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

bool BossListLoader::readUntilStopped(const std::function<bool()>& read, const std::function<void(bool)>& note,
                                      int tries) {
    for (int tried = 1; !model_->stopRequested(); ++tried) {
        bool ok = false;
        try {
            ok = read();
        } catch (...) {
            ok = false;
        }
        note(ok);
        if (ok || tried == tries) return ok;
        model_->pauseUnlessStopped(timing_.retryDelay);
    }
    return false;
}
