#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>
#include <chrono>
#include <future>
#include <system_error>
#include <thread>
#include <vector>

#include "BossView_win.h"
#include "ExternalNames.h"
#include "MainDialog_win.h"
#include "base/ScopedHandles_win.h"
#include "ui/ScopedGdi_win.h"

// The second thread of the refresh workers cannot start: creation fails as a whole, leaving no window and no
// pending quit that would close the caller's error box at once.
TEST(MainDialog, AWorkerThatCannotStartFailsCreationAndLeavesNothingBehind) {
    int starts = 0;
    {
        const ThreadStarter secondFails = [&starts](std::function<void()> body) {
            if (++starts == 2) throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
            return std::thread(std::move(body));
        };
        MainDialog dialog(ResolveSettingsPath(), secondFails, {});  // no NTP server: nothing leaves the machine
        SingleInstance instance(ResolveSettingsPath().file);
        EXPECT_FALSE(dialog.Create(instance));
        EXPECT_EQ(FindWindowW(ExternalNames::CLASS_OVERLAY, nullptr), nullptr);
        MSG quit;
        EXPECT_FALSE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    }
    EXPECT_EQ(starts, 2);
    // The window saved its settings beside this test program as it closed.
    DeleteFileW(ResolveSettingsPath().file.c_str());
}

// What the channel list saw each time it painted: could another thread take the data lock meanwhile? Readers that
// found the lock taken finish only once it is let go, after the paint.
struct PaintWatch {
    const LiveModel& model;
    std::vector<bool> lockFree;
    std::vector<std::future<void>> readers;
};

static LRESULT CALLBACK watchPaints(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
    if (message == WM_PAINT) {
        auto& watch = *reinterpret_cast<PaintWatch*>(data);
        const auto read = [&model = watch.model] { model.read([](const ModelData&) { return 0; }); };
        watch.readers.push_back(std::async(std::launch::async, read));
        watch.lockFree.push_back(watch.readers.back().wait_for(std::chrono::seconds(1)) == std::future_status::ready);
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

// A poller that wants to merge while the list paints its new rows must not wait for the paint.
TEST(BossView, TheListPaintsWithTheDataLockFree) {
    GdiplusSession gdiplus;
    const BossInfo boss{"b1", "Boss", 1, 30, "boss"};
    LiveModel model;
    model.storeBossList({boss});
    model.storeBoss(boss, {{1, 80, "", 0, 0, -1, ""}, {2, 40, "", 0, 0, -1, ""}});
    SettingsKeeper settings(SettingsPath{});  // kept in memory
    settings.Change([&](Settings& values) { values.LastBoss = boss.id; });
    NtpClock clock(std::vector<NtpServer>{});

    UniqueWindow parent(CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 400, 400, nullptr, nullptr,
                                        GetModuleHandleW(nullptr), nullptr));
    ComboBox combo;
    ProgressList list;
    CustomLabel title, countdown;
    ASSERT_TRUE(combo.Create(parent.get(), 0, 0, 300, 30, 1));
    ASSERT_TRUE(list.Create(parent.get(), 0, 40, 300, 300, 2));
    ASSERT_TRUE(title.Create(parent.get(), 0, 350, 300, 20, 3));
    ASSERT_TRUE(countdown.Create(parent.get(), 0, 370, 300, 20, 4));
    PaintWatch watch{model, {}, {}};
    SetWindowSubclass(list.hwnd(), watchPaints, 1, reinterpret_cast<DWORD_PTR>(&watch));

    // The list paints when the messages are handled; a paint inside the calls would come first.
    BossView view(model, clock, settings, combo, list, title, countdown);
    view.OnBossListLoaded();
    UpdateWindow(list.hwnd());
    model.storeBoss(boss, {{1, 70, "", 0, 0, -1, ""}, {2, 40, "", 0, 0, -1, ""}});
    view.RefreshRows(false);
    UpdateWindow(list.hwnd());

    RemoveWindowSubclass(list.hwnd(), watchPaints, 1);
    for (auto& reader : watch.readers) reader.wait();
    EXPECT_EQ(watch.lockFree, (std::vector<bool>{true, true}));
}
