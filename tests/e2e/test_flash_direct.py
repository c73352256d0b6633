"""A SWF movie opened directly, played alone at its own address; and the player's own
addresses, which serve nothing outside the player's folder."""
import urllib.parse

from flash_screen import FlashScreenTest
from harness import timeouts
from harness.page_server import PageServer
from harness.waiting import wait_until


class FlashDirectTest(FlashScreenTest):
    def test_a_movie_opened_directly_plays_at_its_own_address(self):
        address = self.site.url("flash/demo.swf")
        program = self.start_pelmarin("/URL", address)
        window = program.wait_for_main_window()
        stage = self.wait_for_stage()
        # The movie fills the page area, scaled with its proportions kept.
        self.assertGreater(stage[2], 1.5, f"stage {stage}: not shown whole in the window")
        window.wait_for_address(address)
        self.assertEqual(window.page_title(), "demo.swf")
        self.assert_no_dialog(program)  # no download question in particular
        self.assert_shapes_where_the_movie_puts_them(stage)
        self.assert_animation_runs(stage)

    def test_player_addresses_serve_only_the_players_files(self):
        probes = {
            "pelmarin-player://flash/ruffle.js": "ok",
            "pelmarin-player://flash/../MOXVE32_24.ocx": "refused",
            "pelmarin-player://flash/..%2FMOXVE32_24.ocx": "refused",
            "pelmarin-player://flash/sub/ruffle.js": "refused",
            "pelmarin-player://other/ruffle.js": "refused",
        }
        pages = self.work / "probe-pages"
        pages.mkdir()
        (pages / "probe.html").write_text("""<!DOCTYPE html><title>probe</title><script>
            const probes = %s;
            (async () => {
              const results = [];
              for (const address of probes) {
                try {
                  const response = await fetch(address);
                  results.push(response.ok && (await response.text()).length > 0 ? 'ok' : 'status');
                } catch (error) {
                  results.push('refused');
                }
              }
              fetch('/beacon?' + encodeURIComponent(results.join(',')));
            })();
            </script>""" % repr(list(probes)).replace("'", '"'))
        server = PageServer(pages).start()
        self.addCleanup(server.stop)
        program = self.start_pelmarin("/URL", server.url("probe.html"))
        program.wait_for_main_window()
        beacon = wait_until(lambda: server.beacons(), timeouts.PAGE_LOAD, "the probe page's results")[0]
        self.assertEqual(dict(zip(probes, urllib.parse.unquote(beacon).split(","))), probes)
