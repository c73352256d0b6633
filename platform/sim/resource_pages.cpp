// The program's own HTML resources as pages of the simulated engine, at their res: address.
#include "crt/crt.h"
#include "markup_parser.h"
#include "resource_address.h"
#include "sim/desktop.h"

namespace sim {

const Page* Desktop::PageFor(const std::u16string& url) {
    if (const Page* added = FindPage(url)) return added;
    auto resource = platform::LoadResourceAtAddress(url);
    if (!resource || resource->mimeType != "text/html") return nullptr;
    std::string bytes(resource->data.begin(), resource->data.end());
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) bytes.erase(0, 3);  // the UTF-8 byte-order mark
    std::u16string html = text::FromUtf8(bytes);
    DocumentParts parts = SplitDocument(html);
    Page page;
    page.title = parts.title;
    page.body = parts.body;
    if (html.find(u"<!DOCTYPE html>") == std::u16string::npos && html.find(u"<!doctype html>") == std::u16string::npos)
        page.doctype.reset();
    // Kept with the added pages so that the engine's pointer stays valid; a later load of
    // the address reads the resource again.
    pages_[u"\x01res\x01" + url] = std::move(page);
    return &pages_[u"\x01res\x01" + url];
}

}  // namespace sim
