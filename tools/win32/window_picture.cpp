#include "tools/win32/window_picture.h"

#include <wincodec.h>
#include <wrl/client.h>

#include <memory>
#include <type_traits>
#include <vector>

#include "app/win32/handles.h"

namespace trawlbox::tools::win32 {

namespace {

using Microsoft::WRL::ComPtr;
using UniqueBitmap = std::unique_ptr<std::remove_pointer_t<HBITMAP>, app::win32::GdiObjectDeleter>;

struct MemoryDcDeleter {
  void operator()(HDC dc) const { DeleteDC(dc); }
};
using UniqueMemoryDc = std::unique_ptr<std::remove_pointer_t<HDC>, MemoryDcDeleter>;

// Rows of 32-bit BGRX pixels, top row first.
struct Pixels {
  UINT width = 0;
  UINT height = 0;
  std::vector<BYTE> bytes;
};

// Copied from the screen rather than printed by the window: the caption and the menu bar are drawn
// by the window manager (Wine's own in its virtual desktop), which a window's WM_PRINT leaves out.
bool CopyFromScreen(HWND window, Pixels& pixels) {
  RECT frame{};
  if (!GetWindowRect(window, &frame)) return false;
  pixels.width = static_cast<UINT>(frame.right - frame.left);
  pixels.height = static_cast<UINT>(frame.bottom - frame.top);
  const app::win32::ClientDc screen(nullptr);
  const UniqueMemoryDc memory(CreateCompatibleDC(screen.Get()));
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = static_cast<LONG>(pixels.width);
  info.bmiHeader.biHeight = -static_cast<LONG>(pixels.height);  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  const UniqueBitmap bitmap(
      CreateDIBSection(screen.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (memory == nullptr || bitmap == nullptr) return false;
  const HGDIOBJ previous = SelectObject(memory.get(), bitmap.get());
  const bool copied =
      BitBlt(memory.get(), 0, 0, static_cast<int>(pixels.width), static_cast<int>(pixels.height),
             screen.Get(), frame.left, frame.top, SRCCOPY | CAPTUREBLT) != 0;
  GdiFlush();
  SelectObject(memory.get(), previous);
  if (!copied) return false;
  const auto* first = static_cast<const BYTE*>(bits);
  pixels.bytes.assign(first, first + std::size_t{4} * pixels.width * pixels.height);
  return true;
}

bool WritePng(const Pixels& pixels, const std::wstring& path) {
  ComPtr<IWICImagingFactory> factory;
  ComPtr<IWICStream> stream;
  ComPtr<IWICBitmapEncoder> encoder;
  ComPtr<IWICBitmapFrameEncode> frame;
  WICPixelFormatGUID format = GUID_WICPixelFormat32bppBGR;
  const UINT stride = 4 * pixels.width;
  return SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                    IID_PPV_ARGS(&factory))) &&
         SUCCEEDED(factory->CreateStream(&stream)) &&
         SUCCEEDED(stream->InitializeFromFilename(path.c_str(), GENERIC_WRITE)) &&
         SUCCEEDED(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder)) &&
         SUCCEEDED(encoder->Initialize(stream.Get(), WICBitmapEncoderNoCache)) &&
         SUCCEEDED(encoder->CreateNewFrame(&frame, nullptr)) &&
         SUCCEEDED(frame->Initialize(nullptr)) &&
         SUCCEEDED(frame->SetSize(pixels.width, pixels.height)) &&
         SUCCEEDED(frame->SetPixelFormat(&format)) &&
         IsEqualGUID(format, GUID_WICPixelFormat32bppBGR) &&
         SUCCEEDED(frame->WritePixels(pixels.height, stride, stride * pixels.height,
                                      const_cast<BYTE*>(pixels.bytes.data()))) &&
         SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit());
}

}  // namespace

bool SaveWindowPicture(HWND window, const std::wstring& path) {
  Pixels pixels;
  return CopyFromScreen(window, pixels) && WritePng(pixels, path);
}

}  // namespace trawlbox::tools::win32
