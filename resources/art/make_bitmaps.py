#!/usr/bin/env python3
"""Draws the band's image strips and writes them as 24-bit .bmp files.

Every image is 16 x 16 pixels, drawn from plain shapes with hard edges:
magenta (255, 0, 255) is the transparent colour of every strip, so no pixel
may blend into it. The strips:

    toolbar_203.bmp      23 images of the menu bar's commands, in the order
                         of the command table of the menu bar
    list_glyphs_210.bmp  the list's sort marks and check boxes (6 images)
    row_images_212.bmp   the rows' images (9)
    menu_images_227.bmp  the context menus' images (7)

The output is kept in the tree, so the build never runs this script; run it
again after changing the art:

    python3 resources/art/make_bitmaps.py
"""

import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
SIZE = 16
MAGENTA = (255, 0, 255)

# The palette every picture draws from, so that the strips look like one set.
INK = (52, 62, 84)          # outlines
PAGE = (252, 252, 248)
PAGE_SHADE = (214, 220, 230)
LINE = (150, 165, 190)      # text lines on a page
BLUE = (58, 116, 200)
LIGHT_BLUE = (150, 195, 240)
DARK_BLUE = (30, 70, 140)
GREEN = (52, 150, 72)
LIGHT_GREEN = (150, 215, 140)
RED = (200, 50, 40)
ORANGE = (232, 140, 36)
YELLOW = (246, 206, 70)
FOLDER = (236, 190, 80)
FOLDER_DARK = (176, 128, 36)
COOKIE = (205, 150, 80)
COOKIE_DARK = (120, 76, 32)
GREY = (128, 132, 140)
LIGHT_GREY = (200, 204, 210)
WHITE = (255, 255, 255)
PURPLE = (130, 80, 170)


class Image:
    """One 16 x 16 picture; pixels start transparent."""

    def __init__(self):
        self.pixels = [[MAGENTA] * SIZE for _ in range(SIZE)]

    def put(self, x, y, colour):
        if 0 <= x < SIZE and 0 <= y < SIZE:
            self.pixels[y][x] = colour

    def fill(self, x0, y0, x1, y1, colour):
        """Inclusive rectangle."""
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.put(x, y, colour)

    def frame(self, x0, y0, x1, y1, colour):
        for x in range(x0, x1 + 1):
            self.put(x, y0, colour)
            self.put(x, y1, colour)
        for y in range(y0, y1 + 1):
            self.put(x0, y, colour)
            self.put(x1, y, colour)

    def box(self, x0, y0, x1, y1, fill, outline=INK):
        self.fill(x0, y0, x1, y1, fill)
        self.frame(x0, y0, x1, y1, outline)

    def line(self, x0, y0, x1, y1, colour):
        steps = max(abs(x1 - x0), abs(y1 - y0), 1)
        for i in range(steps + 1):
            self.put(round(x0 + (x1 - x0) * i / steps), round(y0 + (y1 - y0) * i / steps), colour)

    def disc(self, cx, cy, radius, colour):
        """Pixels whose centres lie within radius of (cx, cy)."""
        for y in range(SIZE):
            for x in range(SIZE):
                if (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2 <= radius ** 2:
                    self.put(x, y, colour)

    def ring(self, cx, cy, radius, colour, width=1.0):
        for y in range(SIZE):
            for x in range(SIZE):
                d = math.hypot(x + 0.5 - cx, y + 0.5 - cy)
                if radius - width < d <= radius:
                    self.put(x, y, colour)

    def outlined_disc(self, cx, cy, radius, fill, outline=INK):
        self.disc(cx, cy, radius, outline)
        self.disc(cx, cy, radius - 1, fill)

    def polygon(self, points, colour):
        for y in range(SIZE):
            for x in range(SIZE):
                px, py = x + 0.5, y + 0.5
                inside = False
                for (ax, ay), (bx, by) in zip(points, points[1:] + points[:1]):
                    if (ay > py) != (by > py) and px < ax + (py - ay) * (bx - ax) / (by - ay):
                        inside = not inside
                if inside:
                    self.put(x, y, colour)


# ---- pieces shared by several pictures ----

def page(img, x0=2, y0=0, x1=12, y1=15, lines=True):
    """A sheet with a folded top-right corner."""
    img.fill(x0, y0, x1, y1, PAGE)
    img.frame(x0, y0, x1, y1, INK)
    for i in range(3):  # the fold
        for j in range(3 - i):
            img.put(x1 - j, y0 + i, MAGENTA)
    img.line(x1 - 3, y0, x1 - 3, y0 + 3, INK)
    img.line(x1 - 3, y0 + 3, x1, y0 + 3, INK)
    img.line(x1 - 3, y0, x1, y0 + 3, INK)
    img.fill(x1 - 2, y0 + 2, x1 - 2, y0 + 2, PAGE_SHADE)
    if lines:
        for y in range(y0 + 5, y1 - 1, 2):
            img.line(x0 + 2, y, x1 - 2, y, LINE)


def clock(img, cx, cy, radius=4.5):
    img.outlined_disc(cx, cy, radius, WHITE, DARK_BLUE)
    x, y = int(cx), int(cy)
    img.line(x, y, x, y - 2, INK)
    img.line(x, y, x + 2, y, INK)


def cookie(img, cx=8, cy=8, radius=6.5):
    img.outlined_disc(cx, cy, radius, COOKIE, COOKIE_DARK)
    for dx, dy in ((-2, -2), (2, -1), (-1, 2), (2, 3), (-3, 1), (0, -4)):
        img.put(int(cx + dx), int(cy + dy), COOKIE_DARK)
    img.put(int(cx + 3), int(cy - 3), (230, 190, 130))


def globe(img, cx=8, cy=8, radius=6.5):
    img.outlined_disc(cx, cy, radius, LIGHT_BLUE, DARK_BLUE)
    # land
    img.polygon([(cx - 4, cy - 3), (cx - 1, cy - 4), (cx, cy - 1), (cx - 2, cy + 1), (cx - 4, cy)], GREEN)
    img.polygon([(cx + 1, cy + 1), (cx + 4, cy), (cx + 4, cy + 3), (cx + 1, cy + 4)], GREEN)
    img.line(int(cx), int(cy - radius + 1), int(cx), int(cy + radius - 1), DARK_BLUE)
    img.line(int(cx - radius + 1), int(cy), int(cx + radius - 1), int(cy), DARK_BLUE)


def disk(img):
    """A floppy disk filling the image."""
    img.box(1, 1, 14, 14, BLUE, DARK_BLUE)
    img.fill(4, 2, 11, 6, WHITE)
    img.fill(9, 3, 10, 5, DARK_BLUE)
    img.box(3, 9, 12, 14, LIGHT_GREY, DARK_BLUE)


def folder(img, open_=False):
    img.fill(1, 4, 6, 5, FOLDER_DARK)
    img.box(1, 5, 14, 14, FOLDER, FOLDER_DARK)
    if open_:
        img.polygon([(3, 8), (16, 8), (14, 15), (1, 15)], (248, 214, 120))
        img.line(3, 8, 15, 8, FOLDER_DARK)
        img.line(15, 8, 14, 14, FOLDER_DARK)
        img.line(1, 14, 14, 14, FOLDER_DARK)


def magnifier(img, cx, cy, radius=3.5):
    img.outlined_disc(cx, cy, radius, (210, 235, 250), INK)
    x, y = int(cx + radius * 0.7), int(cy + radius * 0.7)
    for i in range(4):
        img.put(x + i, y + i, INK)
        img.put(x + i + 1, y + i, INK)


def cross(img, x, y, colour=RED):
    """A 5 x 5 red cross with its top-left corner at (x, y)."""
    for i in range(5):
        img.put(x + i, y + i, colour)
        img.put(x + 4 - i, y + i, colour)
        img.put(x + i + 1, y + i, colour)
        img.put(x + 5 - i, y + i, colour)


def broom(img):
    img.line(13, 1, 7, 8, FOLDER_DARK)
    img.line(14, 1, 8, 8, FOLDER_DARK)
    img.polygon([(5, 7), (10, 10), (7, 15), (1, 15), (2, 11)], YELLOW)
    img.line(5, 7, 10, 10, FOLDER_DARK)
    for x in (2, 4, 6):
        img.line(x + 2, 10, x, 15, FOLDER_DARK)


def gear(img, cx, cy, outer=5.5, inner=2.0, colour=GREY):
    for k in range(8):
        a = k * math.pi / 4
        img.disc(cx + math.cos(a) * (outer - 1), cy + math.sin(a) * (outer - 1), 1.3, colour)
    img.disc(cx, cy, outer - 1.2, colour)
    img.disc(cx, cy, inner, WHITE if colour != WHITE else INK)


def arrow_right(img, y, x0, x1, colour):
    img.line(x0, y, x1, y, colour)
    img.line(x1 - 2, y - 2, x1, y, colour)
    img.line(x1 - 2, y + 2, x1, y, colour)


# ---- the toolbar strip (resource 203) ----

def tb_refresh(img):
    img.ring(8, 8, 6.5, GREEN, 2.2)
    img.fill(8, 0, 10, 6, MAGENTA)
    img.fill(6, 10, 8, 15, MAGENTA)
    img.polygon([(7, 0), (12, 3.5), (7, 7)], GREEN)
    img.polygon([(9, 9), (4, 12.5), (9, 16)], GREEN)


def tb_save_with(emblem):
    def draw(img):
        disk(img)
        emblem(img)
    return draw


def emblem_clock(img):
    clock(img, 11.5, 11.5, 4.5)


def emblem_cookie(img):
    cookie(img, 11.5, 11.5, 4.5)


def emblem_page(img):
    img.box(9, 7, 15, 15, PAGE)
    img.line(10, 10, 14, 10, LINE)
    img.line(10, 12, 14, 12, LINE)


def emblem_globe(img):
    globe(img, 11.5, 11.5, 4.5)


def tb_open_index(img):
    folder(img, open_=True)
    img.box(5, 1, 11, 8, PAGE)
    img.line(6, 3, 10, 3, LINE)
    img.line(6, 5, 10, 5, LINE)


def tb_search_index(img):
    page(img, 1, 0, 10, 14)
    magnifier(img, 10, 9, 4)


def tb_open_with(emblem):
    def draw(img):
        folder(img, open_=True)
        emblem(img)
    return draw


def emblem_clock_top(img):
    clock(img, 10.5, 5, 4.5)


def emblem_cookie_top(img):
    cookie(img, 10.5, 5, 4.5)


def emblem_globe_top(img):
    globe(img, 10.5, 5, 4.5)


def tb_clean_history(img):
    clock(img, 5.5, 5.5, 5.5)
    broom(img)


def tb_clean_cookie(img):
    cookie(img, 7, 7, 6.5)
    cross(img, 9, 10)


def tb_clean_cache(img):
    globe(img, 7, 7, 6.5)
    cross(img, 9, 10)


def tb_clean_index(img):
    page(img, 1, 0, 11, 14)
    cross(img, 9, 10)


def tb_typed_urls(img):
    img.box(0, 3, 15, 10, WHITE, INK)
    img.line(2, 5, 2, 8, INK)          # the caret
    img.line(4, 6, 10, 6, LINE)
    img.line(4, 7, 8, 7, LINE)
    cross(img, 9, 10)


def tb_recent_docs(img):
    page(img, 5, 0, 14, 11, lines=False)
    page(img, 1, 4, 10, 15)
    clock(img, 12, 12, 4)


def tb_run_history(img):
    img.box(0, 2, 15, 13, WHITE, INK)
    img.fill(1, 3, 14, 4, BLUE)
    arrow_right(img, 9, 3, 9, GREEN)
    cross(img, 9, 9)


def tb_select_all(img):
    for y in (1, 6, 11):
        img.box(1, y, 4, y + 3, WHITE, INK)
        img.line(2, y + 2, 3, y + 1, GREEN)
        img.put(2, y + 1, GREEN)
        img.fill(6, y + 1, 14, y + 2, BLUE)


def tb_find(img):
    page(img, 1, 0, 11, 15)
    magnifier(img, 9, 8, 4.5)


def tb_options(img):
    gear(img, 8, 8, 7.5, 2.5, GREY)
    img.ring(8, 8, 7.5 - 0.2, INK, 0.01)


def tb_star(img):
    points = []
    for k in range(10):
        a = -math.pi / 2 + k * math.pi / 5
        r = 7.5 if k % 2 == 0 else 3.2
        points.append((8 + r * math.cos(a), 8.3 + r * math.sin(a)))
    img.polygon(points, INK)
    inner = [(8 + (x - 8) * 0.78, 8.3 + (y - 8.3) * 0.78) for x, y in points]
    img.polygon(inner, YELLOW)


def tb_trash(img):
    img.box(3, 4, 12, 15, LIGHT_GREY)
    img.fill(1, 2, 14, 3, INK)
    img.fill(6, 0, 9, 1, INK)
    for x in (5, 7, 9):
        img.line(x + (1 if x == 9 else 0), 6, x + (1 if x == 9 else 0), 13, GREY)


def tb_web_page(img):
    globe(img, 8, 8, 7.5)


def tb_about(img):
    img.outlined_disc(8, 8, 7.5, BLUE, DARK_BLUE)
    img.fill(7, 3, 8, 4, WHITE)
    img.fill(7, 6, 8, 12, WHITE)
    img.fill(6, 12, 9, 12, WHITE)


TOOLBAR = [
    tb_refresh,                        # 32768 Refresh
    tb_save_with(emblem_clock),        # 32779 Save History
    tb_save_with(emblem_cookie),       # 32780 Save Cookie List
    tb_save_with(emblem_page),         # 32804 Save Cache List
    tb_open_index,                     # 32777 Open Index File
    tb_search_index,                   # 32807 Search Index.dat files
    tb_open_with(emblem_clock_top),    # 32802 Open History Index
    tb_open_with(emblem_cookie_top),   # 32778 Open Cookies Index
    tb_open_with(emblem_globe_top),    # 32803 Open Cache Index
    tb_clean_history,                  # 32771 History (clean)
    tb_clean_cookie,                   # 32781 Cookie (clean)
    tb_clean_cache,                    # 32783 Browser Cache
    tb_clean_index,                    # 32786 Index Files
    tb_typed_urls,                     # 32784 Typed URL List
    tb_recent_docs,                    # 32785 Recent Documents
    tb_run_history,                    # 32806 Run History
    tb_select_all,                     # 32805 Select All Items
    tb_find,                           # 32776 Find on this Tab
    tb_options,                        # 32772 Options
    tb_star,                           # 32789 (no menu item)
    tb_trash,                          # 32787 (no menu item)
    tb_web_page,                       # 40013 Web Page
    tb_about,                          # 32769 About
]


# ---- the list's glyphs (resource 210) ----

def glyph_descending(img):
    img.polygon([(3.5, 6), (12.5, 6), (8, 11)], GREY)


def glyph_ascending(img):
    img.polygon([(3.5, 11), (12.5, 11), (8, 6)], GREY)


def check_box(img, fill=WHITE):
    img.box(1, 1, 13, 13, fill, (28, 81, 128))


def check_mark(img, colour):
    for i, (x, y) in enumerate([(4, 7), (5, 8), (6, 9), (7, 8), (8, 7), (9, 6), (10, 5)]):
        img.put(x, y, colour)
        img.put(x, y + 1, colour)
        img.put(x, y + 2, colour)


def glyph_unchecked(img):
    check_box(img)


def glyph_checked(img):
    check_box(img)
    check_mark(img, (33, 33, 33))


def glyph_three_state_checked(img):
    check_box(img)
    check_mark(img, GREEN)


def glyph_three_state_mixed(img):
    check_box(img)
    img.fill(4, 4, 10, 10, (115, 150, 190))


GLYPHS = [
    glyph_descending,
    glyph_ascending,
    glyph_unchecked,
    glyph_checked,
    glyph_three_state_checked,
    glyph_three_state_mixed,
]


# ---- the rows' images (resource 212) ----

def row_history(img):
    page(img)
    clock(img, 11, 11, 5)


def row_cookie(img):
    cookie(img, 8, 8, 7.5)


def row_web_page(img):
    page(img)
    globe(img, 11, 11, 5)


def row_secure_page(img):
    page(img)
    img.ring(11, 8.5, 2.5, GREY, 1.2)
    img.box(7, 9, 15, 15, YELLOW, FOLDER_DARK)
    img.fill(11, 11, 11, 13, INK)


def row_picture(img):
    img.box(0, 2, 15, 13, (190, 225, 250), INK)
    img.disc(11.5, 5.5, 1.8, YELLOW)
    img.polygon([(1, 13), (6, 6), (10, 13)], GREEN)
    img.polygon([(7, 13), (11, 9), (15, 13)], (40, 110, 60))
    img.frame(0, 2, 15, 13, INK)


def row_script(img):
    page(img)
    img.box(7, 8, 15, 15, YELLOW, FOLDER_DARK)
    img.line(9, 10, 9, 13, INK)
    img.put(8, 13, INK)
    img.line(12, 10, 13, 10, INK)
    img.line(11, 11, 12, 12, INK)
    img.line(11, 13, 12, 13, INK)


def row_style(img):
    page(img)
    gear(img, 11, 11, 5.2, 1.6, PURPLE)


def row_media(img):
    page(img)
    img.fill(12, 7, 12, 13, INK)
    img.fill(12, 7, 14, 8, INK)
    img.disc(10.5, 13.5, 2.2, INK)


def row_plain(img):
    page(img)


ROWS = [
    row_history,
    row_cookie,
    row_web_page,
    row_secure_page,
    row_picture,
    row_script,
    row_style,
    row_media,
    row_plain,
]


# ---- the context menus' images (resource 227) ----

def menu_open_url(img):
    globe(img, 7, 8, 6.5)
    arrow_right(img, 3, 9, 15, ORANGE)


def menu_copy(img):
    page(img, 0, 0, 9, 11, lines=False)
    page(img, 5, 4, 14, 15)


def menu_delete(img):
    for i in range(12):
        img.fill(2 + i, 2 + i, 3 + i, 3 + i, RED)
        img.fill(12 - i, 2 + i, 13 - i, 3 + i, RED)


def menu_favorites(img):
    tb_star(img)


def menu_details(img):
    page(img)
    img.outlined_disc(11, 11, 4.8, BLUE, DARK_BLUE)
    img.fill(10, 8, 11, 8, WHITE)
    img.fill(10, 10, 11, 13, WHITE)


def menu_open_file(img):
    folder(img, open_=True)


def menu_properties(img):
    page(img, 0, 0, 10, 15)
    img.fill(8, 7, 15, 15, MAGENTA)
    gear(img, 11, 11, 5, 1.6, GREY)


MENU = [
    menu_open_url,     # Open URL
    menu_copy,         # Copy URL
    menu_delete,       # Delete URL, Delete Cookie, Delete Entry
    menu_favorites,    # Add to Favorites
    menu_details,      # View Details
    menu_open_file,    # Open File
    menu_properties,   # Properties
]


def strip(drawers):
    images = []
    for draw in drawers:
        img = Image()
        draw(img)
        images.append(img)
    return images


def write_bmp(path, images):
    """A bottom-up 24-bit BMP of the images side by side."""
    width = SIZE * len(images)
    stride = (width * 3 + 3) & ~3
    rows = []
    for y in range(SIZE - 1, -1, -1):
        row = bytearray()
        for img in images:
            for r, g, b in img.pixels[y]:
                row += bytes((b, g, r))
        row += bytes(stride - len(row))
        rows.append(bytes(row))
    data = b"".join(rows)
    info = struct.pack("<IiiHHIIiiII", 40, width, SIZE, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(data), 0, 0, 14 + len(info))
    with open(path, "wb") as out:
        out.write(header + info + data)
    print("wrote", path, "%dx%d" % (width, SIZE))


def main():
    assert len(TOOLBAR) == 23 and len(GLYPHS) == 6 and len(ROWS) == 9 and len(MENU) == 7
    write_bmp(os.path.join(HERE, "toolbar_203.bmp"), strip(TOOLBAR))
    write_bmp(os.path.join(HERE, "list_glyphs_210.bmp"), strip(GLYPHS))
    write_bmp(os.path.join(HERE, "row_images_212.bmp"), strip(ROWS))
    write_bmp(os.path.join(HERE, "menu_images_227.bmp"), strip(MENU))


if __name__ == "__main__":
    main()
