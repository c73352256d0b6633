// Keys, message boxes and the shell: what reaches the program, and what the user sees.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "desktop_fixture.h"
#include "message_box_dialog.h"

namespace platform::desktop::testing {
namespace {

using Key = KeyRecorder::Key;

class GtkKeyTest : public DesktopTest {
protected:
    void SetUp() override {
        DesktopTest::SetUp();
        if (IsSkipped()) return;
        window_ = MakeTopLevel(RECT{0, 0, 400, 300});
        edit_ = MakeChild(window_, WindowClass::Edit, RECT{10, 10, 200, 34});
        recorder_.Attach(window_);
        ASSERT_TRUE(WaitUntil([&] { return gtk_widget_get_mapped(WidgetOf(edit_)); }));
        SetFocus(edit_);
        Pump(std::chrono::milliseconds(50));
    }
    void TearDown() override {
        if (recorder_.m_hWnd) recorder_.Detach();
        DesktopTest::TearDown();
    }
    void Type(std::initializer_list<std::pair<int, bool>> keys) {
        for (auto [code, up] : keys) CurrentBackend().SynthesizeKey(code, up);
        Pump(std::chrono::milliseconds(150));
    }
    std::string EditText() { return gtk_entry_get_text(GTK_ENTRY(WidgetOf(edit_))); }

    HWND window_ = nullptr, edit_ = nullptr;
    KeyRecorder recorder_;
};

TEST_F(GtkKeyTest, SynthesizedKeysReachTheProgramAsTypedKeysWithModifierState) {
    Type({{VK_CONTROL, false}, {'N', false}, {'N', true}, {VK_CONTROL, true}});
    std::vector<Key> expected{{WM_KEYDOWN, VK_CONTROL, false, true},
                              {WM_KEYDOWN, 'N', false, true},
                              {WM_KEYUP, 'N', false, true},
                              {WM_KEYUP, VK_CONTROL, false, false}};
    EXPECT_EQ(recorder_.keys, expected);
    EXPECT_FALSE(CurrentBackend().IsKeyDown(VK_CONTROL));
    EXPECT_FALSE(CurrentBackend().IsKeyDown('N'));
}

TEST_F(GtkKeyTest, HeldKeysRepeatAndAltMakesSystemKeys) {
    Type({{'A', false}, {'A', false}, {'A', true}, {VK_MENU, false}, {'F', false}, {'F', true}, {VK_MENU, true}});
    std::vector<Key> expected{{WM_KEYDOWN, 'A', false, false},    {WM_KEYDOWN, 'A', true, false},
                              {WM_KEYUP, 'A', false, false},      {WM_SYSKEYDOWN, VK_MENU, false, false},
                              {WM_SYSKEYDOWN, 'F', false, false}, {WM_SYSKEYUP, 'F', false, false},
                              {WM_SYSKEYUP, VK_MENU, false, false}};
    EXPECT_EQ(recorder_.keys, expected);
}

TEST_F(GtkKeyTest, KeysTheProgramTakesNeverReachTheWidget) {
    recorder_.consume = {'X', VK_F11};
    Type({{'X', false}, {'X', true}, {'Y', false}, {'Y', true}, {VK_F11, false}, {VK_F11, true}});
    EXPECT_EQ(EditText(), "y");
    ASSERT_EQ(recorder_.keys.size(), 6u);
    EXPECT_EQ(recorder_.keys[4], (Key{WM_KEYDOWN, VK_F11, false, false}));
}

TEST_F(GtkKeyTest, AltF4LeftByTheProgramAsksTheWindowToClose) {
    Type({{VK_MENU, false}, {VK_F4, false}, {VK_F4, true}, {VK_MENU, true}});
    RunMessages(std::chrono::milliseconds(100));
    // WM_CLOSE on a dialog becomes its Cancel command.
    EXPECT_EQ(recorder_.commands, (std::vector<UINT>{IDCANCEL}));
    recorder_.commands.clear();
    recorder_.consume = {VK_F4};
    Type({{VK_MENU, false}, {VK_F4, false}, {VK_F4, true}, {VK_MENU, true}});
    RunMessages(std::chrono::milliseconds(100));
    EXPECT_TRUE(recorder_.commands.empty());
}

TEST_F(GtkKeyTest, ShiftedSymbolsAreTheirKeysCode) {
    Type({{VK_SHIFT, false}, {VK_OEM_PLUS, false}, {VK_OEM_PLUS, true}, {VK_SHIFT, true}});
    ASSERT_EQ(recorder_.keys.size(), 4u);
    EXPECT_EQ(recorder_.keys[1].virtualKey, VK_OEM_PLUS);
    EXPECT_EQ(EditText(), "+");
}

// Answers the message box that is showing, once it is there, the way a user would.
struct Answer {
    GtkResponseType response;  // GTK_RESPONSE_DELETE_EVENT: the dialog is closed
    std::string seenTitle, seenText;
    bool transient = false;
    bool answered = false;
};

gboolean AnswerWhenShown(gpointer data) {
    auto* answer = static_cast<Answer*>(data);
    GList* windows = gtk_window_list_toplevels();
    GtkWidget* dialog = nullptr;
    for (GList* w = windows; w; w = w->next)
        if (GTK_IS_MESSAGE_DIALOG(w->data) && gtk_widget_get_mapped(GTK_WIDGET(w->data))) dialog = GTK_WIDGET(w->data);
    g_list_free(windows);
    if (!dialog) return G_SOURCE_CONTINUE;
    answer->seenTitle = gtk_window_get_title(GTK_WINDOW(dialog));
    gchar* text = nullptr;
    g_object_get(dialog, "text", &text, nullptr);
    answer->seenText = text ? text : "";
    g_free(text);
    answer->transient = gtk_window_get_transient_for(GTK_WINDOW(dialog)) != nullptr;
    answer->answered = true;
    if (answer->response == GTK_RESPONSE_DELETE_EVENT) gtk_window_close(GTK_WINDOW(dialog));
    else gtk_dialog_response(GTK_DIALOG(dialog), answer->response);
    return G_SOURCE_REMOVE;
}

class GtkMessageBoxTest : public DesktopTest {};

TEST_F(GtkMessageBoxTest, TheUsersAnswerIsTheResult) {
    HWND owner = MakeTopLevel(RECT{0, 0, 400, 300});
    ASSERT_TRUE(WaitUntil([&] { return gtk_widget_get_mapped(WidgetOf(owner)); }));
    struct Case {
        UINT type;
        GtkResponseType response;
        int result;
    };
    const Case cases[] = {
        {MB_OK, GTK_RESPONSE_OK, IDOK},
        {MB_OK | MB_ICONWARNING, GTK_RESPONSE_DELETE_EVENT, IDOK},
        {MB_OKCANCEL | MB_ICONQUESTION, GTK_RESPONSE_OK, IDOK},
        {MB_OKCANCEL | MB_ICONQUESTION, GTK_RESPONSE_CANCEL, IDCANCEL},
        {MB_OKCANCEL, GTK_RESPONSE_DELETE_EVENT, IDCANCEL},
        {MB_YESNO | MB_ICONERROR, GTK_RESPONSE_NO, IDNO},
        {MB_YESNOCANCEL | MB_ICONINFORMATION, GTK_RESPONSE_YES, IDYES},
    };
    for (const Case& c : cases) {
        Answer answer{c.response, {}, {}, false, false};
        guint source = g_timeout_add(20, AnswerWhenShown, &answer);
        int result = CurrentBackend().MessageBox(owner, u"Do you want to allow this? \u00e9", u"Message", c.type);
        if (!answer.answered) g_source_remove(source);
        EXPECT_EQ(result, c.result) << std::hex << c.type << " response " << std::dec << c.response;
        EXPECT_EQ(answer.seenTitle, "Message");
        EXPECT_EQ(answer.seenText, "Do you want to allow this? \xc3\xa9");
        EXPECT_TRUE(answer.transient);
    }
}

TEST_F(GtkMessageBoxTest, WithoutAnOwnerTheBoxBelongsToTheWindowInUse) {
    HWND window = MakeTopLevel(RECT{0, 0, 400, 300});
    ASSERT_TRUE(WaitUntil([&] { return gtk_widget_get_mapped(WidgetOf(window)); }));
    Answer answer{GTK_RESPONSE_CANCEL, {}, {}, false, false};
    guint source = g_timeout_add(20, AnswerWhenShown, &answer);
    EXPECT_EQ(CurrentBackend().MessageBox(nullptr, u"Text", u"Caption", MB_OKCANCEL), IDCANCEL);
    if (!answer.answered) g_source_remove(source);
    EXPECT_TRUE(answer.transient);
}

class GtkShellTest : public DesktopTest {
protected:
    void SetUp() override {
        DesktopTest::SetUp();
        if (IsSkipped()) return;
        const char* base = std::getenv("PELMARIN_TEST_TMP");
        folder_ = std::string(base ? base : "/tmp") + "/gtk-shell-" + std::to_string(getpid());
        std::filesystem::create_directories(folder_ + "/bin");
        record_ = folder_ + "/opened.txt";
        std::filesystem::remove(record_);
        std::ofstream script(folder_ + "/bin/xdg-open");
        script << "#!/bin/sh\nprintf '%s|%s\\n' \"$#\" \"$1\" >> '" << record_ << "'\n";
        script.close();
        std::filesystem::permissions(folder_ + "/bin/xdg-open", std::filesystem::perms::owner_all);
        const char* path = std::getenv("PATH");
        savedPath_ = path ? path : "";
        setenv("PATH", (folder_ + "/bin:" + savedPath_).c_str(), 1);
    }
    void TearDown() override {
        if (!savedPath_.empty()) setenv("PATH", savedPath_.c_str(), 1);
        DesktopTest::TearDown();
    }
    std::string Opened() {
        WaitUntil([&] { return std::filesystem::exists(record_); }, std::chrono::seconds(5));
        Pump(std::chrono::milliseconds(100));
        std::ifstream in(record_);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    std::string folder_, record_, savedPath_;
};

TEST_F(GtkShellTest, AddressesAndPathsGoToTheDesktopsOpener) {
    EXPECT_TRUE(CurrentBackend().OpenWithDesktop(u"mailto:someone@example.org?subject=a b"));
    EXPECT_EQ(Opened(), "1|mailto:someone@example.org?subject=a b\n");
    std::filesystem::remove(record_);
    EXPECT_TRUE(CurrentBackend().OpenWithDesktop(u"Z:\\tmp\\Logs folder"));
    EXPECT_EQ(Opened(), "1|/tmp/Logs folder\n");
}

TEST_F(GtkShellTest, WhatCannotBeOpenedIsReportedAsSuch) {
    EXPECT_FALSE(CurrentBackend().OpenWithDesktop(u""));
    EXPECT_FALSE(CurrentBackend().OpenWithDesktop(u"C:\\Windows\\notepad.exe"));
    setenv("PATH", (folder_ + "/empty").c_str(), 1);
    EXPECT_FALSE(CurrentBackend().OpenWithDesktop(u"https://example.org/"));
    Pump(std::chrono::milliseconds(100));
    EXPECT_FALSE(std::filesystem::exists(record_));
}

}  // namespace
}  // namespace platform::desktop::testing
