// The document interfaces of the browser's HTML documents, as the system reads them.
#pragma once

#include "com/com.h"

class IHTMLElement;
class IHTMLElementCollection;
class IHTMLLocation;

class IHTMLDocument2 : public IDispatch {
public:
    virtual HRESULT get_title(BSTR* out) = 0;
    virtual HRESULT get_body(IHTMLElement** out) = 0;
    virtual HRESULT get_URL(BSTR* out) = 0;
    virtual HRESULT get_location(IHTMLLocation** out) = 0;
    virtual HRESULT get_scripts(IHTMLElementCollection** out) = 0;

protected:
    ~IHTMLDocument2() = default;
};
inline constexpr IID IID_IHTMLDocument2{0x332C4425, 0x26CB, 0x11D0, {0xB4, 0x83, 0x00, 0xC0, 0x4F, 0xD9, 0x01, 0x19}};

class IHTMLDocument5 : public IDispatch {
public:
    virtual HRESULT get_compatMode(BSTR* out) = 0;
    virtual HRESULT get_doctype(IDispatch** out) = 0;

protected:
    ~IHTMLDocument5() = default;
};
inline constexpr IID IID_IHTMLDocument5{0x3050F80C, 0x98B5, 0x11CF, {0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B}};

class IHTMLDocument6 : public IDispatch {
public:
    virtual HRESULT get_documentMode(VARIANT* out) = 0;

protected:
    ~IHTMLDocument6() = default;
};
inline constexpr IID IID_IHTMLDocument6{0x30510417, 0x98B5, 0x11CF, {0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B}};

class IHTMLElement : public IDispatch {
public:
    virtual HRESULT get_innerHTML(BSTR* out) = 0;
    virtual HRESULT get_innerText(BSTR* out) = 0;
    virtual HRESULT get_id(BSTR* out) = 0;
    virtual HRESULT getAttribute(BSTR name, LONG flags, VARIANT* out) = 0;
    virtual HRESULT insertAdjacentHTML(BSTR where, BSTR html) = 0;

protected:
    ~IHTMLElement() = default;
};
inline constexpr IID IID_IHTMLElement{0x3050F1FF, 0x98B5, 0x11CF, {0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B}};

class IHTMLElement2 : public IDispatch {
public:
    virtual HRESULT getElementsByTagName(BSTR name, IHTMLElementCollection** out) = 0;

protected:
    ~IHTMLElement2() = default;
};
inline constexpr IID IID_IHTMLElement2{0x3050F434, 0x98B5, 0x11CF, {0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B}};

class IHTMLElementCollection : public IDispatch {
public:
    virtual HRESULT get_length(LONG* out) = 0;
    virtual HRESULT item(VARIANT name, VARIANT index, IDispatch** out) = 0;

protected:
    ~IHTMLElementCollection() = default;
};
inline constexpr IID IID_IHTMLElementCollection{0x3050F21F, 0x98B5, 0x11CF, {0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B}};

class IHTMLLocation : public IDispatch {
public:
    virtual HRESULT toString(BSTR* out) = 0;

protected:
    ~IHTMLLocation() = default;
};
inline constexpr IID IID_IHTMLLocation{0x163BB1E0, 0x6E00, 0x11CF, {0x83, 0x7A, 0x48, 0xDC, 0x04, 0xC1, 0x00, 0x00}};

class IHTMLScriptElement : public IDispatch {
public:
    virtual HRESULT get_src(BSTR* out) = 0;
    virtual HRESULT get_text(BSTR* out) = 0;

protected:
    ~IHTMLScriptElement() = default;
};
inline constexpr IID IID_IHTMLScriptElement{0x3050F28B, 0x98B5, 0x11CF, {0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B}};

class IHTMLIFrameElement3 : public IDispatch {
public:
    virtual HRESULT get_contentDocument(IDispatch** out) = 0;

protected:
    ~IHTMLIFrameElement3() = default;
};
inline constexpr IID IID_IHTMLIFrameElement3{0x30510433, 0x98B5, 0x11CF, {0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B}};
