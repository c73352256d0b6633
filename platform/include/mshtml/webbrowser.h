// The WebBrowser control: IWebBrowser2 and its events (DWebBrowserEvents2, by DISPID).
#pragma once

#include "com/com.h"
#include "com/connection_points.h"

enum OLECMDID : int {
    OLECMDID_OPTICAL_ZOOM = 63,
    OLECMDID_SHOWSCRIPTERROR = 40,
};
enum OLECMDF : int { OLECMDF_SUPPORTED = 1, OLECMDF_ENABLED = 2 };
enum OLECMDEXECOPT : int { OLECMDEXECOPT_DODEFAULT = 0, OLECMDEXECOPT_DONTPROMPTUSER = 2 };
enum READYSTATE : int {
    READYSTATE_UNINITIALIZED = 0,
    READYSTATE_LOADING = 1,
    READYSTATE_LOADED = 2,
    READYSTATE_INTERACTIVE = 3,
    READYSTATE_COMPLETE = 4,
};
using SHANDLE_PTR = LONG_PTR;

class IWebBrowser : public IDispatch {
public:
    virtual HRESULT GoBack() = 0;
    virtual HRESULT GoForward() = 0;
    virtual HRESULT GoHome() = 0;
    virtual HRESULT GoSearch() = 0;
    virtual HRESULT Navigate(BSTR url, VARIANT* flags, VARIANT* targetFrameName, VARIANT* postData,
                             VARIANT* headers) = 0;
    virtual HRESULT Refresh() = 0;
    virtual HRESULT Refresh2(VARIANT* level) = 0;
    virtual HRESULT Stop() = 0;
    virtual HRESULT get_Application(IDispatch** out) = 0;
    virtual HRESULT get_Parent(IDispatch** out) = 0;
    virtual HRESULT get_Container(IDispatch** out) = 0;
    virtual HRESULT get_Document(IDispatch** out) = 0;
    virtual HRESULT get_TopLevelContainer(VARIANT_BOOL* out) = 0;
    virtual HRESULT get_Type(BSTR* out) = 0;
    virtual HRESULT get_Left(LONG* out) = 0;
    virtual HRESULT put_Left(LONG value) = 0;
    virtual HRESULT get_Top(LONG* out) = 0;
    virtual HRESULT put_Top(LONG value) = 0;
    virtual HRESULT get_Width(LONG* out) = 0;
    virtual HRESULT put_Width(LONG value) = 0;
    virtual HRESULT get_Height(LONG* out) = 0;
    virtual HRESULT put_Height(LONG value) = 0;
    virtual HRESULT get_LocationName(BSTR* out) = 0;
    virtual HRESULT get_LocationURL(BSTR* out) = 0;
    virtual HRESULT get_Busy(VARIANT_BOOL* out) = 0;

protected:
    ~IWebBrowser() = default;
};

class IWebBrowserApp : public IWebBrowser {
public:
    virtual HRESULT Quit() = 0;
    virtual HRESULT ClientToWindow(int* cx, int* cy) = 0;
    virtual HRESULT PutProperty(BSTR property, VARIANT value) = 0;
    virtual HRESULT GetProperty(BSTR property, VARIANT* value) = 0;
    virtual HRESULT get_Name(BSTR* out) = 0;
    virtual HRESULT get_HWND(SHANDLE_PTR* out) = 0;
    virtual HRESULT get_FullName(BSTR* out) = 0;
    virtual HRESULT get_Path(BSTR* out) = 0;
    virtual HRESULT get_Visible(VARIANT_BOOL* out) = 0;
    virtual HRESULT put_Visible(VARIANT_BOOL value) = 0;
    virtual HRESULT get_StatusBar(VARIANT_BOOL* out) = 0;
    virtual HRESULT put_StatusBar(VARIANT_BOOL value) = 0;
    virtual HRESULT get_StatusText(BSTR* out) = 0;
    virtual HRESULT put_StatusText(BSTR value) = 0;
    virtual HRESULT get_ToolBar(int* out) = 0;
    virtual HRESULT put_ToolBar(int value) = 0;
    virtual HRESULT get_MenuBar(VARIANT_BOOL* out) = 0;
    virtual HRESULT put_MenuBar(VARIANT_BOOL value) = 0;
    virtual HRESULT get_FullScreen(VARIANT_BOOL* out) = 0;
    virtual HRESULT put_FullScreen(VARIANT_BOOL value) = 0;

protected:
    ~IWebBrowserApp() = default;
};

class IWebBrowser2 : public IWebBrowserApp {
public:
    virtual HRESULT Navigate2(VARIANT* url, VARIANT* flags, VARIANT* targetFrameName, VARIANT* postData,
                              VARIANT* headers) = 0;
    virtual HRESULT QueryStatusWB(OLECMDID command, OLECMDF* status) = 0;
    virtual HRESULT ExecWB(OLECMDID command, OLECMDEXECOPT option, VARIANT* in, VARIANT* out) = 0;
    virtual HRESULT ShowBrowserBar(VARIANT* clsid, VARIANT* show, VARIANT* size) = 0;
    virtual HRESULT get_ReadyState(READYSTATE* out) = 0;
    virtual HRESULT get_Offline(VARIANT_BOOL* out) = 0;
    virtual HRESULT put_Offline(VARIANT_BOOL value) = 0;
    virtual HRESULT get_Silent(VARIANT_BOOL* out) = 0;
    virtual HRESULT put_Silent(VARIANT_BOOL value) = 0;
    virtual HRESULT get_RegisterAsBrowser(VARIANT_BOOL* out) = 0;
    virtual HRESULT put_RegisterAsBrowser(VARIANT_BOOL value) = 0;
    virtual HRESULT get_RegisterAsDropTarget(VARIANT_BOOL* out) = 0;
    virtual HRESULT put_RegisterAsDropTarget(VARIANT_BOOL value) = 0;
    virtual HRESULT get_TheaterMode(VARIANT_BOOL* out) = 0;
    virtual HRESULT put_TheaterMode(VARIANT_BOOL value) = 0;
    virtual HRESULT get_AddressBar(VARIANT_BOOL* out) = 0;
    virtual HRESULT put_AddressBar(VARIANT_BOOL value) = 0;
    virtual HRESULT get_Resizable(VARIANT_BOOL* out) = 0;
    virtual HRESULT put_Resizable(VARIANT_BOOL value) = 0;

protected:
    ~IWebBrowser2() = default;
};

inline constexpr IID IID_IWebBrowser{0xEAB22AC1, 0x30C1, 0x11CF, {0xA7, 0xEB, 0x00, 0x00, 0xC0, 0x5B, 0xAE, 0x0B}};
inline constexpr IID IID_IWebBrowserApp{0x0002DF05, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr IID IID_IWebBrowser2{0xD30C1661, 0xCDAF, 0x11D0, {0x8A, 0x3E, 0x00, 0xC0, 0x4F, 0xC9, 0xE2, 0x6E}};
inline constexpr IID DIID_DWebBrowserEvents2{0x34A715A0, 0x6587, 0x11D0, {0x92, 0x4A, 0x00, 0x20, 0xAF, 0xC7, 0xAC, 0x4D}};
inline constexpr CLSID CLSID_WebBrowser{0x8856F961, 0x340A, 0x11D0, {0xA9, 0x6B, 0x00, 0xC0, 0x4F, 0xD7, 0x05, 0xA2}};

// DWebBrowserEvents2 DISPIDs
constexpr DISPID DISPID_STATUSTEXTCHANGE = 102;
constexpr DISPID DISPID_TITLECHANGE = 113;
constexpr DISPID DISPID_BEFORENAVIGATE2 = 250;
constexpr DISPID DISPID_NEWWINDOW2 = 251;
constexpr DISPID DISPID_NAVIGATECOMPLETE2 = 252;
constexpr DISPID DISPID_ONQUIT = 253;
constexpr DISPID DISPID_ONVISIBLE = 254;
constexpr DISPID DISPID_DOCUMENTCOMPLETE = 259;
constexpr DISPID DISPID_WINDOWSETRESIZABLE = 262;
constexpr DISPID DISPID_WINDOWCLOSING = 263;
constexpr DISPID DISPID_WINDOWSETLEFT = 264;
constexpr DISPID DISPID_WINDOWSETTOP = 265;
constexpr DISPID DISPID_WINDOWSETWIDTH = 266;
constexpr DISPID DISPID_WINDOWSETHEIGHT = 267;
constexpr DISPID DISPID_FILEDOWNLOAD = 270;
constexpr DISPID DISPID_NAVIGATEERROR = 271;
constexpr DISPID DISPID_NEWWINDOW3 = 273;

// NewWindow3 flags
constexpr DWORD NWMF_USERINITED = 0x2;
constexpr DWORD NWMF_FIRST = 0x4;
constexpr DWORD NWMF_USERREQUESTED = 0x80000;
