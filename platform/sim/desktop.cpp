// The simulated desktop.
#include "sim/desktop.h"

#include <algorithm>
#include <cstdio>

namespace sim {
namespace {
Desktop* current = nullptr;

bool Alive(HWND window) { return IsWindow(window) != FALSE; }
}  // namespace

Desktop& Desktop::Install() {
    auto* desktop = new Desktop;
    platform::InstallBackend(std::unique_ptr<platform::Backend>(desktop));
    current = desktop;
    return *desktop;
}

Desktop::~Desktop() {
    if (current == this) current = nullptr;
}

Desktop& Desktop::Current() {
    if (!current) {
        std::fputs("sim: no simulated desktop\n", stderr);
        std::abort();
    }
    return *current;
}

void Desktop::Then(std::function<void()> step) { steps_.push_back(std::move(step)); }
void Desktop::AnswerMessageBox(int answer) { answers_.push_back(answer); }

bool Desktop::DeliverKey(int virtualKey, bool up) {
    keysDown_[virtualKey] = !up;
    HWND target = GetFocus();
    if (!target) {
        auto tops = TopLevelWindows();
        if (tops.empty()) return false;
        target = tops.back();
    }
    UINT message = up ? WM_KEYUP : (IsKeyDown(VK_MENU) ? WM_SYSKEYDOWN : WM_KEYDOWN);
    if (platform::input::Key(target, message, virtualKey, false)) return true;
    if (!up)
        if (Engine* engine = EngineOf(target)) engine->keysReceived.push_back(virtualKey);
    return false;
}

bool Desktop::PressKey(int virtualKey) {
    bool taken = DeliverKey(virtualKey, false);
    DeliverKey(virtualKey, true);
    return taken;
}

void Desktop::HoldKey(int virtualKey, bool down) { keysDown_[virtualKey] = down; }

void Desktop::Type(HWND edit, const std::u16string& text) { platform::input::TextChanged(edit, text); }

void Desktop::ChooseMenu(HWND window, UINT id) { platform::input::MenuCommand(window, id); }
void Desktop::ClickClose(HWND window) { platform::input::CloseRequested(window); }
void Desktop::MoveByUser(HWND window, const RECT& rect) { platform::input::Moved(window, rect); }

void Desktop::RunPending() {
    while (!tasks_.empty()) {
        auto task = std::move(tasks_.front());
        tasks_.pop_front();
        task();
    }
}

void Desktop::AddPage(const std::u16string& url, Page page) { pages_[url] = std::move(page); }

const Page* Desktop::FindPage(const std::u16string& url) const {
    auto it = pages_.find(url);
    return it == pages_.end() ? nullptr : &it->second;
}

std::vector<HWND> Desktop::TopLevelWindows() const {
    std::vector<HWND> result;
    for (HWND w : windows_)
        if (Alive(w) && !(w->style & WS_CHILD)) result.push_back(w);
    return result;
}

Engine* Desktop::EngineOf(HWND browserWindow) const {
    for (Engine* e : engines_)
        if (e->window == browserWindow) return e;
    return nullptr;
}

std::vector<Engine*> Desktop::Engines() const { return engines_; }

void Desktop::WindowCreated(HWND window) { windows_.push_back(window); }
void Desktop::WindowDestroyed(HWND window) {
    windows_.erase(std::remove(windows_.begin(), windows_.end(), window), windows_.end());
}
void Desktop::WindowChanged(HWND, unsigned) {}
void Desktop::MenuChanged(HMENU) {}
void Desktop::FocusWindow(HWND) {}

RECT Desktop::MonitorRect(HWND) { return monitor; }

RECT Desktop::FrameInsets(DWORD style, DWORD, bool hasMenu) {
    LONG border = (style & WS_THICKFRAME) ? kThickFrame : (style & (WS_BORDER | WS_DLGFRAME)) ? kThinBorder : 0;
    LONG caption = (style & WS_CAPTION) == WS_CAPTION ? kCaptionHeight : 0;
    return RECT{border, border + caption + (hasMenu ? kMenuHeight : 0), border, border};
}

int Desktop::MessageBox(HWND owner, const std::u16string& text, const std::u16string& caption, UINT type) {
    int answer;
    if (!answers_.empty()) {
        answer = answers_.front();
        answers_.pop_front();
    } else {
        UINT buttons = type & MB_TYPEMASK;
        answer = buttons == MB_YESNO || buttons == MB_YESNOCANCEL ? IDYES : IDOK;
    }
    messageBoxes.push_back({owner, text, caption, type, answer});
    return answer;
}

bool Desktop::RunEvents(bool wait) {
    if (!tasks_.empty()) {
        auto task = std::move(tasks_.front());
        tasks_.pop_front();
        task();
        return true;
    }
    if (!wait) return true;
    if (!steps_.empty()) {
        auto step = std::move(steps_.front());
        steps_.pop_front();
        step();
        return true;
    }
    ended = true;
    return false;
}

void Desktop::SynthesizeKey(int virtualKey, bool up) {
    synthesizedKeys.emplace_back(virtualKey, up);
    // Synthetic keys enter the input stream: they arrive after the current handler returns.
    Queue([this, virtualKey, up] { DeliverKey(virtualKey, up); });
}

bool Desktop::IsKeyDown(int virtualKey) {
    auto it = keysDown_.find(virtualKey);
    return it != keysDown_.end() && it->second;
}

bool Desktop::OpenWithDesktop(const std::u16string& target) {
    opened.push_back(target);
    return openSucceeds;
}

bool Desktop::ClearWebsiteData(unsigned kinds) {
    websiteDataCleared.push_back(kinds);
    return clearSucceeds;
}

std::unique_ptr<platform::Engine> Desktop::CreateEngine(HWND browserWindow, platform::EngineClient& client,
                                                        const platform::EngineOptions& options) {
    auto engine = std::make_unique<Engine>(*this, browserWindow, client, options);
    engines_.push_back(engine.get());
    return engine;
}

void Desktop::EngineGone(Engine* engine) {
    engines_.erase(std::remove(engines_.begin(), engines_.end(), engine), engines_.end());
}

}  // namespace sim
