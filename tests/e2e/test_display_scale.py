"""The overlay at 100, 125, 150 and 200 % display scale (the prefix's LogPixels), as on a laptop or a 4K screen: the
96 dpi overlay made larger, with every text inside its box. The MainLayout tests place each control at a scale;
here the window and the texts (the session test moves it to another scale)."""
import pytest

from driver import (CACHE, CACHE_READ, CLICK_THROUGH_BUTTON, COMBO, COUNTDOWN, OPACITY_CAPTION, OPACITY_VALUE,
                    SCALE_CAPTION, SCALE_VALUE, STATUS, Screen)

LABELS = (COUNTDOWN, CACHE, STATUS, OPACITY_VALUE, SCALE_VALUE, OPACITY_CAPTION, SCALE_CAPTION)
heights_at_96_dpi = {}


@pytest.mark.parametrize("dpi", [96, 120, 144, 192])
def test_every_control_and_text_grows_with_the_display_scale(start, display_scale, dpi):
    display_scale(dpi)
    o, scale = start(connected=True), dpi / 96
    o.expect(CACHE, CACHE_READ, 10)
    controls = o.open_panel()
    left, top, right, bottom = o.rect()
    screen_height = int(o.state()["screen"].split()[1])
    # A fresh settings file's 450 x 700 window, scaled and kept on the 1280 x 1024 screen.
    assert abs(right - left - round(450 * scale)) <= 1
    assert abs(bottom - top - min(round(700 * scale), screen_height)) <= 1
    screen = Screen(f"overlay-{dpi}dpi", crop=(left, top, right, bottom))
    o.kill()
    # The labels, the button's caption (right of its gear) and the combo box's boss name (left of its chevron).
    places = {c: (controls[c].rect, 0, 0) for c in LABELS}
    places["button"] = (controls[CLICK_THROUGH_BUTTON].rect, round(40 * scale), 0)
    places["combo"] = (controls[COMBO].rect, 0, round(30 * scale))
    heights = {}
    for name, (r, skip_left, skip_right) in places.items():
        # The bounding box of the bright (text) pixels.
        points = [(x, y) for y in range(r[1], r[3]) for x in range(r[0] + skip_left, r[2] - skip_right)
                  if max(screen.pixel(x, y)) > 140]
        assert points, name
        xs, ys = zip(*points)
        box = (min(xs), min(ys), max(xs) + 1, max(ys) + 1)
        if name in LABELS:  # never cut or touching: a free column and row on every side
            assert box[0] > r[0] and box[2] < r[2] and box[1] > r[1] and box[3] < r[3], (
                f"{controls[name].text!r} of {name} at {box} in {r}")
        heights[name] = box[3] - box[1]
    base = heights_at_96_dpi.setdefault("heights", heights)  # the 96 dpi case runs first
    for name, height in heights.items():
        # Glyph heights round to whole pixels at each size.
        assert abs(height - base[name] * scale) <= 2 + base[name] * scale / 8, (
            f"{name}: {height} px against {base[name]} px at 96 dpi")
