// The seam between the layer's WebBrowser control and a browser engine. The control (in
// the core) turns these calls into the control's COM interface and events; an engine
// (in a backend) renders, runs scripts and talks to the network.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "win32/types.h"

namespace platform {

class Engine;

// What a new window asks for (window.open features, a target=_blank link).
struct NewWindowRequest {
    std::u16string url;
    std::u16string referrer;
    bool userInitiated = false;
};

// The window geometry a page asked for; a member is absent when the page did not give it.
struct WindowFeatures {
    std::optional<LONG> left, top, width, height;  // of the page area, as the page gave them
    bool menuBar = true, toolBar = true, statusBar = true, resizable = true;
};

enum class ScriptWindowOp { MoveTo, MoveBy, ResizeTo, ResizeBy };

struct ConsoleMessage {
    int level = 0;  // 0 information, 1 warning, 2 error; other values as the engine gives them
    std::u16string text;
    std::optional<std::u16string> sourceUrl;
    ULONG line = 0, column = 0;
};

// One element of a document, as the engine saw it.
struct ElementData {
    std::u16string tagName;  // upper case for HTML elements ("BUTTON")
    std::u16string id;
    // In document order; names in lower case, values with character references resolved.
    std::vector<std::pair<std::u16string, std::u16string>> attributes;
    // Absent when the engine did not copy them (a click on a large container would
    // otherwise copy the whole page).
    std::optional<std::u16string> innerText;
    std::optional<std::u16string> innerHtml;
};

// Answers and events from an engine, delivered on the user-interface thread.
class EngineClient {
public:
    // Before a navigation of the top-level document or of a frame: true cancels it.
    virtual bool OnBeforeNavigate(const std::u16string& url, bool topLevel) = 0;
    virtual void OnNavigateComplete(const std::u16string& url, bool topLevel) = 0;
    virtual void OnDocumentComplete(const std::u16string& url, bool topLevel) = 0;
    virtual void OnTitleChange(const std::u16string& title) = 0;
    // A page asks for a new window. Returns the engine that is to load it (made by a
    // browser control the host created), or null when the request is refused.
    virtual Engine* OnNewWindow(const NewWindowRequest& request) = 0;
    // The engine of a new window knows the geometry and is ready to be shown.
    virtual void OnReadyToShow(const WindowFeatures& features) = 0;
    // The page called window.close().
    virtual void OnWindowClosing() = 0;
    // window.moveTo and friends; false when the host refused (the script sees nothing).
    virtual bool OnScriptWindowOp(ScriptWindowOp op, LONG a, LONG b) = 0;
    // A download starts; activeDocument is true when the content will be shown in the browser.
    // Returns false to cancel it.
    virtual bool OnFileDownload(bool activeDocument) = 0;
    virtual void OnConsoleMessage(const ConsoleMessage& message) = 0;
    // An uncaught script error; the host decides whether the user is told.
    virtual void OnScriptError(const std::u16string& message, const std::u16string& url, ULONG line) = 0;
    // Basic (or other) authentication: returns false to fail the request.
    virtual bool OnAuthenticate(const std::u16string& url, std::u16string* userName,
                                std::u16string* password) = 0;
    // A click in the top-level document, the user's or a script's; element is the event's
    // source (the innermost element clicked). Reported before the click's default action.
    virtual void OnElementClick(const ElementData& element) = 0;

protected:
    ~EngineClient() = default;
};

// What can be read of a document.
struct ScriptData {
    std::optional<std::u16string> src;   // absent for an inline script
    std::optional<std::u16string> text;
};
struct DocumentData {
    std::u16string url;
    std::u16string title;
    bool hasBody = false;  // read with url and title: whether there is a body, without its HTML
    std::optional<std::u16string> compatMode;      // "CSS1Compat" or "BackCompat"
    std::optional<std::u16string> doctype;         // the doctype's name; absent when there is none
    std::optional<float> documentMode;
    std::vector<std::optional<ScriptData>> scripts;  // absent item: not a script element
    std::optional<std::u16string> bodyHtml;        // absent when there is no body
    // The documents of the iframes below the body, in document order; absent item: not
    // readable (another origin).
    std::vector<std::optional<DocumentData>> frames;
};
enum DocumentField : unsigned {
    kDocBasics = 1,    // url, title and hasBody
    kDocModes = 2,     // compatMode, doctype, documentMode
    kDocScripts = 4,
    kDocBody = 8,
    kDocFrames = 16,
    kDocAll = 31,
};

struct EngineOptions {
    bool external = false;             // window.external is present
    bool scriptErrorsToHost = true;    // script errors reach OnScriptError
};

class Engine {
public:
    virtual ~Engine() = default;
    virtual void Navigate(const std::u16string& url) = 0;
    virtual void Refresh() = 0;
    virtual void Stop() = 0;
    virtual std::u16string Url() const = 0;
    virtual std::u16string Title() const = 0;
    virtual bool Busy() const = 0;
    // Reads the current top-level document (fields: DocumentField bits); absent when
    // there is no document yet.
    virtual std::optional<DocumentData> ReadDocument(unsigned fields) = 0;
    // Inserts markup into the top-level document's body ("beforeEnd" and the other places).
    virtual bool InsertAdjacentHtml(const std::u16string& where, const std::u16string& html) = 0;
    // Zoom in one step (+1), out (-1) or back to 100% (0).
    virtual void Zoom(int step) = 0;
    virtual void Focus() = 0;
};

}  // namespace platform
