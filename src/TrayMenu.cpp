#include "TrayMenu.h"

#include "ProductVersion.h"

namespace {

MenuItem commandItem(unsigned id, const wchar_t* text) {
    MenuItem item;
    item.id = id;
    item.text = text;
    return item;
}

MenuItem checkItem(unsigned id, const wchar_t* text, bool checked) {
    MenuItem item = commandItem(id, text);
    item.checked = checked;
    return item;
}

}  // namespace

std::vector<MenuItem> TrayMenuItems(const TrayMenuState& state) {
    MenuItem title;
    title.text = kProductTitle;
    title.enabled = false;
    MenuItem separator;
    separator.separator = true;
    MenuItem alerts;
    alerts.text = L"&Alerts";
    alerts.hasSubmenu = true;
    alerts.children = {checkItem(ID_TRAY_ALERT_DYING, L"When a channel is about to &die", state.alertDying),
                       checkItem(ID_TRAY_ALERT_RESPAWN, L"Before the &respawn", state.alertRespawn),
                       checkItem(ID_TRAY_ALERT_SOUND, L"&Sound", state.alertSound)};
    return {title, separator, commandItem(ID_TRAY_TOGGLE, state.visible ? L"Hi&de" : L"&Show"),
            // The way out of click-through mode when its hotkey is lost.
            checkItem(ID_TRAY_CLICK_THROUGH, L"&Click-through", state.clickThrough), alerts,
            checkItem(ID_TRAY_START_WITH_WINDOWS, L"Start with &Windows", state.startWithWindows),
            commandItem(ID_TRAY_HELP, L"&Help"), separator, commandItem(ID_TRAY_EXIT, L"E&xit")};
}
