// The steps the kill-loop driver takes, shared by the driver and the test that kills it, so
// that the test knows what the settings must hold after any number of steps.
#pragma once

#include <array>
#include <string>

#include "settings/bookmark_encoding.h"

namespace kill_loop {

// Bookmarks: ten steps that add five bookmarks and remove them again in another order, and
// then start over. Names and urls fit Windows-1252 (the file the loop runs on is in it) and
// the urls are long, so that each write has a fair amount to put on the disk.
struct Step {
    bool add;
    int bookmark;
};
inline constexpr std::array<Step, 10> kCycle = {{
    {true, 0}, {true, 1}, {true, 2}, {true, 3}, {true, 4},
    {false, 2}, {false, 0}, {false, 4}, {false, 1}, {false, 3},
}};

inline Bookmark BookmarkNumber(int i) {
    const std::u16string digit(1, static_cast<char16_t>(u'0' + i));
    return {u"Caf\u00E9 \u00FCber \u20AC " + digit,
            u"https://example.test/" + digit + u"/" + std::u16string(3000, static_cast<char16_t>(u'a' + i))};
}

inline Step StepNumber(long long n) { return kCycle[static_cast<std::size_t>(n % kCycle.size())]; }

// The list after steps 0 to n-1.
inline BookmarkList BookmarksAfter(long long n) {
    BookmarkList list;
    for (long long k = n - n % static_cast<long long>(kCycle.size()); k < n; ++k) {
        const Step step = StepNumber(k);
        const Bookmark bookmark = BookmarkNumber(step.bookmark);
        if (step.add) {
            list.push_back(bookmark);
        } else {
            std::erase(list, bookmark);
        }
    }
    return list;
}

// Registry: step n sets one long text value to the text of "after n + 1 steps" (none before
// the first step).
inline constexpr char16_t kRegistryKey[] = u"Software\\Quendris\\KillLoop";
inline std::u16string RegistryText(long long n) {
    const std::string digits = std::to_string(n);
    return u"step " + std::u16string(digits.begin(), digits.end()) + u" " + std::u16string(4000, u'x');
}

}  // namespace kill_loop
