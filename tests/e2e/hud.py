"""Where the HUD draws its texts in an 800 x 600 window, and how to tell
whether a text cell holds a glyph. Texts are drawn additively, so a glyph
makes its pixels brighter than the same pixels without it: cells are
compared with a screenshot taken before the text appeared (the camera does
not move in between). Without such a baseline, near-white pixels count."""

WIDTH, HEIGHT = 800, 600
BRIGHTER = 90    # sum of the three channels a glyph adds at least


def cell_box(x, y, size, index):
    """Screen box (x0, y0, x1, y1) of character index of a text placed at
    (x, y) in window pixels from the lower-left corner; y0 is the top row."""
    left = x + index * size
    return left, HEIGHT - (y + size), left + size, HEIGHT - y


TEXTS = {
    "lives": (WIDTH - 128, HEIGHT - 64, 40),
    "big": (int(WIDTH / 4.5), HEIGHT - HEIGHT // 3, (60 * WIDTH) // 800),
    "restart": (int(WIDTH / 6.5), HEIGHT - HEIGHT // 2, (40 * WIDTH) // 800),
    "sampling": (15, HEIGHT - 25, 15),
    "mipmap": (15, HEIGHT - 50, 15),
    "transparency": (15, HEIGHT - 75, 15),
    "digits": (15, HEIGHT - 100, 15),
    "frames": (80, HEIGHT - 100, 15),
}


def ink_pixels(image, box, baseline=None):
    if baseline is None:
        return sum(1 for p in image.region(*box) if min(p) >= 235)
    return sum(1 for p, q in zip(image.region(*box), baseline.region(*box)) if sum(p) - sum(q) >= BRIGHTER)


def has_glyph(image, text, index, baseline=None):
    """Does character index of the named text's cell hold ink?"""
    x, y, size = TEXTS[text]
    return ink_pixels(image, cell_box(x, y, size, index), baseline) >= max(4, size * size // 40)


def glyph_count(image, text, cells, baseline=None):
    return sum(1 for i in range(cells) if has_glyph(image, text, i, baseline))


def hearts(image):
    """How many of the three heart cells hold a glyph."""
    return glyph_count(image, "lives", 3)
