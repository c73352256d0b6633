// Says what the page's scripts see of a Flash Player, in the page and in its title, the
// way a Flash site checks for the plugin before it shows its movie.
(function () {
  'use strict';
  var type = navigator.mimeTypes && navigator.mimeTypes['application/x-shockwave-flash'];
  var plugin = type && type.enabledPlugin;
  var status = document.getElementById('player-status');
  if (type) {
    status.textContent = 'Flash Player present: ' + (plugin ? plugin.name + ', ' + plugin.description : 'a plugin') +
        ', for ' + type.type + '.';
    status.className = 'status present';
    document.title += ': Flash Player present';
  } else {
    status.textContent = 'No Flash Player: this page\'s scripts see no plugin for application/x-shockwave-flash.';
    status.className = 'status missing';
    document.title += ': no Flash Player';
  }
})();
