// Common controls of the framework used by the program: the band container and the
// extended combo box.
#pragma once

#include "afx/wnd.h"

constexpr UINT AFX_IDW_REBAR = 0xE804;
constexpr DWORD CBRS_ALIGN_TOP = 0x1000;
constexpr DWORD CBRS_BORDER_BOTTOM = 0x0800;
constexpr DWORD CBRS_TOP = CBRS_ALIGN_TOP | CBRS_BORDER_BOTTOM;
constexpr DWORD AFX_RBS_STYLE_DEFAULT = RBS_AUTOSIZE;

class CReBar : public CWnd {
public:
    BOOL Create(CWnd* parent, DWORD barStyle = RBS_AUTOSIZE,
                DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | CBRS_TOP,
                UINT id = AFX_IDW_REBAR);
    // Adds one band holding child, with text and band style.
    BOOL AddBar(CWnd* child, LPCWSTR text = nullptr, void* bitmap = nullptr, DWORD bandStyle = 0);
};

class CComboBoxEx : public CWnd {
public:
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
    HWND GetEditCtrlHandle() const;
};

