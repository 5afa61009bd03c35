#include "plot/report_image.h"

#include <wincodec.h>

#include <cstdio>
#include <stdexcept>
#include <string>

#include "core/text/base64.h"
#include "plot/agg_canvas.h"
#include "plot/gdi_plot_text.h"
#include "plot/plot_view.h"

namespace {

template <class T>
struct Com {
    T* p = nullptr;
    Com() = default;
    Com(const Com&) = delete;
    Com& operator=(const Com&) = delete;
    ~Com()
    {
        if (p)
            p->Release();
    }
    T* operator->() const { return p; }
    T** out() { return &p; }
};

void check(HRESULT hr, const char* call)
{
    if (FAILED(hr)) {
        char text[96];
        std::snprintf(text, sizeof text, "COM Error: %s failed with 0x%08lX", call, static_cast<unsigned long>(hr));
        throw std::runtime_error(text);
    }
}

// Owns the memory DC with its DIB section and font selected.
struct Bitmap {
    HDC dc = nullptr;
    HBITMAP dib = nullptr;
    HFONT font = nullptr;
    HGDIOBJ old_bitmap = nullptr;
    HGDIOBJ old_font = nullptr;
    void* bits = nullptr;

    Bitmap(int width, int height)
    {
        dc = CreateCompatibleDC(nullptr);
        if (!dc)
            throw std::runtime_error("Can't create a memory DC");
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = height;  // bottom-up rows
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        info.bmiHeader.biXPelsPerMeter = info.bmiHeader.biYPelsPerMeter = 3000;
        dib = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (!dib || !bits) {
            DeleteDC(dc);
            throw std::runtime_error("Can't create a DIB section");
        }
        old_bitmap = SelectObject(dc, dib);
        // 3000 pixels per metre / 300 gives 10; never below 12 pixels.
        font = CreateFontW(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, ANTIALIASED_QUALITY, 0, L"Tahoma");
        if (font)
            old_font = SelectObject(dc, font);
    }
    Bitmap(const Bitmap&) = delete;
    Bitmap& operator=(const Bitmap&) = delete;
    ~Bitmap()
    {
        if (old_font)
            SelectObject(dc, old_font);
        SelectObject(dc, old_bitmap);
        if (font)
            DeleteObject(font);
        DeleteObject(dib);
        DeleteDC(dc);
    }
};

std::vector<unsigned char> encode_png(HBITMAP bitmap, int width, int height)
{
    Com<IWICImagingFactory> factory;
    check(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_ALL, IID_IWICImagingFactory,
                           reinterpret_cast<void**>(factory.out())),
          "CoCreateInstance(WICImagingFactory)");
    Com<IStream> stream;
    check(CreateStreamOnHGlobal(nullptr, TRUE, stream.out()), "CreateStreamOnHGlobal");
    Com<IWICBitmapEncoder> encoder;
    check(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, encoder.out()), "CreateEncoder");
    check(encoder->Initialize(stream.p, WICBitmapEncoderNoCache), "IWICBitmapEncoder::Initialize");
    Com<IWICBitmapFrameEncode> frame;
    Com<IPropertyBag2> properties;
    check(encoder->CreateNewFrame(frame.out(), properties.out()), "CreateNewFrame");
    check(frame->Initialize(properties.p), "IWICBitmapFrameEncode::Initialize");
    check(frame->SetResolution(96.0, 96.0), "SetResolution");
    check(frame->SetSize(width, height), "SetSize");
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
    check(frame->SetPixelFormat(&format), "SetPixelFormat");
    Com<IWICBitmap> source;
    check(factory->CreateBitmapFromHBITMAP(bitmap, nullptr, WICBitmapIgnoreAlpha, source.out()),
          "CreateBitmapFromHBITMAP");
    Com<IWICFormatConverter> converter;
    check(factory->CreateFormatConverter(converter.out()), "CreateFormatConverter");
    check(converter->Initialize(source.p, format, WICBitmapDitherTypeNone, nullptr, 0.0, WICBitmapPaletteTypeCustom),
          "IWICFormatConverter::Initialize");
    WICRect all{0, 0, width, height};
    check(frame->WriteSource(converter.p, &all), "WriteSource");
    check(frame->Commit(), "IWICBitmapFrameEncode::Commit");
    check(encoder->Commit(), "IWICBitmapEncoder::Commit");

    // The whole stream at once: base64 of it can pad only at its end.
    STATSTG stat{};
    check(stream->Stat(&stat, STATFLAG_NONAME), "IStream::Stat");
    std::vector<unsigned char> bytes(static_cast<std::size_t>(stat.cbSize.QuadPart));
    check(stream->Seek(LARGE_INTEGER{}, STREAM_SEEK_SET, nullptr), "IStream::Seek");
    ULONG got = 0;
    check(stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &got), "IStream::Read");
    if (got != bytes.size())
        check(E_FAIL, "IStream::Read");
    return bytes;
}

// The plot view without a window: its client area is the bitmap.
class ReportView final : public PlotView {
public:
    ReportView() : PlotView(0) {}

private:
    long Notify(const PlotEvent&) override { return 0; }
    void Invalidate() override {}
    void Redraw() override {}
    void CaptureMouse(bool) override {}
    bool ShiftHeld() const override { return false; }
    PlotRect ClientRect() const override { return {0, 0, report_image_width, report_image_height}; }
};

} // namespace

std::vector<unsigned char> render_png(int width, int height, const PlotDrawing& draw)
{
    Bitmap bitmap(width, height);
    const RECT area{0, 0, width, height};
    SetBkColor(bitmap.dc, 0xFFFFFF);
    ExtTextOutW(bitmap.dc, 0, 0, ETO_OPAQUE, &area, L"", 0, nullptr);
    {
        AGGCanvas canvas(bitmap.dc, width, height, width, height, bitmap.bits);
        GdiPlotText text(canvas);
        draw(canvas, text);
    }
    GdiFlush();
    return encode_png(bitmap.dib, width, height);
}

void render_plot_png(std::wstring& page, const IModel& model, const SpectrumData& data, const DVector& fit_values,
                     const DMatrix& covariance, const ILockInfo* lock_info, bool normalize, std::int32_t options)
{
    ReportView view;
    view.SetData(&model, &data, &fit_values, &covariance, lock_info, nullptr);
    view.SetOptions(normalize ? options | OptNormalize : options & ~OptNormalize, 0);
    view.selected_component = -2;
    const std::vector<unsigned char> png =
        render_png(report_image_width, report_image_height,
                   [&](Canvas& canvas, PlotText& text) { view.DrawPlot(canvas, text); });
    base64_encode(page, png, true);
}
