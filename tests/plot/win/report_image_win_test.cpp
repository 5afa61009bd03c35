// The report's PNG through the Windows Imaging Component: the file's header (960 × 480,
// 24-bit, 96 dpi), pixels of a simple drawing read back through the decoder, and a
// whole report of a fitted document with its plot embedded.
#include <gtest/gtest.h>

#include <objbase.h>
#include <wincodec.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "core/text/text.h"
#include "plot/html_report.h"
#include "plot/report_image.h"
#include "tests/plot/report_scene.h"

namespace {

struct ComScope {
    ComScope() { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
    ~ComScope() { CoUninitialize(); }
};

unsigned be32(const std::vector<unsigned char>& b, std::size_t at)
{
    return unsigned(b[at]) << 24 | unsigned(b[at + 1]) << 16 | unsigned(b[at + 2]) << 8 | b[at + 3];
}

// The chunk's data offset; 0 when the file has no such chunk.
std::size_t chunk(const std::vector<unsigned char>& png, const char* type)
{
    for (std::size_t at = 8; at + 8 <= png.size(); at += 12 + be32(png, at))
        if (std::string(png.begin() + at + 4, png.begin() + at + 8) == type)
            return at + 8;
    return 0;
}

// BGR of pixel (x, y) decoded with the imaging component's PNG decoder.
std::vector<unsigned char> decoded_row(const std::vector<unsigned char>& png, int y)
{
    IWICImagingFactory* factory = nullptr;
    EXPECT_EQ(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_ALL, IID_IWICImagingFactory,
                               reinterpret_cast<void**>(&factory)),
              S_OK);
    IWICStream* stream = nullptr;
    factory->CreateStream(&stream);
    stream->InitializeFromMemory(const_cast<unsigned char*>(png.data()), static_cast<DWORD>(png.size()));
    IWICBitmapDecoder* decoder = nullptr;
    EXPECT_EQ(factory->CreateDecoderFromStream(stream, nullptr, WICDecodeMetadataCacheOnDemand, &decoder), S_OK);
    IWICBitmapFrameDecode* frame = nullptr;
    decoder->GetFrame(0, &frame);
    std::vector<unsigned char> row(960 * 3);
    const WICRect line{0, y, 960, 1};
    EXPECT_EQ(frame->CopyPixels(&line, 960 * 3, static_cast<UINT>(row.size()), row.data()), S_OK);
    frame->Release();
    decoder->Release();
    stream->Release();
    factory->Release();
    return row;
}

TEST(ReportImage, A960By480PngOf96DpiWithTheDrawnPixels)
{
    ComScope com;
    const std::vector<unsigned char> png = render_png(960, 480, [](Canvas& canvas, PlotText&) {
        canvas.FillRect(0, 0, 480, 240, RGB(255, 0, 0), 1.0);  // top left quarter red
    });
    ASSERT_GT(png.size(), 33u);
    EXPECT_EQ(std::string(png.begin(), png.begin() + 8), "\x89PNG\r\n\x1A\n");
    const std::size_t ihdr = chunk(png, "IHDR");
    ASSERT_EQ(ihdr, 16u);
    EXPECT_EQ(be32(png, ihdr), 960u);
    EXPECT_EQ(be32(png, ihdr + 4), 480u);
    EXPECT_EQ(png[ihdr + 8], 8);  // bits per sample
    EXPECT_EQ(png[ihdr + 9], 2);  // truecolour, no alpha
    const std::size_t phys = chunk(png, "pHYs");
    ASSERT_NE(phys, 0u);
    EXPECT_EQ(be32(png, phys), 3780u);  // 96 per inch in pixels per metre
    EXPECT_EQ(be32(png, phys + 4), 3780u);
    EXPECT_EQ(png[phys + 8], 1);

    const std::vector<unsigned char> top = decoded_row(png, 100), bottom = decoded_row(png, 400);
    EXPECT_EQ(std::vector<unsigned char>(top.begin() + 300, top.begin() + 303), (std::vector<unsigned char>{0, 0, 255}));
    EXPECT_EQ(std::vector<unsigned char>(top.begin() + 2400, top.begin() + 2403),
              (std::vector<unsigned char>{255, 255, 255}));
    EXPECT_EQ(std::vector<unsigned char>(bottom.begin() + 300, bottom.begin() + 303),
              (std::vector<unsigned char>{255, 255, 255}));
}

TEST(ReportImage, AReportOfAFittedDocumentEmbedsItsPlot)
{
    ComScope com;
    const report_test::Scene scene;
    std::wstring page;
    render_plot_png(page, scene.model, scene.data, scene.values, scene.covariance, nullptr, false, 0xB7B);
    EXPECT_EQ(page.substr(0, 12), L"iVBORw0KGgoA");  // the PNG signature in base64
    EXPECT_EQ(page.find(L'=') == std::wstring::npos || page.find(L'=') >= page.size() - 2, true);

    // Written where the environment asks, for a browser to look at.
    const char* out = std::getenv("VX_REPORT_OUT");
    const std::wstring path = out ? utf8_to_wide(out) : L"report_image_test.html";
    write_html_report(path, scene.source(), L"Small gradient", 0x3E, [&](std::wstring& p) {
        render_plot_png(p, scene.model, scene.data, scene.values, scene.covariance, nullptr, false, 0xB7B);
    });
    EXPECT_NE(read_text_file(path).find(L"base64,iVBORw0KGgoA"), std::wstring::npos);
}

}  // namespace
