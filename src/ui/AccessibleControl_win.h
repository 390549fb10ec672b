#pragma once

#include <windows.h>

#include <optional>
#include <string>

// What a control tells screen readers. Child 0 (CHILDID_SELF) is the control itself; children 1 .. count are
// its items without windows of their own (the channel list's rows, a menu's entries).
class AccessibleSource {
public:
    virtual std::wstring AccessibleName(int child) const = 0;
    // A ROLE_SYSTEM_* value.
    virtual long AccessibleRole(int child) const = 0;
    // STATE_SYSTEM_* flags; hidden and disabled are added from the window itself.
    virtual long AccessibleState(int) const { return 0; }
    virtual std::wstring AccessibleValue(int) const { return {}; }
    virtual int AccessibleChildCount() const { return 0; }
    // A child's rectangle in client coordinates.
    virtual RECT AccessibleChildRect(int) const { return {}; }

protected:
    ~AccessibleSource() = default;
};

// The focus state of a focusable control: STATE_SYSTEM_FOCUSABLE, and STATE_SYSTEM_FOCUSED while it has it.
long FocusableState(HWND control);

// Answers a control's WM_GETOBJECT with one accessible object (an IAccessible over the source) for the
// control's life. The control's going cuts the object off: a reader still holding it gets
// CO_E_OBJNOTCONNECTED, never a dangling pointer.
class AccessibleControl {
public:
    explicit AccessibleControl(const AccessibleSource& source) : source_(source) {}
    ~AccessibleControl();
    AccessibleControl(const AccessibleControl&) = delete;
    AccessibleControl& operator=(const AccessibleControl&) = delete;

    // The answer to WM_GETOBJECT for OBJID_CLIENT; nothing for other objects, which DefWindowProcW answers.
    std::optional<LRESULT> Answer(HWND control, WPARAM wParam, LPARAM lParam);

private:
    const AccessibleSource& source_;
    class ClientObject* object_ = nullptr;
};
