#include "engine_scripts.h"

namespace platform::desktop {

// The channel is looked up once, before the page's scripts run, so a page that replaces
// window.webkit later does not cut the host off.
const char kPageReportScript[] = R"JS((function () {
  'use strict';
  var channel = window.webkit && window.webkit.messageHandlers && window.webkit.messageHandlers.pelmarin;
  if (!channel) return;
  // Windows opened by a page share its channel; the top document's address tells them apart.
  var topAddress = function () {
    try {
      return String(window.top.location.href);
    } catch (e) {
      return String(document.referrer || '');
    }
  };
  var send = channel.postMessage.bind(channel);
  var post = function (message) {
    message.top = topAddress();
    send(message);
  };
  var describe = function (value) {
    if (typeof value === 'string') return value;
    if (value instanceof Error) return String(value);
    try {
      var json = JSON.stringify(value);
      if (json !== undefined) return json;
    } catch (e) {}
    return String(value);
  };
  if (window !== window.top) {
    post({kind: 'frameNavigate', url: String(location.href)});
    window.addEventListener('load', function () {
      post({kind: 'frameComplete', url: String(location.href)});
    });
  }
  // The engine reports a new window's geometry whole; which parts the page gave only the
  // feature text says.
  var open = window.open;
  window.open = function (url, name, features) {
    post({kind: 'open', features: features === undefined || features === null ? '' : String(features)});
    return open.apply(window, arguments);
  };
  var levels = {log: 0, info: 0, debug: 0, warn: 1, error: 2};
  Object.keys(levels).forEach(function (name) {
    var original = console[name];
    console[name] = function () {
      var parts = [];
      for (var i = 0; i < arguments.length; ++i) parts.push(describe(arguments[i]));
      post({kind: 'console', level: levels[name], text: parts.join(' '), stack: String(new Error().stack || '')});
      if (typeof original === 'function') return original.apply(console, arguments);
    };
  });
  window.addEventListener('error', function (event) {
    if (!(event instanceof ErrorEvent)) return;
    post({kind: 'error', text: String(event.message), url: String(event.filename || ''),
          line: event.lineno >>> 0, column: event.colno >>> 0});
  });
  window.addEventListener('unhandledrejection', function (event) {
    var reason = event.reason;
    post({kind: 'rejection', text: 'Uncaught (in promise) ' + describe(reason),
          stack: reason && reason.stack ? String(reason.stack) : ''});
  });
})();)JS";

const char kWindowOperationScript[] = R"JS((function () {
  'use strict';
  var channel = window.webkit && window.webkit.messageHandlers && window.webkit.messageHandlers.pelmarin;
  if (!channel) return;
  var send = channel.postMessage.bind(channel);
  var post = function (message) {
    message.top = String(location.href);
    send(message);
  };
  ['moveTo', 'moveBy', 'resizeTo', 'resizeBy'].forEach(function (op) {
    window[op] = function (a, b) {
      post({kind: 'windowOp', op: op, a: Number(a) | 0, b: Number(b) | 0});
    };
  });
})();)JS";

const char kExternalObjectScript[] = R"JS((function () {
  'use strict';
  if (!('external' in window))
    Object.defineProperty(window, 'external', {value: {}, writable: true, configurable: true});
})();)JS";

}  // namespace platform::desktop
