// The Internet functions the program uses to choose its own process's proxy. Only the
// process-wide defaults exist (a null Internet handle); nothing outside the process changes.
#pragma once

#include "win32/types.h"

using HINTERNET = void*;

constexpr DWORD INTERNET_OPTION_PROXY = 38;
constexpr DWORD INTERNET_OPTION_PER_CONNECTION_OPTION = 75;

// INTERNET_PROXY_INFO access types
constexpr DWORD INTERNET_OPEN_TYPE_PRECONFIG = 0;  // the user's own configuration
constexpr DWORD INTERNET_OPEN_TYPE_DIRECT = 1;
constexpr DWORD INTERNET_OPEN_TYPE_PROXY = 3;

// The proxy of INTERNET_OPTION_PROXY. Its two lists are 8-bit text (read as UTF-8) even
// for InternetSetOptionW. lpszProxy: entries "[<scheme>=][<proxy scheme>://]<host>[:<port>]"
// separated by blanks or semicolons; an entry without a scheme serves http, https and ftp,
// "socks=" names a SOCKS server for every scheme without an entry of its own.
// lpszProxyBypass: host patterns separated by blanks, semicolons or commas.
struct INTERNET_PROXY_INFO {
    DWORD dwAccessType;
    const char* lpszProxy;
    const char* lpszProxyBypass;
};

// INTERNET_OPTION_PER_CONNECTION_OPTION: options of the one (LAN) connection.
constexpr DWORD INTERNET_PER_CONN_FLAGS = 1;
constexpr DWORD INTERNET_PER_CONN_PROXY_SERVER = 2;
constexpr DWORD INTERNET_PER_CONN_PROXY_BYPASS = 3;
constexpr DWORD INTERNET_PER_CONN_AUTOCONFIG_URL = 4;
constexpr DWORD INTERNET_PER_CONN_AUTODISCOVERY_FLAGS = 5;
constexpr DWORD PROXY_TYPE_DIRECT = 0x1;
constexpr DWORD PROXY_TYPE_PROXY = 0x2;
constexpr DWORD PROXY_TYPE_AUTO_PROXY_URL = 0x4;
constexpr DWORD PROXY_TYPE_AUTO_DETECT = 0x8;

struct INTERNET_PER_CONN_OPTIONW {
    DWORD dwOption;
    union {
        DWORD dwValue;
        LPWSTR pszValue;
    } Value;
};

struct INTERNET_PER_CONN_OPTION_LISTW {
    DWORD dwSize;            // sizeof(INTERNET_PER_CONN_OPTION_LISTW)
    LPWSTR pszConnection;    // null: the LAN connection
    DWORD dwOptionCount;
    DWORD dwOptionError;     // set to the index of an option that was refused
    INTERNET_PER_CONN_OPTIONW* pOptions;
};

constexpr DWORD ERROR_INTERNET_INVALID_OPTION = 12009;
constexpr DWORD ERROR_INTERNET_BAD_OPTION_LENGTH = 12010;
constexpr DWORD ERROR_INTERNET_INCORRECT_HANDLE_TYPE = 12018;

// Sets an option. With a null handle the option holds for the whole process. FALSE with
// GetLastError on failure; a proxy list without any usable server is refused
// (ERROR_INVALID_PARAMETER) and the proxy in force stays as it was.
BOOL InternetSetOptionW(HINTERNET internet, DWORD option, void* buffer, DWORD length);
