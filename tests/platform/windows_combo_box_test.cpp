// Messages of the extended combo box, as documented.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "windows_test_support.h"

namespace {

LRESULT Insert(HWND box, LONG_PTR at, const char16_t* text) {
    COMBOBOXEXITEMW item;
    item.mask = CBEIF_TEXT;
    item.iItem = at;
    item.pszText = const_cast<char16_t*>(text);
    return SendMessageW(box, CBEM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

// The item's text read with a buffer of capacity characters; nullopt when the call fails.
std::optional<std::u16string> Read(HWND box, LONG_PTR index, int capacity = 64) {
    std::vector<char16_t> buffer(static_cast<std::size_t>(capacity) + 1, u'#');
    COMBOBOXEXITEMW item;
    item.mask = CBEIF_TEXT;
    item.iItem = index;
    item.pszText = buffer.data();
    item.cchTextMax = capacity;
    if (!SendMessageW(box, CBEM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) return std::nullopt;
    EXPECT_EQ(buffer[static_cast<std::size_t>(capacity)], u'#') << "nothing written beyond cchTextMax";
    return std::u16string(buffer.data());
}

std::vector<std::u16string> Items(HWND box) {
    std::vector<std::u16string> items;
    const auto count = SendMessageW(box, CB_GETCOUNT, 0, 0);
    for (LONG_PTR i = 0; i < count; ++i) items.push_back(Read(box, i).value_or(u"?"));
    return items;
}

class WindowsComboBoxTest : public ::testing::Test {
protected:
    sim::Session session;
    HWND parent = windows_test::TopLevel(windows_test::kFramedStyle, {0, 0, 300, 200});
    HWND box = platform::CreateControlWindow(platform::WindowClass::ComboBoxEx, 0, u"", WS_VISIBLE | CBS_DROPDOWN,
                                             {0, 0, 100, 150}, parent, 1004);
    ~WindowsComboBoxTest() override { DestroyWindow(parent); }
};

TEST_F(WindowsComboBoxTest, InsertAtTheFrontOrAtTheEnd) {
    EXPECT_EQ(SendMessageW(box, CB_GETCOUNT, 0, 0), 0);
    EXPECT_EQ(Insert(box, 0, u"b"), 0);
    EXPECT_EQ(Insert(box, 0, u"a"), 0);
    EXPECT_EQ(Insert(box, -1, u"d"), 2) << "-1 appends and returns the new index";
    EXPECT_EQ(Insert(box, 2, u"c"), 2);
    EXPECT_EQ(Items(box), (std::vector<std::u16string>{u"a", u"b", u"c", u"d"}));
    EXPECT_EQ(SendMessageW(box, CB_GETCOUNT, 0, 0), 4);
}

TEST_F(WindowsComboBoxTest, DeleteReturnsTheRemainingCountOrCbErr) {
    for (const char16_t* t : {u"a", u"b", u"c"}) Insert(box, -1, t);
    EXPECT_EQ(SendMessageW(box, CBEM_DELETEITEM, 3, 0), -1) << "out of range";
    EXPECT_EQ(SendMessageW(box, CBEM_DELETEITEM, static_cast<WPARAM>(-1), 0), -1);
    EXPECT_EQ(SendMessageW(box, CBEM_DELETEITEM, 1, 0), 2);
    EXPECT_EQ(Items(box), (std::vector<std::u16string>{u"a", u"c"}));
    EXPECT_EQ(SendMessageW(box, CBEM_DELETEITEM, 1, 0), 1);
    EXPECT_EQ(SendMessageW(box, CBEM_DELETEITEM, 0, 0), 0);
    EXPECT_EQ(SendMessageW(box, CBEM_DELETEITEM, 0, 0), -1);
}

TEST_F(WindowsComboBoxTest, GetItemCutsTheTextToTheBuffer) {
    Insert(box, 0, u"abcdef");
    struct Case {
        int capacity;
        std::u16string expected;
    };
    for (const Case& c : {Case{64, u"abcdef"}, Case{7, u"abcdef"}, Case{6, u"abcde"}, Case{4, u"abc"}, Case{1, u""}})
        EXPECT_EQ(Read(box, 0, c.capacity), c.expected) << c.capacity;
    EXPECT_EQ(Read(box, 1), std::nullopt) << "no such item";
    EXPECT_EQ(SendMessageW(box, CBEM_GETITEMW, 0, 0), FALSE);
}

TEST_F(WindowsComboBoxTest, TheEditFieldIsAChildOfTheBoxAndItemMinusOneIsItsText) {
    HWND edit = reinterpret_cast<HWND>(SendMessageW(box, CBEM_GETEDITCONTROL, 0, 0));
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(GetParent(edit), box);
    SetWindowTextW(edit, u"typed text");
    EXPECT_EQ(Read(box, -1), u"typed text");
    EXPECT_EQ(Read(box, -1, 6), u"typed");
    EXPECT_EQ(SendMessageW(box, CB_GETCOUNT, 0, 0), 0) << "the edit field's text is not an item";
}

}  // namespace
