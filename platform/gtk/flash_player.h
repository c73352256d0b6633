// SWF content in pages, played by the Flash control's player when a module has made the
// Flash class available to this process. The player's files reach pages from the control's
// folder through a scheme of the layer's own, never from the network. A small loader runs
// in every frame before the page's scripts: pages see a Flash plugin, and the player itself
// is loaded into the frames that hold object or embed elements, which then play. Without
// the class, pages get nothing of it.
#pragma once

#include "webkit_toolkit.h"

#include <optional>
#include <string>
#include <string_view>

namespace platform::desktop {

inline constexpr char kFlashPlayerScheme[] = "pelmarin-player";
inline constexpr char kFlashMimeType[] = "application/x-shockwave-flash";

// Once, before the first view: the scheme that serves the player's files.
void RegisterFlashPlayerScheme(WebKitWebContext* context);

// Adds the player's loader to every frame of the views that use content, when the Flash
// class is available now; nothing otherwise.
void AddFlashPlayerScripts(WebKitUserContentManager* content);

// A top-level response that is a SWF movie: shown in a page of its own, at the movie's
// address, when the player is there. True when the response was taken so.
bool OpenMovieResponse(WebKitWebView* view, WebKitResponsePolicyDecision* decision);

// The file a player address names ("pelmarin-player://flash/ruffle.js" -> "ruffle.js"), or
// nullopt when it names anything but one plain file of the player's folder.
std::optional<std::string> PlayerFileName(std::string_view address);
// Whether a response of that type at that address is a SWF movie.
bool IsMovieResponse(std::string_view mimeType, std::string_view address);
// The page that plays the movie at that address, whole in the window.
std::string MoviePage(std::u16string_view movieAddress);

}  // namespace platform::desktop
