// Tells the test what the page's scripts did: every call becomes a request for
// /beacon?<what>, which the test's server records.
function report(what) {
  fetch('/beacon?' + encodeURIComponent(what), { cache: 'no-store' });
}
