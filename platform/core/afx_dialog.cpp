// Dialogs: created from the program's templates, modal with their own loop or modeless.
#include "afx/wnd.h"
#include "win32/templates.h"
#include "window_manager.h"

namespace {
constexpr UINT kNoDialogKeys = 0x1000;  // the framework flag: no dialog keyboard handling

platform::WindowClass ClassOf(ControlKind kind) {
    switch (kind) {
    case ControlKind::Edit: return platform::WindowClass::Edit;
    case ControlKind::Static: return platform::WindowClass::Static;
    default: return platform::WindowClass::Button;
    }
}

DWORD ButtonStyleOf(ControlKind kind) {
    switch (kind) {
    case ControlKind::DefaultButton: return BS_DEFPUSHBUTTON;
    case ControlKind::RadioButton: return BS_AUTORADIOBUTTON;
    case ControlKind::CheckBox: return BS_AUTOCHECKBOX;
    case ControlKind::GroupBox: return BS_GROUPBOX;
    default: return BS_PUSHBUTTON;
    }
}
}  // namespace

LRESULT DialogInitThunk(CWnd* w, WPARAM, LPARAM) { return static_cast<CDialog*>(w)->OnInitDialog(); }

const AFX_MSGMAP* CDialog::GetThisMessageMap() {
    static const AFX_MSGMAP_ENTRY entries[] = {
        {WM_INITDIALOG, 0, 0, &DialogInitThunk},
        afx::OnCommand<IDOK, &CDialog::OnOK>(),
        afx::OnCommand<IDCANCEL, &CDialog::OnCancel>(),
    };
    static const AFX_MSGMAP map{&CWnd::GetThisMessageMap, entries, std::size(entries)};
    return &map;
}
const AFX_MSGMAP* CDialog::GetMessageMap() const { return GetThisMessageMap(); }

CDialog::CDialog(UINT templateId, CWnd* parent) : m_lpszTemplateName(templateId), m_pParentWnd(parent) {}

CDialog::~CDialog() = default;

BOOL CDialog::CreateFromTemplate(HWND owner, bool modal) {
    const DialogTemplate* t = FindDialogTemplate(static_cast<WORD>(m_lpszTemplateName));
    if (!t) return FALSE;
    m_modal = modal;
    m_modalEnded = false;
    m_modalResult = -1;
    HMENU menu = t->menu ? LoadMenuW(AfxGetResourceHandle(), MAKEINTRESOURCEW(t->menu)) : nullptr;
    // The template gives the client area; the window is larger by its frame.
    RECT rect{0, 0, DialogUnitsToPixelsX(t->cx), DialogUnitsToPixelsY(t->cy)};
    AdjustWindowRectEx(&rect, t->style, menu != nullptr, t->exStyle);
    LONG x = DialogUnitsToPixelsX(t->x), y = DialogUnitsToPixelsY(t->y);
    if (RECT ownerRect{}; owner && ::GetWindowRect(owner, &ownerRect)) {
        x += ownerRect.left;
        y += ownerRect.top;
    }
    rect = RECT{x, y, x + rect.right - rect.left, y + rect.bottom - rect.top};
    HWND window = platform::CreateWindowObject(platform::WindowClass::Dialog, t->exStyle, t->caption,
                                               t->style & ~WS_VISIBLE, rect, owner, 0);
    if (!window) {
        if (menu) DestroyMenu(menu);
        return FALSE;
    }
    Attach(window);
    if (menu) ::SetMenu(window, menu);
    for (const ControlTemplate& c : t->controls) {
        DWORD style = c.style | WS_CHILD | WS_VISIBLE;
        if (ClassOf(c.kind) == platform::WindowClass::Button) style |= ButtonStyleOf(c.kind);
        RECT r{DialogUnitsToPixelsX(c.x), DialogUnitsToPixelsY(c.y), DialogUnitsToPixelsX(c.x + c.cx),
               DialogUnitsToPixelsY(c.y + c.cy)};
        platform::CreateControlWindow(ClassOf(c.kind), 0, c.text, style, r, window, c.id);
    }
    RECT before{};
    ::GetWindowRect(window, &before);
    SendMessage(WM_INITDIALOG, 0, 0);
    if (!m_hWnd) return FALSE;
    RECT after{};
    ::GetWindowRect(m_hWnd, &after);
    m_movedDuringInit = !(before == after);
    return TRUE;
}

INT_PTR CDialog::DoModal() {
    CWinApp* app = AfxGetApp();
    HWND owner = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
    if (!owner && app && app->m_pMainWnd && app->m_pMainWnd != this) owner = app->m_pMainWnd->m_hWnd;
    if (!platform::Live(owner)) owner = nullptr;
    bool ownerWasEnabled = owner && ::IsWindowEnabled(owner);
    if (ownerWasEnabled) ::EnableWindow(owner, FALSE);
    INT_PTR result = -1;
    if (CreateFromTemplate(owner, true)) {
        if (!m_movedDuringInit && !m_modalEnded) CenterWindow();
        if (!m_modalEnded) {
            ShowWindow(SW_SHOW);
            if (!::GetFocus() || !platform::Live(::GetFocus())) ::SetFocus(m_hWnd);
            HWND self = m_hWnd;
            platform::RunMessageLoop([&] { return m_modalEnded || !platform::Live(self); });
        }
        result = m_modalResult;
        if (m_hWnd) {
            ShowWindow(SW_HIDE);
            DestroyWindow();
        }
    }
    if (ownerWasEnabled && platform::Live(owner)) ::EnableWindow(owner, TRUE);
    return result;
}

BOOL CDialog::Create(UINT templateId, CWnd* parent) {
    m_lpszTemplateName = templateId;
    m_pParentWnd = parent;
    if (!CreateFromTemplate(parent ? parent->m_hWnd : nullptr, false)) return FALSE;
    const DialogTemplate* t = FindDialogTemplate(static_cast<WORD>(templateId));
    if (t && (t->style & WS_VISIBLE)) ShowWindow(SW_SHOW);
    return TRUE;
}

void CDialog::EndDialog(int result) {
    m_modalResult = result;
    m_modalEnded = true;
    // A modeless dialog is only hidden; its owner destroys it.
    if (!m_modal && m_hWnd) ShowWindow(SW_HIDE);
}

BOOL CDialog::UpdateData(BOOL saveAndValidate) {
    CDataExchange dx(this, saveAndValidate);
    DoDataExchange(&dx);
    return TRUE;
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK() {
    if (UpdateData(TRUE)) EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

BOOL CDialog::PreTranslateMessage(MSG* msg) {
    // Enter and Escape are the dialog's OK and Cancel, unless the window asked for no
    // dialog keyboard handling.
    if ((m_nFlags & kNoDialogKeys) || msg->message != WM_KEYDOWN) return FALSE;
    HWND focus = msg->hwnd;
    bool inside = false;
    for (HWND h = focus; h; h = ::GetParent(h))
        if (h == m_hWnd) {
            inside = true;
            break;
        }
    if (!inside) return FALSE;
    if (msg->wParam == static_cast<WPARAM>(VK_RETURN)) {
        PostMessage(WM_COMMAND, IDOK, 0);
        return TRUE;
    }
    if (msg->wParam == static_cast<WPARAM>(VK_ESCAPE)) {
        PostMessage(WM_COMMAND, IDCANCEL, 0);
        return TRUE;
    }
    return FALSE;
}

void DDX_Text(CDataExchange* dx, int id, std::u16string& value) {
    HWND control = ::GetDlgItem(dx->m_pDlgWnd->m_hWnd, id);
    if (!control) return;
    if (dx->m_bSaveAndValidate) {
        int length = ::GetWindowTextLengthW(control);
        std::u16string text(static_cast<std::size_t>(length) + 1, u'\0');
        text.resize(static_cast<std::size_t>(::GetWindowTextW(control, text.data(), length + 1)));
        value = text;
    } else {
        ::SetWindowTextW(control, value.c_str());
    }
}
