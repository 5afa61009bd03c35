"""Checks a PNG screenshot of the statistics page: a white page with dark text on it,
spread over as many bands of text lines as the page has table rows, and the rules
between its tables (grey lines across most of the width)."""
import sys

from plot_pixels import rows

lines = [(line, bpp) for line, bpp in rows(sys.argv[1])]
expected_text_bands, expected_rules = int(sys.argv[2]), int(sys.argv[3])
width = len(lines[0][0]) // lines[0][1]


def dark(line, bpp, x):
    return max(line[x], line[x + 1], line[x + 2]) < 100


text_rows = [any(dark(line, bpp, x) for x in range(0, len(line), bpp)) for line, bpp in lines]
bands = sum(1 for y in range(1, len(text_rows)) if text_rows[y] and not text_rows[y - 1])
rules = 0
previous = False
for line, bpp in lines:
    grey = sum(1 for x in range(0, len(line), bpp) if 100 <= line[x] < 240 and abs(line[x] - line[x + 2]) < 16)
    is_rule = grey > width // 2
    rules += is_rule and not previous
    previous = is_rule
white = sum(1 for line, bpp in lines for x in range(0, len(line), bpp) if min(line[x:x + 3]) > 245)
print("text bands:", bands, "rules:", rules, "white share:", white / (width * len(lines)))
sys.exit(0 if bands >= expected_text_bands and rules == expected_rules and white > 0.8 * width * len(lines) else 1)
