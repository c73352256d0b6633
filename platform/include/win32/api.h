// The Windows API calls the system makes, declared from their documented behaviour.
// Paths are Windows-style ("Z:\\home\\u\\.config"); the layer maps them to the host
// file system (drive Z: is the host root).
#pragma once

#include "win32/types.h"
#include "win32/constants.h"

// ---- Errors -------------------------------------------------------------------------
DWORD GetLastError();
void SetLastError(DWORD error);

// ---- Files, folders and modules -----------------------------------------------------
BOOL CreateDirectoryW(LPCWSTR path, LPSECURITY_ATTRIBUTES attributes);
// Writes the full path of the module (null: the executable) and returns its length,
// or 0 on failure; a path longer than size is cut and ERROR_INSUFFICIENT_BUFFER set.
DWORD GetModuleFileNameW(HMODULE module, LPWSTR buffer, DWORD size);
HMODULE GetModuleHandleW(LPCWSTR name);
HMODULE LoadLibraryW(LPCWSTR path);
FARPROC GetProcAddress(HMODULE module, LPCSTR name);
BOOL FreeLibrary(HMODULE module);

// ---- Shell folders and shell execution ----------------------------------------------
HRESULT SHGetFolderPathW(HWND owner, int folder, void* token, DWORD flags, LPWSTR path);
// Returns a value greater than 32 on success.
HINSTANCE ShellExecuteW(HWND owner, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters,
                        LPCWSTR directory, int show);

// ---- Registry -----------------------------------------------------------------------
// Predefined keys (HKEY_CLASSES_ROOT and the others) are declared in win32/constants.h.
LONG RegOpenKeyExW(HKEY key, LPCWSTR subKey, DWORD options, REGSAM access, PHKEY result);
LONG RegCreateKeyExW(HKEY key, LPCWSTR subKey, DWORD reserved, LPWSTR className,
                     DWORD options, REGSAM access, LPSECURITY_ATTRIBUTES security,
                     PHKEY result, DWORD* disposition);
LONG RegQueryValueExW(HKEY key, LPCWSTR valueName, DWORD* reserved, DWORD* type, BYTE* data,
                      DWORD* dataSize);
LONG RegSetValueExW(HKEY key, LPCWSTR valueName, DWORD reserved, DWORD type, const BYTE* data,
                    DWORD dataSize);
LONG RegDeleteValueW(HKEY key, LPCWSTR valueName);
LONG RegCloseKey(HKEY key);

// ---- Resources and version information ----------------------------------------------
HRSRC FindResourceW(HMODULE module, LPCWSTR name, LPCWSTR type);
HGLOBAL LoadResource(HMODULE module, HRSRC resource);
void* LockResource(HGLOBAL data);
DWORD SizeofResource(HMODULE module, HRSRC resource);
BOOL VerQueryValueW(const void* block, LPCWSTR subBlock, void** buffer, UINT* length);
LANGID GetUserDefaultLangID();
int LoadStringW(HINSTANCE instance, UINT id, LPWSTR buffer, int bufferMax);
HICON LoadIconW(HINSTANCE instance, LPCWSTR name);

// ---- Date and time ------------------------------------------------------------------
struct SYSTEMTIME {
    WORD wYear, wMonth, wDayOfWeek, wDay, wHour, wMinute, wSecond, wMilliseconds;
};
// Null time: the current local time. Returns the characters written, terminator included.
int GetDateFormatEx(LPCWSTR locale, DWORD flags, const SYSTEMTIME* time, LPCWSTR format,
                    LPWSTR buffer, int size, LPCWSTR calendar);
int GetTimeFormatEx(LPCWSTR locale, DWORD flags, const SYSTEMTIME* time, LPCWSTR format,
                    LPWSTR buffer, int size);
void GetLocalTime(SYSTEMTIME* time);

// ---- Critical sections --------------------------------------------------------------
struct CRITICAL_SECTION {
    void* impl = nullptr;
};
void InitializeCriticalSection(CRITICAL_SECTION* section);
void EnterCriticalSection(CRITICAL_SECTION* section);
void LeaveCriticalSection(CRITICAL_SECTION* section);
void DeleteCriticalSection(CRITICAL_SECTION* section);

// ---- Windows and messages -----------------------------------------------------------
LRESULT SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL PostMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL IsWindow(HWND window);
BOOL IsWindowVisible(HWND window);
BOOL ShowWindow(HWND window, int command);
BOOL DestroyWindow(HWND window);
BOOL SetWindowPos(HWND window, HWND insertAfter, int x, int y, int cx, int cy, UINT flags);
BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint);
BOOL GetWindowRect(HWND window, LPRECT rect);
BOOL GetClientRect(HWND window, LPRECT rect);
BOOL AdjustWindowRect(LPRECT rect, DWORD style, BOOL menu);
BOOL AdjustWindowRectEx(LPRECT rect, DWORD style, BOOL menu, DWORD exStyle);
LONG GetWindowLongW(HWND window, int index);
LONG SetWindowLongW(HWND window, int index, LONG value);
BOOL SetWindowTextW(HWND window, LPCWSTR text);
int GetWindowTextW(HWND window, LPWSTR buffer, int max);
int GetWindowTextLengthW(HWND window);
HWND GetWindow(HWND window, UINT relation);
HWND GetParent(HWND window);
HWND GetDlgItem(HWND dialog, int id);
int GetDlgCtrlID(HWND window);
HWND SetFocus(HWND window);
HWND GetFocus();
HWND GetActiveWindow();
BOOL InvalidateRect(HWND window, const RECT* rect, BOOL erase);
BOOL UpdateWindow(HWND window);
BOOL EnableWindow(HWND window, BOOL enable);
BOOL IsWindowEnabled(HWND window);
HMONITOR MonitorFromWindow(HWND window, DWORD flags);
BOOL GetMonitorInfoW(HMONITOR monitor, MONITORINFO* info);

// ---- Menus --------------------------------------------------------------------------
HMENU GetMenu(HWND window);
BOOL SetMenu(HWND window, HMENU menu);
// Returns the item's previous check state (MF_CHECKED or MF_UNCHECKED), or -1.
DWORD CheckMenuItem(HMENU menu, UINT item, UINT check);
UINT GetMenuState(HMENU menu, UINT item, UINT flags);
int GetMenuItemCount(HMENU menu);
UINT GetMenuItemID(HMENU menu, int position);
HMENU GetSubMenu(HMENU menu, int position);
int GetMenuStringW(HMENU menu, UINT item, LPWSTR buffer, int max, UINT flags);
HMENU LoadMenuW(HINSTANCE instance, LPCWSTR name);
BOOL DestroyMenu(HMENU menu);

// ---- Message boxes ------------------------------------------------------------------
int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type);

// ---- Keyboard -----------------------------------------------------------------------
void keybd_event(BYTE key, BYTE scan, DWORD flags, std::uintptr_t extraInfo);
short GetAsyncKeyState(int key);

// ---- Cursor -------------------------------------------------------------------------
HCURSOR SetCursor(HCURSOR cursor);
HCURSOR LoadCursorW(HINSTANCE instance, LPCWSTR name);

// ---- Common controls ----------------------------------------------------------------
struct INITCOMMONCONTROLSEX {
    DWORD dwSize;
    DWORD dwICC;
};
BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* init);

// ---- Global memory: blocks a call hands to its caller (GMEM_FIXED: the handle is the address).
constexpr UINT GMEM_FIXED = 0x0000;
constexpr UINT GMEM_ZEROINIT = 0x0040;
HGLOBAL GlobalAlloc(UINT flags, std::size_t bytes);
HGLOBAL GlobalFree(HGLOBAL memory);  // null on success

// ---- Code pages: only UTF-8 (CP_UTF8) is known. Unpaired surrogates become U+FFFD.
constexpr UINT CP_UTF8 = 65001;
// Converts wideLength characters (-1: up to and with the terminator) into out; with
// outSize 0, returns the size needed. 0 with GetLastError on failure.
int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR wide, int wideLength, char* out, int outSize,
                        const char* defaultChar, BOOL* usedDefault);
