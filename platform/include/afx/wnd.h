// Windows of the framework: CWnd with its message map, and dialogs.
#pragma once

#include <cstddef>
#include <utility>

#include "afx/app.h"
#include "com/com.h"

class CWnd;
class COleControlContainer;
class COleControlSite;

// ---- Message maps ---------------------------------------------------------------------
// A class's map lists the messages and commands it handles; lookups start at the most
// derived class, so a derived entry replaces its base's.
struct AFX_MSGMAP_ENTRY {
    UINT message;
    UINT idFirst;  // WM_COMMAND: the command range
    UINT idLast;
    LRESULT (*handler)(CWnd* window, WPARAM wParam, LPARAM lParam);
};
struct AFX_MSGMAP {
    const AFX_MSGMAP* (*base)();
    const AFX_MSGMAP_ENTRY* entries;
    std::size_t count;
};

namespace afx {
template <class T>
struct MemberClass;
template <class T, class R, class... A>
struct MemberClass<R (T::*)(A...)> {
    using type = T;
};

// ON_MESSAGE-like entries whose parameters the framework unpacks.
template <UINT Message, auto Handler>
AFX_MSGMAP_ENTRY OnMessage() {
    using T = typename MemberClass<decltype(Handler)>::type;
    return {Message, 0, 0, [](CWnd* w, WPARAM wp, LPARAM lp) -> LRESULT {
                auto* self = static_cast<T*>(w);
                if constexpr (Message == WM_SIZE) {
                    (self->*Handler)(static_cast<UINT>(wp), LOWORD(static_cast<std::uintptr_t>(lp)),
                                     HIWORD(static_cast<std::uintptr_t>(lp)));
                } else if constexpr (Message == WM_WINDOWPOSCHANGED) {
                    (self->*Handler)(reinterpret_cast<void*>(lp));
                } else {
                    (self->*Handler)();
                }
                return 0;
            }};
}
template <UINT Id, auto Handler>
AFX_MSGMAP_ENTRY OnCommand() {
    using T = typename MemberClass<decltype(Handler)>::type;
    return {WM_COMMAND, Id, Id, [](CWnd* w, WPARAM, LPARAM) -> LRESULT {
                (static_cast<T*>(w)->*Handler)();
                return 0;
            }};
}
template <UINT First, UINT Last, auto Handler>
AFX_MSGMAP_ENTRY OnCommandRange() {
    using T = typename MemberClass<decltype(Handler)>::type;
    return {WM_COMMAND, First, Last, [](CWnd* w, WPARAM wp, LPARAM) -> LRESULT {
                (static_cast<T*>(w)->*Handler)(LOWORD(wp));
                return 0;
            }};
}
}  // namespace afx

// Declares the members a class's message map needs.
#define DECLARE_MESSAGE_MAP()                           \
public:                                                 \
    static const AFX_MSGMAP* GetThisMessageMap();       \
    const AFX_MSGMAP* GetMessageMap() const override;   \
                                                        \
private:

// ---- Event sink maps ----------------------------------------------------------------------
// Events of the ActiveX controls a window hosts, by control id and DISPID. As with message
// maps, the most derived entry for an event wins.
struct AFX_EVENTSINKMAP_ENTRY {
    UINT controlId;
    DISPID dispid;
    void (*handler)(CWnd* window, DISPPARAMS* params);
};
struct AFX_EVENTSINKMAP {
    const AFX_EVENTSINKMAP* (*base)();
    const AFX_EVENTSINKMAP_ENTRY* entries;
    std::size_t count;
};

namespace afx {
// Event arguments arrive in reverse order; by-reference ones as pointers.
template <class P>
P EventArgument(VARIANT& v);
template <> inline IDispatch* EventArgument<IDispatch*>(VARIANT& v) { return v.vt == VT_DISPATCH ? v.pdispVal : nullptr; }
template <> inline VARIANT* EventArgument<VARIANT*>(VARIANT& v) { return (v.vt & VT_BYREF) ? v.pvarVal : &v; }
template <> inline VARIANT_BOOL* EventArgument<VARIANT_BOOL*>(VARIANT& v) { return v.pboolVal; }
template <> inline IDispatch** EventArgument<IDispatch**>(VARIANT& v) { return v.ppdispVal; }
template <> inline BSTR EventArgument<BSTR>(VARIANT& v) { return v.vt == VT_BSTR ? v.bstrVal : nullptr; }
template <> inline DWORD EventArgument<DWORD>(VARIANT& v) { return v.ulVal; }
template <> inline VARIANT_BOOL EventArgument<VARIANT_BOOL>(VARIANT& v) { return v.boolVal; }

template <auto Handler>
struct EventThunk;
template <class T, class... A, void (T::*Handler)(A...)>
struct EventThunk<Handler> {
    static void Call(CWnd* window, DISPPARAMS* params) {
        if (!params || params->cArgs < sizeof...(A)) return;  // malformed event: ignored
        Invoke(static_cast<T*>(window), params, std::index_sequence_for<A...>{});
    }
    template <std::size_t... I>
    static void Invoke(T* self, DISPPARAMS* params, std::index_sequence<I...>) {
        (self->*Handler)(EventArgument<A>(params->rgvarg[params->cArgs - 1 - I])...);
    }
};
template <UINT ControlId, DISPID Dispid, auto Handler>
AFX_EVENTSINKMAP_ENTRY OnEvent() {
    return {ControlId, Dispid, &EventThunk<Handler>::Call};
}
}  // namespace afx

#define DECLARE_EVENTSINK_MAP()                                \
public:                                                        \
    static const AFX_EVENTSINKMAP* GetThisEventSinkMap();      \
    const AFX_EVENTSINKMAP* GetEventSinkMap() const override;  \
                                                               \
private:

// ---- CWnd ---------------------------------------------------------------------------------
class CWnd : public CCmdTarget {
public:
    CWnd() = default;
    ~CWnd() override;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND m_hWnd = nullptr;
    UINT m_nFlags = 0;

    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }  // NOLINT
    static CWnd* FromHandlePermanent(HWND window);  // the attached framework object, or null
    BOOL Attach(HWND window);
    HWND Detach();

    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;
    static const AFX_EVENTSINKMAP* GetThisEventSinkMap();
    virtual const AFX_EVENTSINKMAP* GetEventSinkMap() const;
    // An event of the control with this id: runs the sink map's handler, if any.
    BOOL OnEvent(UINT controlId, DISPID dispid, DISPPARAMS* params);
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual BOOL PreTranslateMessage(MSG* msg);
    virtual BOOL CreateControlSite(COleControlContainer* container, COleControlSite** site, UINT id,
                                   REFCLSID clsid);
    // Called after the window is gone; the framework object may delete itself here.
    virtual void PostNcDestroy() {}

    // Walks from msg->hwnd up through its parents to stop, asking each framework window.
    static BOOL WalkPreTranslateTree(HWND stop, MSG* msg);

    LRESULT Default();  // default processing of the message being handled
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

    DWORD GetStyle() const;
    DWORD GetExStyle() const;
    BOOL ModifyStyle(DWORD remove, DWORD add, UINT flags = 0);
    BOOL ModifyStyleEx(DWORD remove, DWORD add, UINT flags = 0);
    static BOOL ModifyStyle(HWND window, DWORD remove, DWORD add, UINT flags);
    static BOOL ModifyStyleEx(HWND window, DWORD remove, DWORD add, UINT flags);
    BOOL SetWindowPos(const CWnd* insertAfter, int x, int y, int cx, int cy, UINT flags);
    void MoveWindow(int x, int y, int width, int height, BOOL repaint = TRUE);
    void GetWindowRect(LPRECT rect) const;
    void GetClientRect(LPRECT rect) const;
    BOOL ShowWindow(int command);
    BOOL IsWindowVisible() const;
    virtual BOOL DestroyWindow();
    void SetWindowText(LPCWSTR text);
    std::u16string GetWindowText() const;
    CWnd* SetFocus();
    void Invalidate(BOOL erase = TRUE);
    void CenterWindow(CWnd* alternateOwner = nullptr);
    int MessageBox(LPCWSTR text, LPCWSTR caption = nullptr, UINT type = MB_OK);
    CWnd* GetParent() const;
    HWND GetDlgItemHandle(int id) const;
    // Returns whether the window was disabled before.
    BOOL EnableWindow(BOOL enable = TRUE);
    BOOL IsWindowEnabled() const;
    // The text of the child control with this id; returns its length.
    int GetDlgItemText(int id, std::u16string& text) const;

protected:
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
};

// ---- Dialogs ------------------------------------------------------------------------------
class CDataExchange {
public:
    CDataExchange(CWnd* dialog, BOOL saveAndValidate) : m_pDlgWnd(dialog), m_bSaveAndValidate(saveAndValidate) {}
    CWnd* m_pDlgWnd;
    BOOL m_bSaveAndValidate;
};
void DDX_Text(CDataExchange* dx, int id, std::u16string& value);
// Attaches control to the dialog's child window with this id, once.
void DDX_Control(CDataExchange* dx, int id, CWnd& control);

class CDialog : public CWnd {
    DECLARE_MESSAGE_MAP()
public:
    explicit CDialog(UINT templateId, CWnd* parent = nullptr);
    ~CDialog() override;

    virtual INT_PTR DoModal();
    // Creates the modeless dialog; visible when its template says so.
    virtual BOOL Create(UINT templateId, CWnd* parent = nullptr);
    void EndDialog(int result);
    BOOL UpdateData(BOOL saveAndValidate = TRUE);

    BOOL PreTranslateMessage(MSG* msg) override;
    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    virtual void DoDataExchange(CDataExchange* dx) {}

    UINT m_nIDHelp = 0;
    UINT m_lpszTemplateName = 0;
    CWnd* m_pParentWnd = nullptr;

protected:
    BOOL CreateFromTemplate(HWND owner, bool modal);
    bool m_modal = false;
    bool m_modalEnded = false;
    int m_modalResult = -1;
    bool m_movedDuringInit = false;
    friend LRESULT DialogInitThunk(CWnd*, WPARAM, LPARAM);
};

// The framework's message box: captioned with the application's title and owned by the
// active window; MB_OK and MB_OKCANCEL boxes without an icon of their own get the
// exclamation icon, MB_YESNO and MB_YESNOCANCEL the question mark.
int AfxMessageBox(LPCWSTR text, UINT type = MB_OK, UINT helpId = 0);
