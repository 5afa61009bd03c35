#!/bin/sh
# Opens a generated report in headless Chromium and checks the screenshot: the page
# renders and its embedded plot image decodes (the plot's dark blue background shows).
# Usage: report_in_browser.sh REPORT.html SCREENSHOT.png
set -eu
report=$(realpath "$1")
shot=$2
rm -f "$shot"
chromium --headless --no-sandbox --disable-gpu --hide-scrollbars --window-size=1100,1400 \
  --screenshot="$shot" "file://$report" >/dev/null 2>&1 || true
exec python3 "$(dirname "$0")/plot_pixels.py" "$shot"
