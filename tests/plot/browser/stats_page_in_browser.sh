#!/bin/sh
# Writes the statistics page of a fitted distribution with its test program and opens it
# in headless Chromium: three tables of four lines each, separated by two rules.
# Usage: stats_page_in_browser.sh TEST_PROGRAM PAGE.html SCREENSHOT.png
set -eu
"$1" --gtest_filter=DistStatsPage.WritesThePageForTheBrowser >/dev/null
page=$(realpath "$2")
shot=$3
rm -f "$shot"
chromium --headless --no-sandbox --disable-gpu --hide-scrollbars --window-size=900,400 \
  --screenshot="$shot" "file://$page" >/dev/null 2>&1 || true
cd "$(dirname "$0")"
exec python3 page_text.py "$shot" 12 2
