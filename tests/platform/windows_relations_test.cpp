// Relations between windows, the posted-message queue and destruction, as documented.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "windows_test_support.h"

namespace {

using windows_test::Child;
using windows_test::kFramedStyle;
using windows_test::RecordingWindow;
using windows_test::TopLevel;

constexpr RECT kRect{0, 0, 200, 100};

TEST(WindowsRelationsTest, GwChildIsTheTopOfTheZOrder) {
    sim::Session session;
    HWND parent = TopLevel(kFramedStyle, kRect);
    EXPECT_EQ(GetWindow(parent, GW_CHILD), nullptr);
    HWND a = Child(parent, kRect, 1), b = Child(parent, kRect, 2), c = Child(parent, kRect, 3);
    // As with a dialog's controls, the first one made is at the top.
    EXPECT_EQ(GetWindow(parent, GW_CHILD), a);
    EXPECT_EQ(GetWindow(a, GW_HWNDNEXT), b);
    EXPECT_EQ(GetWindow(b, GW_HWNDNEXT), c);
    EXPECT_EQ(GetWindow(c, GW_HWNDNEXT), nullptr);

    SetWindowPos(c, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_EQ(GetWindow(parent, GW_CHILD), c) << "SetWindowPos without SWP_NOZORDER brings it to the top";
    SetWindowPos(b, HWND_TOP, 5, 5, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_EQ(GetWindow(parent, GW_CHILD), c) << "SWP_NOZORDER keeps the order";
    SetWindowPos(c, a, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_EQ(GetWindow(parent, GW_CHILD), a);
    EXPECT_EQ(GetWindow(a, GW_HWNDNEXT), c) << "placed after the window given";
    EXPECT_EQ(GetWindow(a, GW_CHILD), nullptr);
    DestroyWindow(parent);
    EXPECT_EQ(GetWindow(parent, GW_CHILD), nullptr);
}

TEST(WindowsRelationsTest, GetParentIsTheParentOfAChildAndTheOwnerOfAPopup) {
    sim::Session session;
    HWND owner = TopLevel(kFramedStyle, kRect);
    HWND child = Child(owner, kRect, 1);
    HWND popup = TopLevel(kFramedStyle, kRect, owner);
    HWND fromChild = TopLevel(kFramedStyle, kRect, child);
    HWND alone = TopLevel(kFramedStyle, kRect);
    EXPECT_EQ(GetParent(child), owner);
    EXPECT_EQ(GetParent(popup), owner);
    EXPECT_EQ(GetWindow(popup, GW_OWNER), owner);
    EXPECT_EQ(GetParent(fromChild), owner) << "an owner is always a top-level window";
    EXPECT_EQ(GetParent(alone), nullptr);
    EXPECT_EQ(GetWindow(child, GW_OWNER), nullptr);
    for (HWND w : {popup, fromChild, alone, owner}) DestroyWindow(w);
}

TEST(WindowsRelationsTest, PostedMessagesArriveInTheOrderTheyWerePosted) {
    sim::Session session;
    std::vector<std::pair<std::string, UINT>> log;  // every message, in the order of arrival
    RecordingWindow first(TopLevel(kFramedStyle, kRect), &log, "first");
    RecordingWindow second(TopLevel(kFramedStyle, kRect), &log, "second");
    std::vector<std::pair<std::string, UINT>> order;
    auto posted = [&] {
        order.clear();
        for (const auto& entry : log)
            if (entry.second >= WM_USER) order.push_back(entry);
        return order.size();
    };
    EXPECT_TRUE(PostMessageW(first.m_hWnd, WM_USER + 1, 0, 0));
    EXPECT_TRUE(PostMessageW(second.m_hWnd, WM_USER + 2, 0, 0));
    EXPECT_TRUE(PostMessageW(first.m_hWnd, WM_USER + 3, 0, 0));
    EXPECT_EQ(posted(), 0u) << "nothing arrives before the loop runs";
    ASSERT_TRUE(platform::RunMessageLoop([&] { return posted() == 3; }));
    const std::vector<std::pair<std::string, UINT>> expected{
        {"first", WM_USER + 1}, {"second", WM_USER + 2}, {"first", WM_USER + 3}};
    EXPECT_EQ(order, expected);

    // A message for a window that is destroyed before the loop runs is not delivered.
    RecordingWindow doomed(TopLevel(kFramedStyle, kRect), &log, "doomed");
    HWND doomedHandle = doomed.m_hWnd;
    EXPECT_TRUE(PostMessageW(doomedHandle, WM_USER + 4, 0, 0));
    DestroyWindow(doomedHandle);
    EXPECT_TRUE(PostMessageW(first.m_hWnd, WM_USER + 5, 0, 0));
    ASSERT_TRUE(platform::RunMessageLoop([&] { return posted() == 4; }));
    EXPECT_EQ(order.back(), std::make_pair(std::string("first"), WM_USER + 5));

    SetLastError(0);
    EXPECT_FALSE(PostMessageW(doomedHandle, WM_USER, 0, 0));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

TEST(WindowsRelationsTest, DestroyingAnOwnerDestroysTheWindowsItOwnsFirst) {
    sim::Session session;
    std::vector<std::pair<std::string, UINT>> log;
    RecordingWindow owner(TopLevel(kFramedStyle, kRect), &log, "owner");
    RecordingWindow ownerChild(Child(owner.m_hWnd, kRect, 1), &log, "owner's child");
    RecordingWindow owned(TopLevel(kFramedStyle, kRect, owner.m_hWnd), &log, "owned");
    RecordingWindow ownedChild(Child(owned.m_hWnd, kRect, 1), &log, "owned's child");
    HWND stranger = TopLevel(kFramedStyle, kRect);
    const HWND handles[] = {owner.m_hWnd, ownerChild.m_hWnd, owned.m_hWnd, ownedChild.m_hWnd};

    EXPECT_TRUE(DestroyWindow(owner.m_hWnd));
    for (HWND h : handles) EXPECT_FALSE(IsWindow(h));
    EXPECT_TRUE(IsWindow(stranger)) << "a window it does not own stays";

    std::vector<std::string> destroyed;
    for (const auto& [name, message] : log)
        if (message == WM_DESTROY) destroyed.push_back(name);
    auto at = [&](const std::string& name) { return std::find(destroyed.begin(), destroyed.end(), name) - destroyed.begin(); };
    ASSERT_EQ(destroyed.size(), 4u);
    EXPECT_LT(at("owned"), at("owner")) << "owned windows go first";
    EXPECT_LT(at("owner"), at("owner's child")) << "a parent hears WM_DESTROY before its children";
    EXPECT_LT(at("owned"), at("owned's child"));
    EXPECT_EQ(owner.m_hWnd, nullptr) << "the framework object lets go of its window";

    SetLastError(0);
    EXPECT_FALSE(DestroyWindow(handles[0]));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    DestroyWindow(stranger);
}

}  // namespace
