#!/usr/bin/env python3
"""Writes the demo site's movie: an uncompressed SWF file made from the public file format.

    make_demo_movie.py OUTPUT.swf

The movie (400 x 300 pixels, 12 frames a second, 24 frames) has a dark blue stage, a red
rectangle and a green square that stay where they are, and a yellow bar that moves from the
left edge to the right one, a step a frame. A frame script on the last frame goes back to
the second frame, so the first frame's white square shows only once, when the movie starts.
Where each shape is, and its colour, is exported below for the tests that look at the screen.
"""
import struct
import sys

TWIPS = 20  # twips per pixel
WIDTH, HEIGHT = 400, 300
FRAME_RATE = 12
FRAME_COUNT = 24
VERSION = 8  # frame scripts in the first ActionScript's form

BACKGROUND = (0x1E, 0x3A, 0x8A)
# name: (x, y, width, height) in pixels, colour
RED_RECTANGLE = ((30, 40, 140, 90), (0xE0, 0x20, 0x20))
GREEN_SQUARE = ((250, 40, 110, 110), (0x20, 0xC0, 0x40))
YELLOW_BAR = ((0, 200, 40, 60), (0xF0, 0xC0, 0x20))  # at its first position
WHITE_SQUARE = ((180, 140, 40, 40), (0xFF, 0xFF, 0xFF))  # the first frame only
BAR_STEP = (WIDTH - YELLOW_BAR[0][2]) // (FRAME_COUNT - 1)  # pixels a frame

# Tag codes
END, SHOW_FRAME, DEFINE_SHAPE, SET_BACKGROUND_COLOR, DO_ACTION = 0, 1, 2, 9, 12
PLACE_OBJECT2, REMOVE_OBJECT2, FILE_ATTRIBUTES = 26, 28, 69
# Action codes
ACTION_END, ACTION_PLAY, ACTION_GOTO_FRAME = 0x00, 0x06, 0x81


class Bits:
    """Bit fields, most significant bit first, as the format packs them."""

    def __init__(self):
        self.bytes = bytearray()
        self.used = 0  # bits used in the last byte

    def unsigned(self, value, count):
        if value < 0 or value >= 1 << count:
            raise ValueError(f"{value} does not fit {count} bits")
        for shift in range(count - 1, -1, -1):
            if self.used == 0:
                self.bytes.append(0)
            self.bytes[-1] |= ((value >> shift) & 1) << (7 - self.used)
            self.used = (self.used + 1) % 8

    def signed(self, value, count):
        if not -(1 << (count - 1)) <= value < 1 << (count - 1):
            raise ValueError(f"{value} does not fit {count} signed bits")
        self.unsigned(value & ((1 << count) - 1), count)

    def align(self):
        self.used = 0
        return bytes(self.bytes)


def signed_bits(*values):
    """The fewest bits that hold each value as a signed field."""
    return max(max(v.bit_length() for v in values) + 1, 1)


def rect(x_min, x_max, y_min, y_max):
    count = signed_bits(x_min, x_max, y_min, y_max)
    bits = Bits()
    bits.unsigned(count, 5)
    for value in (x_min, x_max, y_min, y_max):
        bits.signed(value, count)
    return bits.align()


def translation(x, y):
    """A MATRIX that only moves."""
    bits = Bits()
    bits.unsigned(0, 1)  # no scale
    bits.unsigned(0, 1)  # no rotation
    count = signed_bits(x, y)
    bits.unsigned(count, 5)
    bits.signed(x, count)
    bits.signed(y, count)
    return bits.align()


def tag(code, body=b""):
    if len(body) < 0x3F:
        return struct.pack("<H", code << 6 | len(body)) + body
    return struct.pack("<HI", code << 6 | 0x3F, len(body)) + body


def define_rectangle(shape_id, width, height, colour):
    """A solid rectangle with its top left corner at the shape's origin."""
    w, h = width * TWIPS, height * TWIPS
    body = struct.pack("<H", shape_id) + rect(0, w, 0, h)
    body += bytes([1, 0x00, *colour])  # one fill style: solid, RGB
    body += bytes([0])  # no line styles
    bits = Bits()
    bits.unsigned(1, 4)  # fill style index bits
    bits.unsigned(0, 4)  # line style index bits
    # Style change: fill style 1 (the right-hand side of each edge), move to the origin.
    bits.unsigned(0, 1)
    bits.unsigned(0b00101, 5)  # new styles, line style, fill 1, fill 0, move to
    bits.unsigned(1, 5)
    bits.signed(0, 1)
    bits.signed(0, 1)
    bits.unsigned(1, 1)  # fill style 1
    # Clockwise on a screen whose y grows downwards: right, down, left, up.
    for dx, dy in ((w, 0), (0, h), (-w, 0), (0, -h)):
        count = signed_bits(dx, dy)
        bits.unsigned(1, 1)  # edge
        bits.unsigned(1, 1)  # straight
        bits.unsigned(count - 2, 4)
        bits.unsigned(0, 1)  # not a general line
        bits.unsigned(1 if dx == 0 else 0, 1)  # vertical?
        bits.signed(dy if dx == 0 else dx, count)
    bits.unsigned(0, 6)  # end of shape
    return tag(DEFINE_SHAPE, body + bits.align())


def place(depth, x, y, shape_id=None):
    """PlaceObject2: a new shape at depth, or (without shape_id) the one there moved."""
    flags = 0x04 | (0x02 if shape_id is not None else 0x01)
    body = struct.pack("<BH", flags, depth)
    if shape_id is not None:
        body += struct.pack("<H", shape_id)
    return tag(PLACE_OBJECT2, body + translation(x * TWIPS, y * TWIPS))


def goto_and_play(frame_index):
    actions = bytes([ACTION_GOTO_FRAME]) + struct.pack("<HH", 2, frame_index)
    return tag(DO_ACTION, actions + bytes([ACTION_PLAY, ACTION_END]))


def movie():
    shapes = [RED_RECTANGLE, GREEN_SQUARE, YELLOW_BAR, WHITE_SQUARE]
    tags = [tag(FILE_ATTRIBUTES, struct.pack("<I", 0)), tag(SET_BACKGROUND_COLOR, bytes(BACKGROUND))]
    for shape_id, ((_, _, w, h), colour) in enumerate(shapes, start=1):
        tags.append(define_rectangle(shape_id, w, h, colour))
    for depth, ((x, y, _, _), _) in enumerate(shapes, start=1):
        tags.append(place(depth, x, y, shape_id=depth))
    tags.append(tag(SHOW_FRAME))
    tags.append(tag(REMOVE_OBJECT2, struct.pack("<H", 4)))  # the white square goes
    bar_x, bar_y = YELLOW_BAR[0][0], YELLOW_BAR[0][1]
    for frame in range(1, FRAME_COUNT):
        tags.append(place(3, bar_x + frame * BAR_STEP, bar_y))
        if frame == FRAME_COUNT - 1:
            tags.append(goto_and_play(1))  # frame indexes count from 0
        tags.append(tag(SHOW_FRAME))
    tags.append(tag(END))

    body = rect(0, WIDTH * TWIPS, 0, HEIGHT * TWIPS) + struct.pack("<HH", FRAME_RATE << 8, FRAME_COUNT)
    body += b"".join(tags)
    return b"FWS" + bytes([VERSION]) + struct.pack("<I", 8 + len(body)) + body


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    data = movie()
    with open(sys.argv[1], "wb") as out:
        out.write(data)


if __name__ == "__main__":
    main()
