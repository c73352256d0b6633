"""The demo site's Flash pages through the Flash module beside the program: the movie in an
object element and in an embed element, looked at on the screen where the movie is, and
what the page's scripts see of the plugin (navigator.mimeTypes)."""
from flash_screen import MOVIE, FlashScreenTest


class FlashPagesTest(FlashScreenTest):
    def test_object_and_embed_pages_play_the_movie_and_scripts_see_the_plugin(self):
        for page, title in (("flash/index.html", "Flash demo: Flash Player present"),
                            ("flash/embed.html", "Flash demo: embed: Flash Player present")):
            with self.subTest(page=page):
                program = self.start_pelmarin("/URL", self.site.url(page))
                window = program.wait_for_main_window()
                window.wait_for_address(self.site.url(page))
                # The page's title says what navigator.mimeTypes held for the Flash type.
                window.wait_for_page_title(title)
                stage = self.wait_for_stage()
                # The elements are as large as the movie: it shows at its own size.
                self.assertAlmostEqual(stage[3][0], MOVIE.WIDTH, delta=3, msg=f"stage {stage}")
                self.assertAlmostEqual(stage[3][1], MOVIE.HEIGHT, delta=3, msg=f"stage {stage}")
                self.assert_shapes_where_the_movie_puts_them(stage)
                self.assert_animation_runs(stage)
                self.close_and_expect_clean_exit(program, window)
