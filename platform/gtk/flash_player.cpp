#include "flash_player.h"

#include "com/page_player.h"
#include "com/ptr.h"
#include "crt/crt.h"
#include "gobject_ptr.h"
#include "javascript_literal.h"
#include "paths.h"

namespace platform::desktop {
namespace {

constexpr std::string_view kFilesPrefix = "pelmarin-player://flash/";

struct AvailablePlayer {
    std::string folder;  // host path
    std::string loader;  // file name in folder
};

// The folder the scheme serves: the player's of the latest view made while the class was
// available. Only the user-interface thread uses it.
std::optional<std::string>& ServedFolder() {
    static std::optional<std::string> folder;
    return folder;
}

// The Flash class's player, asked of the class itself: present only while a module has
// made the class available.
std::optional<AvailablePlayer> FindAvailablePlayer() {
    CComPtr<IPagePlayer> player;
    if (FAILED(CoCreateInstance(CLSID_FlashControl, nullptr, CLSCTX_INPROC_SERVER, IID_IPagePlayer,
                                reinterpret_cast<void**>(&player))) ||
        !player)
        return std::nullopt;
    CComBSTR folder, loader;
    if (FAILED(player->GetFolder(&folder)) || !folder.get() || FAILED(player->GetLoader(&loader)) || !loader.get())
        return std::nullopt;
    auto hostFolder = ToHostPath(folder.get());
    auto loaderName = PlayerFileName(std::string(kFilesPrefix) + text::ToUtf8(loader.get()));
    if (!hostFolder || !loaderName) return std::nullopt;
    return AvailablePlayer{*hostFolder, *loaderName};
}

// What runs in every frame: the player's settings, a Flash plugin in navigator.plugins and
// navigator.mimeTypes for the page's scripts, and the player itself, loaded only once the
// document holds an object or embed element: most frames have none, and the player's loader
// is half a megabyte of script. The settings name where the loader finds the rest of the
// player and let a movie start at once: no splash, no play button, no unmute overlay.
std::string LoaderScript(const std::string& loaderName) {
    const std::string prefix = JavaScriptStringLiteral(text::FromUtf8(kFilesPrefix));
    const std::string loader = JavaScriptStringLiteral(text::FromUtf8(std::string(kFilesPrefix) + loaderName));
    return R"JS((function () {
  'use strict';
  var own = {publicPath: )JS" + prefix + R"JS(, autoplay: 'on', unmuteOverlay: 'hidden', splashScreen: false,
             warnOnUnsupportedContent: false};
  var player = window.RufflePlayer = window.RufflePlayer || {};
  player.config = Object.assign(own, player.config || {});

  // The plugin as the player's own emulation names it, so that the player takes it for its own.
  var plugin = {name: 'Shockwave Flash', description: 'Shockwave Flash 32.0 r0', filename: 'ruffle.js'};
  var types = [{type: 'application/x-shockwave-flash', description: 'Shockwave Flash', suffixes: 'swf'},
               {type: 'application/futuresplash', description: 'Shockwave Flash', suffixes: 'spl'}];
  var list = function (entries, key, tag) {
    var made = {length: entries.length};
    entries.forEach(function (entry, index) {
      made[index] = entry;
      made[entry[key]] = entry;
    });
    made.item = function (index) { return made[index >>> 0] || null; };
    made.namedItem = function (name) { return Object.prototype.hasOwnProperty.call(made, name) ? made[name] : null; };
    made[Symbol.iterator] = function () { return entries[Symbol.iterator](); };
    made[Symbol.toStringTag] = tag;
    return made;
  };
  var existing = function (collection) {
    var entries = [];
    for (var i = 0; collection && i < collection.length; ++i) entries.push(collection[i]);
    return entries;
  };
  types.forEach(function (type, index) {
    type.enabledPlugin = plugin;
    plugin[index] = type;
    plugin[type.type] = type;
  });
  plugin.length = types.length;
  plugin.item = function (index) { return plugin[index >>> 0] || null; };
  plugin.namedItem = function (name) { return Object.prototype.hasOwnProperty.call(plugin, name) ? plugin[name] : null; };
  var plugins = list(existing(navigator.plugins).concat([plugin]), 'name', 'PluginArray');
  plugins.refresh = function () {};
  var mimeTypes = list(existing(navigator.mimeTypes).concat(types), 'type', 'MimeTypeArray');
  Object.defineProperty(navigator, 'plugins', {get: function () { return plugins; }, configurable: true});
  Object.defineProperty(navigator, 'mimeTypes', {get: function () { return mimeTypes; }, configurable: true});

  var loading = false;
  var observer;
  var load = function () {
    if (loading) return;
    loading = true;
    if (observer) observer.disconnect();
    var script = document.createElement('script');
    script.src = )JS" + loader + R"JS(;
    // Gone from the document once run: the page's own scripts are what the page holds.
    script.onload = script.onerror = function () { script.remove(); };
    (document.head || document.documentElement).appendChild(script);
  };
  var holdsContent = function (node) {
    return node.nodeType === 1 && (node.nodeName === 'OBJECT' || node.nodeName === 'EMBED' ||
                                   node.querySelector('object, embed') !== null);
  };
  // The parsed document is looked at once, then only what scripts add to it.
  var start = function () {
    if (document.querySelector('object, embed')) return load();
    observer = new MutationObserver(function (records) {
      for (var r = 0; r < records.length; ++r)
        for (var n = 0; n < records[r].addedNodes.length; ++n)
          if (holdsContent(records[r].addedNodes[n])) return load();
    });
    observer.observe(document, {childList: true, subtree: true});
  };
  if (document.readyState === 'loading') document.addEventListener('DOMContentLoaded', start);
  else start();
})();)JS";
}

const char* ContentTypeOf(const std::string& name) {
    auto endsWith = [&](std::string_view suffix) {
        return name.size() >= suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0;
    };
    if (endsWith(".js")) return "text/javascript";
    if (endsWith(".wasm")) return "application/wasm";
    return "application/octet-stream";
}

void FinishNotFound(WebKitURISchemeRequest* request, const char* uri) {
    GError* error = g_error_new(G_IO_ERROR, G_IO_ERROR_NOT_FOUND, "No player file at %s", uri ? uri : "");
    webkit_uri_scheme_request_finish_error(request, error);
    g_error_free(error);
}

void OnPlayerFileRequest(WebKitURISchemeRequest* request, gpointer) {
    const char* uri = webkit_uri_scheme_request_get_uri(request);
    const auto name = PlayerFileName(uri ? uri : "");
    const auto& folder = ServedFolder();
    if (!name || !folder) return FinishNotFound(request, uri);
    auto file = GObjectPtr<GFile>::Adopt(g_file_new_for_path((*folder + "/" + *name).c_str()));
    GError* error = nullptr;
    auto stream = GObjectPtr<GFileInputStream>::Adopt(g_file_read(file.get(), nullptr, &error));
    auto info = stream ? GObjectPtr<GFileInfo>::Adopt(g_file_input_stream_query_info(
                             stream.get(), G_FILE_ATTRIBUTE_STANDARD_SIZE, nullptr, nullptr))
                       : GObjectPtr<GFileInfo>();
    if (!stream || !info) {
        if (error) g_error_free(error);
        return FinishNotFound(request, uri);
    }
    auto response = webkit_uri_scheme_response_new(G_INPUT_STREAM(stream.get()), g_file_info_get_size(info.get()));
    webkit_uri_scheme_response_set_content_type(response, ContentTypeOf(*name));
    // Pages of every origin fetch the player's WebAssembly, which takes a CORS answer.
    SoupMessageHeaders* headers = soup_message_headers_new(SOUP_MESSAGE_HEADERS_RESPONSE);
    soup_message_headers_append(headers, "Access-Control-Allow-Origin", "*");
    webkit_uri_scheme_response_set_http_headers(response, headers);  // takes the headers
    webkit_uri_scheme_response_set_status(response, 200, nullptr);
    webkit_uri_scheme_request_finish_with_response(request, response);
    g_object_unref(response);
}

gboolean LoadMoviePage(gpointer data) {
    auto* view = WEBKIT_WEB_VIEW(data);
    if (const char* address = static_cast<const char*>(g_object_get_data(G_OBJECT(view), "pelmarin-movie"))) {
        const std::string page = MoviePage(text::FromUtf8(address));
        webkit_web_view_load_alternate_html(view, page.c_str(), address, address);
    }
    g_object_set_data(G_OBJECT(view), "pelmarin-movie", nullptr);
    g_object_unref(view);
    return G_SOURCE_REMOVE;
}

}  // namespace

std::optional<std::string> PlayerFileName(std::string_view address) {
    if (address.substr(0, kFilesPrefix.size()) != kFilesPrefix) return std::nullopt;
    std::string_view name = address.substr(kFilesPrefix.size());
    // A query or fragment the loader adds does not change the file.
    name = name.substr(0, name.find_first_of("?#"));
    if (name.empty() || name[0] == '.' || name.find_first_of("/\\%") != std::string_view::npos) return std::nullopt;
    return std::string(name);
}

bool IsMovieResponse(std::string_view mimeType, std::string_view address) {
    if (g_ascii_strcasecmp(std::string(mimeType).c_str(), kFlashMimeType) == 0 ||
        g_ascii_strcasecmp(std::string(mimeType).c_str(), "application/vnd.adobe.flash.movie") == 0)
        return true;
    // Servers that do not know the type send it as plain bytes; the name tells.
    if (mimeType != "application/octet-stream" && !mimeType.empty()) return false;
    std::string_view path = address.substr(0, address.find_first_of("?#"));
    return path.size() > 4 && g_ascii_strcasecmp(std::string(path.substr(path.size() - 4)).c_str(), ".swf") == 0;
}

std::string MoviePage(std::u16string_view movieAddress) {
    const std::string source = JavaScriptStringLiteral(movieAddress);
    // The address goes in as a script literal, so that no address can break the markup.
    return "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><style>html,body{margin:0;height:100%;"
           "background:#000;overflow:hidden}embed{display:block;width:100%;height:100%}</style></head><body>"
           "<script>(function(){var e=document.createElement('embed');e.type='application/x-shockwave-flash';e.width='100%';e.height='100%';"
           "e.src=" + source + ";document.body.appendChild(e);document.title=e.src.split('/').pop();})();</script>"
           "</body></html>";
}

void RegisterFlashPlayerScheme(WebKitWebContext* context) {
    webkit_web_context_register_uri_scheme(context, kFlashPlayerScheme, OnPlayerFileRequest, nullptr, nullptr);
    WebKitSecurityManager* security = webkit_web_context_get_security_manager(context);
    // Pages of any origin, https ones too, fetch the player's core and its WebAssembly.
    webkit_security_manager_register_uri_scheme_as_secure(security, kFlashPlayerScheme);
    webkit_security_manager_register_uri_scheme_as_cors_enabled(security, kFlashPlayerScheme);
}

void AddFlashPlayerScripts(WebKitUserContentManager* content) {
    const auto player = FindAvailablePlayer();
    if (!player) return;
    ServedFolder() = player->folder;
    const std::string script = LoaderScript(player->loader);
    WebKitUserScript* loader = webkit_user_script_new(script.c_str(), WEBKIT_USER_CONTENT_INJECT_ALL_FRAMES,
                                                      WEBKIT_USER_SCRIPT_INJECT_AT_DOCUMENT_START, nullptr, nullptr);
    webkit_user_content_manager_add_script(content, loader);
    webkit_user_script_unref(loader);
}

bool OpenMovieResponse(WebKitWebView* view, WebKitResponsePolicyDecision* decision) {
    if (!ServedFolder() || !webkit_response_policy_decision_is_main_frame_main_resource(decision)) return false;
    WebKitURIResponse* response = webkit_response_policy_decision_get_response(decision);
    const char* type = webkit_uri_response_get_mime_type(response);
    const char* address = webkit_uri_response_get_uri(response);
    if (!address || !IsMovieResponse(type ? type : "", address)) return false;
    webkit_policy_decision_ignore(WEBKIT_POLICY_DECISION(decision));
    // The page replaces the refused load once the engine has finished refusing it.
    g_object_set_data_full(G_OBJECT(view), "pelmarin-movie", g_strdup(address), g_free);
    g_idle_add(LoadMoviePage, g_object_ref(view));
    return true;
}

}  // namespace platform::desktop
