#include "tests/ui/gui/screenshot.h"

#include <wincodec.h>

#include <stdexcept>

#include "wingui/com_ptr.h"
#include "wingui/handles.h"

Screenshot capture_window(HWND window)
{
    Screenshot shot;
    RECT rect{};
    if (!GetWindowRect(window, &rect)) return shot;
    shot.width = rect.right - rect.left;
    shot.height = rect.bottom - rect.top;
    const ScopedWindowDc screen(nullptr);
    ScopedMemoryDc memory(CreateCompatibleDC(screen.get()));
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = shot.width;
    info.bmiHeader.biHeight = -shot.height;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    ScopedBitmap bitmap(CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || !bits) return {};
    {
        const ScopedSelection selection(memory.get(), bitmap.get());
        BitBlt(memory.get(), 0, 0, shot.width, shot.height, screen.get(), rect.left, rect.top, SRCCOPY);
    }
    GdiFlush();
    const auto* pixels = static_cast<const std::uint32_t*>(bits);
    shot.pixels.assign(pixels, pixels + static_cast<size_t>(shot.width) * shot.height);
    for (std::uint32_t& pixel : shot.pixels) pixel &= 0xFFFFFF;
    return shot;
}

namespace {

void check(HRESULT result, const char* step)
{
    if (FAILED(result)) throw std::runtime_error(std::string("PNG: ") + step + " failed");
}

} // namespace

void save_png(const Screenshot& shot, const std::wstring& path)
{
    ComPtr<IWICImagingFactory> factory;
    check(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                           reinterpret_cast<void**>(factory.put())),
          "creating the imaging factory");
    ComPtr<IWICStream> stream;
    check(factory->CreateStream(stream.put()), "creating the stream");
    check(stream->InitializeFromFilename(path.c_str(), GENERIC_WRITE), "opening the file");
    ComPtr<IWICBitmapEncoder> encoder;
    check(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, encoder.put()), "creating the encoder");
    check(encoder->Initialize(stream.get(), WICBitmapEncoderNoCache), "starting the encoder");
    ComPtr<IWICBitmapFrameEncode> frame;
    check(encoder->CreateNewFrame(frame.put(), nullptr), "creating the frame");
    check(frame->Initialize(nullptr), "starting the frame");
    check(frame->SetSize(shot.width, shot.height), "sizing the frame");
    WICPixelFormatGUID format = GUID_WICPixelFormat32bppBGR;
    check(frame->SetPixelFormat(&format), "choosing the pixel format");
    const UINT stride = static_cast<UINT>(shot.width) * 4;
    check(frame->WritePixels(shot.height, stride, stride * shot.height,
                             reinterpret_cast<BYTE*>(const_cast<std::uint32_t*>(shot.pixels.data()))),
          "writing the pixels");
    check(frame->Commit(), "finishing the frame");
    check(encoder->Commit(), "finishing the file");
}
