"""What the Flash end-to-end tests share: the demo movie's description from its generator,
screenshots read as pixels, and a test case that serves the demo site and finds the movie
on the screen."""
import importlib
import sys
import subprocess
import time
from pathlib import Path

from harness.case import EndToEndTest, Settings
from harness.page_server import PageServer
from harness.waiting import wait_until

ROOT = Path(__file__).resolve().parents[2]
MOVIE_TIMEOUT = 60  # the player's WebAssembly compiles slowly on a loaded 2-core machine


def load_movie_description():
    """The generator of the demo movie: where each shape is, and its colour."""
    tools = str(ROOT / "tools/swf")
    if tools not in sys.path:
        sys.path.insert(0, tools)
    return importlib.import_module("make_demo_movie")


MOVIE = load_movie_description()


class Screen:
    """One screenshot of the whole display, as RGB rows."""

    def __init__(self, env):
        data = subprocess.run(["import", "-window", "root", "-depth", "8", "ppm:-"], env=env,
                              capture_output=True, check=True).stdout
        fields, offset = [], 0
        while len(fields) < 4:  # "P6", width, height, maximum, each ended by a blank
            end = offset
            while data[end:end + 1] not in (b" ", b"\n", b"\t", b"\r"):
                end += 1
            if end > offset:
                fields.append(data[offset:end])
            offset = end + 1
        self.width, self.height = int(fields[1]), int(fields[2])
        self.pixels = data[offset:offset + self.width * self.height * 3]

    def at(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.pixels[i:i + 3])

    def bounds_of(self, colour, tolerance=6):
        """The smallest box (left, top, right, bottom) around the pixels of that colour."""
        xs, ys = [], []
        for y in range(0, self.height, 2):
            row = self.pixels[y * self.width * 3:(y + 1) * self.width * 3]
            for x in range(0, self.width, 2):
                if all(abs(row[x * 3 + c] - colour[c]) <= tolerance for c in range(3)):
                    xs.append(x)
                    ys.append(y)
        return (min(xs), min(ys), max(xs), max(ys)) if xs else None


def close_to(actual, expected, tolerance=6):
    return all(abs(a - e) <= tolerance for a, e in zip(actual, expected))


class FlashScreenTest(EndToEndTest):
    """A test of the demo site's movie on the screen, with the site served."""

    def setUp(self):
        super().setUp()
        site = Path(Settings.program).with_name("demo-site")
        if not (site / "flash" / "demo.swf").is_file():
            self.fail(f"the demo site was not built: {site}")
        self.site = PageServer(site).start()
        self.addCleanup(self.site.stop)

    def screen(self):
        return Screen(self.sandbox.environment(self.display.name))

    def wait_for_stage(self):
        """The movie's frame on the screen once the player draws it: (left, top, scale, (width,
        height) of the space it fills).

        The player fills the space it is given with the stage's colour and shows the movie
        whole in the middle of it, its proportions kept."""
        def drawn():
            bounds = self.screen().bounds_of(MOVIE.BACKGROUND)
            # Sampled every other pixel: the box may be a pixel short on each side.
            return bounds if bounds and bounds[2] - bounds[0] >= 200 and bounds[3] - bounds[1] >= 150 else None
        left, top, right, bottom = wait_until(drawn, MOVIE_TIMEOUT, "the movie's stage on the screen")
        width, height = right - left + 1, bottom - top + 1
        scale = min(width / MOVIE.WIDTH, height / MOVIE.HEIGHT)
        return (left + (width - MOVIE.WIDTH * scale) / 2, top + (height - MOVIE.HEIGHT * scale) / 2, scale,
                (width, height))

    def assert_shapes_where_the_movie_puts_them(self, stage):
        left, top, scale, _ = stage
        screen = self.screen()
        for name, ((x, y, width, height), colour) in (("red rectangle", MOVIE.RED_RECTANGLE),
                                                      ("green square", MOVIE.GREEN_SQUARE)):
            for fx, fy in ((0.5, 0.5), (0.15, 0.15), (0.85, 0.85)):
                point = (round(left + (x + width * fx) * scale), round(top + (y + height * fy) * scale))
                with self.subTest(shape=name, point=point):
                    self.assertTrue(close_to(screen.at(*point), colour),
                                    f"{name} at {point}: {screen.at(*point)}, expected {colour}")
        between = (round(left + 200 * scale), round(top + 20 * scale))
        self.assertTrue(close_to(screen.at(*between), MOVIE.BACKGROUND), f"stage at {between}")

    def bar_left_edge(self, stage):
        """Where the yellow bar is along its row, or None when it is not on the stage."""
        left, top, scale, _ = stage
        (_, y, _, height), colour = MOVIE.YELLOW_BAR
        row = round(top + (y + height / 2) * scale)
        screen = self.screen()
        for x in range(round(left), round(left + MOVIE.WIDTH * scale)):
            if close_to(screen.at(x, row), colour):
                return x
        return None

    def assert_animation_runs(self, stage):
        seen = set()
        deadline = time.monotonic() + 10
        while len(seen) < 3 and time.monotonic() < deadline:
            position = self.bar_left_edge(stage)
            if position is not None:
                seen.add(position)
            time.sleep(0.2)
        self.assertGreaterEqual(len(seen), 3, f"the yellow bar stood at {sorted(seen)}")
