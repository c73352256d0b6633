// What a browser asks of its host: the user-interface handler, command target, services,
// credentials and script window moves.
#pragma once

#include "com/com.h"
#include "mshtml/webbrowser.h"

struct DOCHOSTUIINFO {
    ULONG cbSize = sizeof(DOCHOSTUIINFO);
    DWORD dwFlags = 0;
    DWORD dwDoubleClick = 0;
    char16_t* pchHostCss = nullptr;
    char16_t* pchHostNS = nullptr;
};
constexpr DWORD DOCHOSTUIFLAG_DIALOG = 0x00000001;
constexpr DWORD DOCHOSTUIFLAG_DISABLE_HELP_MENU = 0x00000002;
constexpr DWORD DOCHOSTUIFLAG_NO3DBORDER = 0x00000004;
constexpr DWORD DOCHOSTUIFLAG_SCROLL_NO = 0x00000008;
constexpr DWORD DOCHOSTUIFLAG_DPI_AWARE = 0x40000000;

class IOleCommandTarget;
class IOleInPlaceActiveObject;
class IOleInPlaceFrame;
class IOleInPlaceUIWindow;
class IDropTarget;
class IDataObject;
struct OLECMD {
    ULONG cmdID = 0;
    DWORD cmdf = 0;
};
struct OLECMDTEXT;

class IDocHostUIHandler : public IUnknown {
public:
    virtual HRESULT ShowContextMenu(DWORD id, POINT* pt, IUnknown* commandTarget, IDispatch* object) = 0;
    virtual HRESULT GetHostInfo(DOCHOSTUIINFO* info) = 0;
    virtual HRESULT ShowUI(DWORD id, IOleInPlaceActiveObject* active, IOleCommandTarget* commandTarget,
                           IOleInPlaceFrame* frame, IOleInPlaceUIWindow* doc) = 0;
    virtual HRESULT HideUI() = 0;
    virtual HRESULT UpdateUI() = 0;
    virtual HRESULT EnableModeless(BOOL enable) = 0;
    virtual HRESULT OnDocWindowActivate(BOOL activate) = 0;
    virtual HRESULT OnFrameWindowActivate(BOOL activate) = 0;
    virtual HRESULT ResizeBorder(const RECT* border, IOleInPlaceUIWindow* window, BOOL frameWindow) = 0;
    virtual HRESULT TranslateAccelerator(MSG* msg, const GUID* group, DWORD command) = 0;
    virtual HRESULT GetOptionKeyPath(char16_t** key, DWORD reserved) = 0;
    virtual HRESULT GetDropTarget(IDropTarget* dropTarget, IDropTarget** out) = 0;
    virtual HRESULT GetExternal(IDispatch** out) = 0;
    virtual HRESULT TranslateUrl(DWORD translate, char16_t* url, char16_t** out) = 0;
    virtual HRESULT FilterDataObject(IDataObject* object, IDataObject** out) = 0;

protected:
    ~IDocHostUIHandler() = default;
};
inline constexpr IID IID_IDocHostUIHandler{0xBD3F23C0, 0xD43E, 0x11CF, {0x89, 0x3B, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x1A}};

class IOleCommandTarget : public IUnknown {
public:
    virtual HRESULT QueryStatus(const GUID* group, ULONG count, OLECMD* commands, OLECMDTEXT* text) = 0;
    virtual HRESULT Exec(const GUID* group, DWORD id, DWORD option, VARIANT* in, VARIANT* out) = 0;

protected:
    ~IOleCommandTarget() = default;
};
inline constexpr IID IID_IOleCommandTarget{0xB722BCCB, 0x4E68, 0x101B, {0xA2, 0xBC, 0x00, 0xAA, 0x00, 0x40, 0x47, 0x70}};
inline constexpr GUID CGID_MSHTML{0xDE4BA900, 0x59CA, 0x11CF, {0x95, 0x92, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
constexpr DWORD IDM_ADDCONSOLEMESSAGERECEIVER = 3800;
constexpr DWORD IDM_REMOVECONSOLEMESSAGERECEIVER = 3801;

class IServiceProvider : public IUnknown {
public:
    virtual HRESULT QueryService(REFGUID service, REFIID iid, void** out) = 0;

protected:
    ~IServiceProvider() = default;
};
inline constexpr IID IID_IServiceProvider{0x6D5140C1, 0x7436, 0x11CE, {0x80, 0x34, 0x00, 0xAA, 0x00, 0x60, 0x09, 0xFA}};

class IAuthenticate : public IUnknown {
public:
    virtual HRESULT Authenticate(HWND* window, char16_t** userName, char16_t** password) = 0;

protected:
    ~IAuthenticate() = default;
};
inline constexpr IID IID_IAuthenticate{0x79EAC9D0, 0xBAF9, 0x11CE, {0x8C, 0x82, 0x00, 0xAA, 0x00, 0x4B, 0xA9, 0x0B}};

class IHTMLOMWindowServices : public IUnknown {
public:
    virtual HRESULT moveTo(LONG x, LONG y) = 0;
    virtual HRESULT moveBy(LONG dx, LONG dy) = 0;
    virtual HRESULT resizeTo(LONG cx, LONG cy) = 0;
    virtual HRESULT resizeBy(LONG dx, LONG dy) = 0;

protected:
    ~IHTMLOMWindowServices() = default;
};
inline constexpr IID IID_IHTMLOMWindowServices{0x3050F5FC, 0x98B5, 0x11CF, {0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B}};

class IBindCtx;
class IMoniker;
class IDownloadManager : public IUnknown {
public:
    virtual HRESULT Download(IMoniker* moniker, IBindCtx* context, DWORD bindVerb, LONG grfBINDF,
                             void* bindInfo, const char16_t* headers, const char16_t* redirect,
                             UINT codePage) = 0;

protected:
    ~IDownloadManager() = default;
};
inline constexpr IID IID_IDownloadManager{0x988934A4, 0x064B, 0x11D3, {0xBB, 0x80, 0x00, 0x10, 0x4B, 0x35, 0xE7, 0xF9}};

// The shell's helper object that pages see as window.external.
class IShellUIHelper : public IDispatch {
public:
    virtual HRESULT AddFavorite(BSTR url, VARIANT* title) = 0;

protected:
    ~IShellUIHelper() = default;
};
inline constexpr IID IID_IShellUIHelper{0x729FE2F8, 0x1EA8, 0x11D1, {0x8F, 0x85, 0x00, 0xC0, 0x4F, 0xC2, 0xFB, 0xE1}};
inline constexpr CLSID CLSID_ShellUIHelper{0x64AB4BB7, 0x111E, 0x11D1, {0x8F, 0x79, 0x00, 0xC0, 0x4F, 0xC2, 0xFB, 0xE1}};
