// Text placed into markup: the characters that would end a text or an attribute value, or
// start a tag or a character reference, replaced by character references.
#pragma once

#include <string>
#include <string_view>

// & < > " ' become &amp; &lt; &gt; &quot; &#39;, so the result is the same text whether it
// stands between tags or inside a quoted attribute value.
std::u16string EscapeHtml(std::u16string_view text);
