#!/usr/bin/env bash
# Installs what is missing, builds Pelmarin (Release, in build/) and opens it on the
# Flash demo page of the local site (build/demo-site: the pages of site/ and the movie the
# build makes), served on 127.0.0.1 for as long as Pelmarin runs.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.sh"

pelmarin_install_missing_packages
# Release at -O2: at CMake's -O3, GCC 12 raises false -Wrestrict and -Wmaybe-uninitialized
# warnings inside the standard library, which warnings-as-errors would stop on.
pelmarin_build "$PELMARIN_ROOT/build" Release "-DCMAKE_CXX_FLAGS_RELEASE=-O2 -DNDEBUG" \
  "-DCMAKE_C_FLAGS_RELEASE=-O2 -DNDEBUG"

if [ -z "${DISPLAY:-}" ]; then
  cat >&2 <<'TEXT'
Pelmarin is built (build/Pelmarin), but there is no display to open it on: $DISPLAY is not set.
Run this command from a graphical session, or under a virtual X server:

    xvfb-run -a -s '-screen 0 1280x1024x24' scripts/start.sh

(xvfb-run comes with the xvfb package installed above; add x11vnc or take screenshots
with "import -window root shot.png" to see the virtual screen.)
TEXT
  exit 2
fi

port_file="$(mktemp)"
server_pid=""
stop_server() {
  if [ -n "$server_pid" ]; then
    kill "$server_pid" 2>/dev/null || true
    wait "$server_pid" 2>/dev/null || true
  fi
  rm -f "$port_file"
}
trap stop_server EXIT

# The built-in start address needs the internet; a local server for the demo site on a
# free port of 127.0.0.1 stands in for it.
/usr/bin/python3 - "$PELMARIN_ROOT/build/demo-site" "$port_file" <<'PY' &
import functools, http.server, sys
site, port_file = sys.argv[1], sys.argv[2]
class Quiet(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass
server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), functools.partial(Quiet, directory=site))
with open(port_file, "w") as out:
    out.write(str(server.server_address[1]))
server.serve_forever()
PY
server_pid=$!

for _ in $(seq 1 100); do
  [ -s "$port_file" ] && break
  sleep 0.1
done
if [ ! -s "$port_file" ]; then
  echo "The local server for build/demo-site did not start." >&2
  exit 1
fi
start_address="http://127.0.0.1:$(cat "$port_file")/flash/index.html"

pelmarin_log "Opening Pelmarin on $start_address"
status=0
"$PELMARIN_ROOT/build/Pelmarin" /URL "$start_address" || status=$?
exit "$status"
