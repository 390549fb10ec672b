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
    // What the default action is called ("Press"), empty when there is none, and doing it. It is asked for
    // from inside a reader's call: whatever it starts (a dialog, a menu) must be posted, not run there.
    virtual std::wstring AccessibleDefaultAction(int) const { return {}; }
    virtual void DoAccessibleDefaultAction(int) {}

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
    explicit AccessibleControl(AccessibleSource& source) : source_(source) {}
    ~AccessibleControl();
    AccessibleControl(const AccessibleControl&) = delete;
    AccessibleControl& operator=(const AccessibleControl&) = delete;

    // The answer to WM_GETOBJECT for OBJID_CLIENT; nothing for other objects, which DefWindowProcW answers.
    std::optional<LRESULT> Answer(HWND control, WPARAM wParam, LPARAM lParam);

private:
    AccessibleSource& source_;
    class ClientObject* object_ = nullptr;
};
