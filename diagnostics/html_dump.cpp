#include "diagnostics/html_dump.h"

#include <algorithm>
#include <chrono>
#include <optional>
#include <string>
#include <string_view>

#include "afx/file.h"
#include "com/ptr.h"
#include "crt/crt.h"
#include "diagnostics/log_folder.h"
#include "diagnostics/log_writer.h"

namespace {

std::int64_t lastDumpIndex = 0;
std::int64_t (*dumpClock)() = nullptr;

std::int64_t SystemSeconds() {
    return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch()).count();
}

// A null string from the browser is written as an empty text.
const char16_t* TextOf(const CComBSTR& text) { return text.get() ? text.get() : u""; }

// Writes "<heading>:\n", at most kMaxDumpedTextCharacters of text and a line end, and the
// cut line when the text was longer. A long text goes out in pieces, so the file's narrow
// copy never has to be whole in memory; a short one in one write, as every write is flushed.
void WriteText(CStdioFile& file, const void* document, const char* heading, std::u16string_view text) {
    constexpr std::size_t kPieceCharacters = 1024 * 1024;
    std::size_t written = std::min(text.size(), kMaxDumpedTextCharacters);
    const auto isHigh = [](char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; };
    if (written < text.size() && written > 0 && isHigh(text[written - 1])) --written;  // keep the pair whole

    if (written == text.size() && written <= kPieceCharacters) {
        // text views a whole null-terminated string here.
        LogToFile(file, LogLevel::Debug, document, "%s:\n%S\n", heading, text.data());
        return;
    }
    LogToFile(file, LogLevel::Debug, document, "%s:\n", heading);
    for (std::size_t at = 0; at < written; at += kPieceCharacters) {
        const std::u16string piece(text.substr(at, std::min(kPieceCharacters, written - at)));
        LogToFile(file, LogLevel::Debug, document, "%S", piece.c_str());
    }
    LogToFile(file, LogLevel::Debug, document, "\n");
    if (written < text.size())
        LogToFile(file, LogLevel::Debug, document, "%s cut after %zu of %zu characters\n", heading, written,
                  text.size());
}

// The number a document-mode VARIANT holds; anything that is not a number leaves fallback.
double NumberIn(const VARIANT& value, double fallback) {
    switch (value.vt) {
    case VT_R4: return value.fltVal;
    case VT_R8: return value.dblVal;
    case VT_I4: return value.lVal;
    case VT_UI4: return value.ulVal;
    default: return fallback;
    }
}

// The item at position of a collection, asked with the position as both name and index.
CComPtr<IDispatch> ItemAt(IHTMLElementCollection* collection, LONG position) {
    VARIANT which;
    which.vt = VT_I4;
    which.lVal = position;
    CComPtr<IDispatch> item;
    if (FAILED(collection->item(which, which, &item))) return {};
    return item;
}

LONG LengthOf(IHTMLElementCollection* collection) {
    LONG length = 0;
    if (FAILED(collection->get_length(&length)) || length < 0) return 0;
    return length;
}

std::u16string CompatibilityModeOf(IHTMLDocument2* document) {
    CComPtr<IHTMLDocument5> document5;
    CComBSTR mode;
    if (SUCCEEDED(document->QueryInterface(IID_IHTMLDocument5, reinterpret_cast<void**>(&document5))) && document5 &&
        SUCCEEDED(document5->get_compatMode(&mode)))
        return TextOf(mode);
    return u"Unknown";
}

// The document type's text, "Failed" when its node cannot be read, or nothing when the
// document has no document type.
std::optional<std::u16string> DocumentTypeOf(IHTMLDocument2* document) {
    CComPtr<IHTMLDocument5> document5;
    if (FAILED(document->QueryInterface(IID_IHTMLDocument5, reinterpret_cast<void**>(&document5))) || !document5)
        return std::nullopt;
    CComPtr<IDispatch> node;
    if (FAILED(document5->get_doctype(&node)) || !node) return std::nullopt;
    CComPtr<IHTMLElement> element;
    CComBSTR text;
    if (SUCCEEDED(node->QueryInterface(IID_IHTMLElement, reinterpret_cast<void**>(&element))) && element &&
        SUCCEEDED(element->get_innerText(&text)))
        return std::u16string(TextOf(text));
    return u"Failed";
}

double DocumentModeOf(IHTMLDocument2* document) {
    constexpr double kUnknown = -1.0;
    CComPtr<IHTMLDocument6> document6;
    CComVariant mode;
    if (SUCCEEDED(document->QueryInterface(IID_IHTMLDocument6, reinterpret_cast<void**>(&document6))) && document6 &&
        SUCCEEDED(document6->get_documentMode(&mode)))
        return NumberIn(mode, kUnknown);
    return kUnknown;
}

void DumpScripts(CStdioFile& file, IHTMLDocument2* document) {
    CComPtr<IHTMLElementCollection> scripts;
    if (FAILED(document->get_scripts(&scripts)) || !scripts) return;
    const LONG count = LengthOf(scripts);
    for (LONG i = 0; i < count; ++i) {
        CComPtr<IDispatch> item = ItemAt(scripts, i);
        CComPtr<IHTMLScriptElement> script;
        if (!item || FAILED(item->QueryInterface(IID_IHTMLScriptElement, reinterpret_cast<void**>(&script))) || !script)
            continue;
        LogToFile(file, LogLevel::Debug, document, "Script index %d (%p)\n", static_cast<int>(i),
                  static_cast<void*>(script.get()));
        CComBSTR source;
        if (SUCCEEDED(script->get_src(&source))) LogToFile(file, LogLevel::Debug, document, "Script source: %S\n", TextOf(source));
        CComBSTR text;
        if (SUCCEEDED(script->get_text(&text))) WriteText(file, document, "Script text", TextOf(text));
    }
}

// Each readable iframe's document, dumped in turn into files of their own.
void DumpFrames(IHTMLElement* body) {
    CComPtr<IHTMLElement2> body2;
    if (FAILED(body->QueryInterface(IID_IHTMLElement2, reinterpret_cast<void**>(&body2))) || !body2) return;
    CComBSTR tagName(u"iframe");
    CComPtr<IHTMLElementCollection> frames;
    if (FAILED(body2->getElementsByTagName(tagName, &frames)) || !frames) return;
    const LONG count = LengthOf(frames);
    for (LONG j = 0; j < count; ++j) {
        CComPtr<IDispatch> item = ItemAt(frames, j);
        CComPtr<IHTMLIFrameElement3> frame;
        if (!item || FAILED(item->QueryInterface(IID_IHTMLIFrameElement3, reinterpret_cast<void**>(&frame))) || !frame)
            continue;
        CComPtr<IDispatch> content;
        if (FAILED(frame->get_contentDocument(&content)) || !content) continue;
        CComPtr<IHTMLDocument2> frameDocument;
        if (FAILED(content->QueryInterface(IID_IHTMLDocument2, reinterpret_cast<void**>(&frameDocument))) || !frameDocument)
            continue;
        DumpHtmlDocument(frameDocument);
    }
}

}  // namespace

std::int64_t NextDumpIndex(std::int64_t nowSeconds, std::int64_t lastIndex) {
    return nowSeconds > lastIndex ? nowSeconds : lastIndex + 1;
}

void DumpHtmlDocument(IHTMLDocument2* document) {
    if (!IsLoggingEnabled() || !document) return;
    const std::int64_t index = NextDumpIndex(dumpClock ? dumpClock() : SystemSeconds(), lastDumpIndex);
    lastDumpIndex = index;

    // The folder is the one logging found; it is not looked up here. Without it, or when the
    // file cannot be made, the file's lines are dropped and the main log still gets its own.
    CStdioFile file;
    const std::u16string folder = KnownLogFolder();
    if (!folder.empty()) {
        const std::u16string name = folder + crt_wformat(u"\\HTML_Document_%lld.log", static_cast<long long>(index));
        file.Open(name.c_str(), CStdioFile::modeCreate | CStdioFile::modeWrite | CStdioFile::shareDenyNone |
                                    CStdioFile::typeText);
    }

    CComBSTR address;
    document->get_URL(&address);
    LogMessage(LogLevel::Debug, document, "Dumping new HTML document out to a separate file, index %lld: %S\n",
               static_cast<long long>(index), TextOf(address));
    LogToFile(file, LogLevel::Debug, document, "Document dump: %S\n", TextOf(address));

    const std::u16string compatibilityMode = CompatibilityModeOf(document);
    LogToFile(file, LogLevel::Debug, document, "Compatibility mode: %S\n", compatibilityMode.c_str());

    const std::optional<std::u16string> documentType = DocumentTypeOf(document);
    if (documentType) LogToFile(file, LogLevel::Debug, document, "Document type: %S\n", documentType->c_str());

    const double documentMode = DocumentModeOf(document);
    LogToFile(file, LogLevel::Debug, document, "Document mode: %f\n", documentMode);
    LogMessage(LogLevel::Debug, document, "Compatibility mode: %S, Document type: %S, Document mode: %f\n",
               compatibilityMode.c_str(), documentType ? documentType->c_str() : u"none", documentMode);

    DumpScripts(file, document);

    CComPtr<IHTMLElement> body;
    if (SUCCEEDED(document->get_body(&body)) && body) {
        CComBSTR html;
        body->get_innerHTML(&html);  // a body whose HTML cannot be read still gets its line
        WriteText(file, document, "Body text", TextOf(html));
        DumpFrames(body);
    }
}

std::int64_t LastDumpIndex() { return lastDumpIndex; }

void SetDumpClock(std::int64_t (*secondsSince1970)()) { dumpClock = secondsSince1970; }

void ResetLastDumpIndex() { lastDumpIndex = 0; }
