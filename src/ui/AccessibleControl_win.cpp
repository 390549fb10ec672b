#include "AccessibleControl_win.h"

#include <oleacc.h>

namespace {

bool isClientObject(LPARAM objectId) {
    // The id arrives as a 32-bit value, sign-extended or not depending on the caller.
    return static_cast<DWORD>(objectId) == static_cast<DWORD>(OBJID_CLIENT);
}

HRESULT answerText(const std::wstring& text, BSTR* out) {
    *out = text.empty() ? nullptr : SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    if (text.empty()) return S_FALSE;
    return *out ? S_OK : E_OUTOFMEMORY;
}

HRESULT answerChild(long child, VARIANT* out) {
    out->vt = VT_I4;
    out->lVal = child;
    return S_OK;
}

HRESULT answerNothing(VARIANT* out) {
    out->vt = VT_EMPTY;
    return S_FALSE;
}

}  // namespace

// An IAccessible whose answers come from the control's AccessibleSource while the control lives.
class ClientObject final : public IAccessible {
public:
    ClientObject(HWND hwnd, AccessibleSource& source) : hwnd_(hwnd), source_(&source) {}

    void Disconnect() { source_ = nullptr; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        if (!out) return E_POINTER;
        if (IsEqualIID(riid, __uuidof(IUnknown)) || IsEqualIID(riid, __uuidof(IDispatch)) ||
            IsEqualIID(riid, __uuidof(IAccessible))) {
            *out = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&references_);
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }

    // Readers use the IAccessible methods directly; there is no type information to offer.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return E_NOTIMPL;
    }

    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        *parent = nullptr;
        if (!source_) return CO_E_OBJNOTCONNECTED;
        return AccessibleObjectFromWindow(hwnd_, OBJID_WINDOW, __uuidof(IDispatch), reinterpret_cast<void**>(parent));
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
        if (!source_) return CO_E_OBJNOTCONNECTED;
        *count = source_->AccessibleChildCount();
        return S_OK;
    }
    // The children are simple elements, named through their parent.
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override {
        *out = nullptr;
        if (!source_) return CO_E_OBJNOTCONNECTED;
        return ChildOf(child) ? S_FALSE : E_INVALIDARG;
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        return AnswerText(child, &AccessibleSource::AccessibleName, name);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        return AnswerText(child, &AccessibleSource::AccessibleValue, value);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT, BSTR* description) override {
        *description = nullptr;
        return source_ ? S_FALSE : CO_E_OBJNOTCONNECTED;
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        if (!source_) return CO_E_OBJNOTCONNECTED;
        const auto index = ChildOf(child);
        return index ? answerChild(source_->AccessibleRole(*index), role) : E_INVALIDARG;
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        if (!source_) return CO_E_OBJNOTCONNECTED;
        const auto index = ChildOf(child);
        if (!index) return E_INVALIDARG;
        long flags = source_->AccessibleState(*index);
        if (!IsWindowVisible(hwnd_)) flags |= STATE_SYSTEM_INVISIBLE;
        if (!IsWindowEnabled(hwnd_)) flags |= STATE_SYSTEM_UNAVAILABLE;
        return answerChild(flags, state);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT, BSTR* help) override {
        *help = nullptr;
        return source_ ? S_FALSE : CO_E_OBJNOTCONNECTED;
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT, long* topic) override {
        *file = nullptr;
        *topic = 0;
        return source_ ? S_FALSE : CO_E_OBJNOTCONNECTED;
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT, BSTR* shortcut) override {
        *shortcut = nullptr;
        return source_ ? S_FALSE : CO_E_OBJNOTCONNECTED;
    }
    // The control itself while it has the keyboard, or its child that shows the keyboard's selection.
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override {
        if (!source_) return CO_E_OBJNOTCONNECTED;
        for (int child = 1; child <= source_->AccessibleChildCount(); ++child) {
            if (source_->AccessibleState(child) & STATE_SYSTEM_FOCUSED) return answerChild(child, focus);
        }
        return GetFocus() == hwnd_ ? answerChild(CHILDID_SELF, focus) : answerNothing(focus);
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
        return source_ ? answerNothing(selection) : CO_E_OBJNOTCONNECTED;
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        return AnswerText(child, &AccessibleSource::AccessibleDefaultAction, action);
    }
    HRESULT STDMETHODCALLTYPE accSelect(long, VARIANT) override {
        return source_ ? DISP_E_MEMBERNOTFOUND : CO_E_OBJNOTCONNECTED;
    }
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height, VARIANT child) override {
        if (!source_) return CO_E_OBJNOTCONNECTED;
        const auto index = ChildOf(child);
        if (!index) return E_INVALIDARG;
        RECT r{};
        if (*index == CHILDID_SELF) {
            GetClientRect(hwnd_, &r);
        } else {
            r = source_->AccessibleChildRect(*index);
        }
        MapWindowPoints(hwnd_, nullptr, reinterpret_cast<POINT*>(&r), 2);
        *left = r.left;
        *top = r.top;
        *width = r.right - r.left;
        *height = r.bottom - r.top;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long, VARIANT, VARIANT* end) override {
        return source_ ? answerNothing(end) : CO_E_OBJNOTCONNECTED;
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* hit) override {
        if (!source_) return CO_E_OBJNOTCONNECTED;
        POINT p{x, y};
        ScreenToClient(hwnd_, &p);
        RECT client{};
        GetClientRect(hwnd_, &client);
        if (!PtInRect(&client, p)) return answerNothing(hit);
        for (int child = 1; child <= source_->AccessibleChildCount(); ++child) {
            const RECT r = source_->AccessibleChildRect(child);
            if (PtInRect(&r, p)) return answerChild(child, hit);
        }
        return answerChild(CHILDID_SELF, hit);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        if (!source_) return CO_E_OBJNOTCONNECTED;
        const auto index = ChildOf(child);
        if (!index) return E_INVALIDARG;
        if (source_->AccessibleDefaultAction(*index).empty()) return DISP_E_MEMBERNOTFOUND;
        source_->DoAccessibleDefaultAction(*index);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

private:
    ~ClientObject() = default;

    HRESULT AnswerText(const VARIANT& child, std::wstring (AccessibleSource::*text)(int) const, BSTR* out) const {
        *out = nullptr;
        if (!source_) return CO_E_OBJNOTCONNECTED;
        const auto index = ChildOf(child);
        return index ? answerText((source_->*text)(*index), out) : E_INVALIDARG;
    }

    // The child a VARIANT names, when it names one of this object's.
    std::optional<int> ChildOf(const VARIANT& child) const {
        if (child.vt != VT_I4 || child.lVal < 0 || child.lVal > source_->AccessibleChildCount()) return std::nullopt;
        return static_cast<int>(child.lVal);
    }

    HWND hwnd_;
    AccessibleSource* source_;
    LONG references_ = 1;
};

long FocusableState(HWND control) {
    return STATE_SYSTEM_FOCUSABLE | (GetFocus() == control ? STATE_SYSTEM_FOCUSED : 0);
}

AccessibleControl::~AccessibleControl() {
    if (!object_) return;
    object_->Disconnect();
    object_->Release();
}

std::optional<LRESULT> AccessibleControl::Answer(HWND control, WPARAM wParam, LPARAM lParam) {
    if (!isClientObject(lParam)) return std::nullopt;
    if (!object_) object_ = new ClientObject(control, source_);
    return LresultFromObject(__uuidof(IAccessible), wParam, object_);
}
