#include "wingui/scripted_text_draw.h"

#include <string_view>

#include "wingui/logic/scripted_text.h"

namespace {

struct Metrics {
    int ascent = 0, descent = 0;
};

Metrics metrics_of(HDC dc)
{
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    return {tm.tmAscent, tm.tmDescent};
}

} // namespace

int draw_scripted_text(HDC dc, int x, int y, UINT options, const RECT* rect, const wchar_t* text, UINT count)
{
    const HGDIOBJ entry_font = GetCurrentObject(dc, OBJ_FONT);
    const UINT entry_align = GetTextAlign(dc);
    const Metrics normal = metrics_of(dc);
    UINT vertical = entry_align & TA_BASELINE;
    if (vertical == TA_BOTTOM) {
        y -= normal.descent;
        vertical = TA_BASELINE;
    }
    if (options & ETO_OPAQUE) {
        ExtTextOutW(dc, 0, 0, ETO_OPAQUE, rect, nullptr, 0, nullptr);
        options &= ~ETO_OPAQUE;
    }
    const auto runs = split_script_runs(std::wstring_view(text ? text : L"", text ? count : 0));

    // The small font, made at the first script run.
    HFONT small_font = nullptr;
    Metrics small;
    auto select_for = [&](ScriptClass kind) {
        if (kind == ScriptClass::Normal) {
            SelectObject(dc, entry_font);
            return;
        }
        if (!small_font) {
            LOGFONTW lf{};
            GetObjectW(entry_font, sizeof lf, &lf);
            lf.lfHeight = 2 * lf.lfHeight / 3;
            small_font = CreateFontIndirectW(&lf);
            SelectObject(dc, small_font ? small_font : entry_font);
            small = metrics_of(dc);
        }
        SelectObject(dc, small_font ? small_font : entry_font);
    };
    auto width_of = [&](const ScriptRun& run) {
        select_for(run.kind);
        SIZE size{};
        GetTextExtentPoint32W(dc, run.text.c_str(), static_cast<int>(run.text.size()), &size);
        return static_cast<int>(size.cx);
    };

    const UINT horizontal = entry_align & (TA_LEFT | TA_RIGHT | TA_CENTER);
    if (horizontal != TA_LEFT) {
        int total = 0;
        for (const ScriptRun& run : runs) total += width_of(run);
        x -= horizontal == TA_RIGHT ? total : total / 2;
    }
    SetTextAlign(dc, (entry_align & ~(TA_RIGHT | TA_CENTER | TA_BASELINE)) | TA_LEFT | vertical);
    for (const ScriptRun& run : runs) {
        const int width = width_of(run);
        int run_y = y;
        if (run.kind == ScriptClass::Superscript)
            run_y = y + (small.ascent + small.descent) / 2 - (2 * normal.ascent) / 3 - small.descent;
        else if (run.kind == ScriptClass::Subscript)
            run_y = y + (small.ascent + small.descent) / 2 - small.descent;
        ExtTextOutW(dc, x, run_y, options, rect, run.text.c_str(), static_cast<UINT>(run.text.size()), nullptr);
        x += width;
    }
    SetTextAlign(dc, entry_align);
    SelectObject(dc, entry_font);
    if (small_font) DeleteObject(small_font);
    return 1;
}
