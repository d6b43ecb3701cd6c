#include "builder/photos/win32/wic_decoder.h"

#include <wincodec.h>

#include "platform/win32/wingui/surface.h"

namespace prismora::photos {
namespace {

template <class T>
struct Com {
  T* p = nullptr;
  ~Com() {
    if (p) p->Release();
  }
  T** operator&() { return &p; }
  T* operator->() const { return p; }
};

// Images larger than this are refused before any pixel is copied: the codec's picture,
// our copy and the bitmap made from it take about ten bytes a pixel at once, and one
// picture may cost the builder (a 32-bit process) at most 256 MB, as every photo decoder
// counts it.
constexpr uint64_t kMaxPixels = (uint64_t(256) << 20) / 10;

bool Decode(IWICImagingFactory* factory, IWICBitmapDecoder* decoder, WicImage& out, std::string& error) {
  Com<IWICBitmapFrameDecode> frame;
  Com<IWICFormatConverter> converter;
  UINT w = 0, h = 0;
  if (FAILED(decoder->GetFrame(0, &frame)) || FAILED(frame->GetSize(&w, &h)) || w == 0 || h == 0) {
    error = "The picture has no readable frame.";
    return false;
  }
  if (uint64_t(w) * h > kMaxPixels) {
    error = "The picture is too large.";
    return false;
  }
  if (FAILED(factory->CreateFormatConverter(&converter)) ||
      FAILED(converter->Initialize(frame.p, GUID_WICPixelFormat24bppBGR, WICBitmapDitherTypeNone,
                                   nullptr, 0.0, WICBitmapPaletteTypeCustom))) {
    error = "The picture's pixel format cannot be converted.";
    return false;
  }
  out.width = int(w);
  out.height = int(h);
  out.bgr.assign(size_t(w) * h * 3, 0);
  if (FAILED(converter->CopyPixels(nullptr, w * 3, UINT(out.bgr.size()), out.bgr.data()))) {
    error = "The picture's pixels cannot be read.";
    return false;
  }
  return true;
}

struct ComScope {
  bool owned = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
  ~ComScope() {
    if (owned) CoUninitialize();
  }
};

bool WithFactory(WicImage& out, std::string& error,
                 HRESULT (*open)(IWICImagingFactory*, const void*, IWICBitmapDecoder**), const void* arg) {
  ComScope com;
  Com<IWICImagingFactory> factory;
  if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                              IID_IWICImagingFactory, reinterpret_cast<void**>(&factory)))) {
    error = "The imaging component is not available.";
    return false;
  }
  Com<IWICBitmapDecoder> decoder;
  if (FAILED(open(factory.p, arg, &decoder))) {
    error = "No decoder reads this picture.";
    return false;
  }
  return Decode(factory.p, decoder.p, out, error);
}

}  // namespace

bool DecodeWithWic(const std::string& path, WicImage& out, std::string& error) {
  std::wstring wide(MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, nullptr, 0), L'\0');
  MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide.data(), int(wide.size()));
  return WithFactory(out, error,
                     [](IWICImagingFactory* f, const void* name, IWICBitmapDecoder** d) {
                       return f->CreateDecoderFromFilename(static_cast<const wchar_t*>(name), nullptr,
                                                           GENERIC_READ, WICDecodeMetadataCacheOnDemand, d);
                     },
                     wide.c_str());
}

bool DecodeWithWic(std::span<const uint8_t> bytes, WicImage& out, std::string& error) {
  struct Args {
    std::span<const uint8_t> bytes;
    IWICStream** stream;
  };
  Com<IWICStream> stream;  // lives until the decoder is done with it
  Args args{bytes, &stream.p};
  return WithFactory(out, error,
                     [](IWICImagingFactory* f, const void* a, IWICBitmapDecoder** d) {
                       const Args& args = *static_cast<const Args*>(a);
                       HRESULT hr = f->CreateStream(args.stream);
                       if (SUCCEEDED(hr))
                         hr = (*args.stream)->InitializeFromMemory(const_cast<BYTE*>(args.bytes.data()),
                                                                   DWORD(args.bytes.size()));
                       if (SUCCEEDED(hr))
                         hr = f->CreateDecoderFromStream(*args.stream, nullptr,
                                                         WICDecodeMetadataCacheOnDemand, d);
                       return hr;
                     },
                     &args);
}

HBITMAP MakeBitmap(const WicImage& image) {
  return wingui::Surface::BitmapFromRows(image.bgr.data(), image.width, image.height);
}

}  // namespace prismora::photos
