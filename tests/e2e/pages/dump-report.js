// Tells the test what the page holds once everything has loaded: the values a dump of the
// page and of its readable frame must show, read the way the page itself sees them.
(function () {
  var read = function (doc) {
    var scripts = [];
    for (var i = 0; i < doc.scripts.length; ++i) {
      var s = doc.scripts[i];
      scripts.push({src: s.hasAttribute('src') ? s.src : '', text: s.text});
    }
    return {url: doc.URL, compatMode: doc.compatMode, doctype: doc.doctype ? doc.doctype.name : null,
            scripts: scripts, body: doc.body.innerHTML};
  };
  window.addEventListener('load', function () {
    var frames = [];
    var iframes = document.body.getElementsByTagName('iframe');
    for (var j = 0; j < iframes.length; ++j) {
      try {
        if (iframes[j].contentDocument) frames.push(read(iframes[j].contentDocument));
      } catch (e) {}
    }
    report('holds:' + JSON.stringify({page: read(document), frames: frames}));
  });
})();
