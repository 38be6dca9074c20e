// capture_screen: saves what the screen shows as a 24-bit BMP file.
//
//   capture_screen OUT.BMP
//
// Copies the screen's device context, desktop wallpaper included, into a
// bitmap of our own and writes it out. The demo runs it on the same desktop
// as the program, so the picture shows the wallpaper the program set.
#include <windows.h>

#include <cstdio>
#include <vector>

namespace {

struct Screen_Picture {
  int width;
  int height;
  std::vector<unsigned char> rows;  // bottom-up, blue-green-red, 4-byte aligned
};

int Row_Bytes(int width) { return (width * 3 + 3) & ~3; }

BITMAPINFOHEADER Header_For(int width, int height) {
  BITMAPINFOHEADER header{};
  header.biSize = sizeof header;
  header.biWidth = width;
  header.biHeight = height;
  header.biPlanes = 1;
  header.biBitCount = 24;
  header.biCompression = BI_RGB;
  header.biSizeImage = static_cast<DWORD>(Row_Bytes(width) * height);
  return header;
}

bool Capture(Screen_Picture &picture) {
  picture.width = GetSystemMetrics(SM_CXSCREEN);
  picture.height = GetSystemMetrics(SM_CYSCREEN);
  if (picture.width <= 0 || picture.height <= 0) return false;

  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, picture.width, picture.height);
  HGDIOBJ previous = SelectObject(memory, bitmap);
  const bool copied =
      BitBlt(memory, 0, 0, picture.width, picture.height, screen, 0, 0, SRCCOPY) != 0;
  SelectObject(memory, previous);

  BITMAPINFO info{};
  info.bmiHeader = Header_For(picture.width, picture.height);
  picture.rows.resize(info.bmiHeader.biSizeImage);
  const bool read = copied && GetDIBits(memory, bitmap, 0, picture.height,
                                        picture.rows.data(), &info, DIB_RGB_COLORS) ==
                                  picture.height;
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return read;
}

bool Write_Bmp(const char *path, const Screen_Picture &picture) {
  const BITMAPINFOHEADER info = Header_For(picture.width, picture.height);
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;  // "BM"
  file.bfOffBits = sizeof file + sizeof info;
  file.bfSize = file.bfOffBits + info.biSizeImage;

  std::FILE *out = std::fopen(path, "wb");
  if (out == nullptr) return false;
  const bool written = std::fwrite(&file, sizeof file, 1, out) == 1 &&
                       std::fwrite(&info, sizeof info, 1, out) == 1 &&
                       std::fwrite(picture.rows.data(), picture.rows.size(), 1, out) == 1;
  return std::fclose(out) == 0 && written;
}

}  // namespace

int main(int argc, char **argv) {
  if (argc != 2) {
    std::fputs("usage: capture_screen OUT.BMP\n", stderr);
    return 2;
  }
  Screen_Picture picture;
  if (!Capture(picture)) {
    std::fputs("capture_screen: could not copy the screen\n", stderr);
    return 1;
  }
  if (!Write_Bmp(argv[1], picture)) {
    std::fprintf(stderr, "capture_screen: could not write %s\n", argv[1]);
    return 1;
  }
  std::printf("%s: %dx%d\n", argv[1], picture.width, picture.height);
  return 0;
}
