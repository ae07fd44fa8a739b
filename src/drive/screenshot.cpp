// Pictures of update.exe's windows as they are on screen; see screenshot.h.
#include "screenshot.h"

#include <vector>

#include "dialogs.h"
#include "error.h"
#include "files.h"
#include "png.h"

namespace drive {

namespace {

constexpr DWORD kPaintTimeoutMs = 5000;

struct Image {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;  // top-down, 0x00RRGGBB

  uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

BITMAPINFOHEADER header_of(int width, int height, WORD bits) {
  BITMAPINFOHEADER header = {};
  header.biSize = sizeof header;
  header.biWidth = width;
  header.biHeight = height;
  header.biPlanes = 1;
  header.biBitCount = bits;
  header.biCompression = BI_RGB;
  return header;
}

// What the X server shows in the window's rectangle, through the screen's device context.
Image capture(HWND window) {
  RECT rect;
  GetWindowRect(window, &rect);
  Image image;
  image.width = rect.right - rect.left;
  image.height = rect.bottom - rect.top;
  image.pixels.resize(static_cast<size_t>(image.width) * image.height);
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, image.width, image.height);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, image.width, image.height, screen, rect.left, rect.top, SRCCOPY);
  SelectObject(memory, old);
  BITMAPINFO info = {};
  info.bmiHeader = header_of(image.width, -image.height, 32);  // negative: top-down
  GetDIBits(memory, bitmap, 0, image.height, image.pixels.data(), &info, DIB_RGB_COLORS);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return image;
}

// Ink: more than one colour inside the control, away from its border.
bool shows_ink(const Image& image, const RECT& area) {
  uint32_t first = image.at(area.left, area.top);
  for (int y = area.top; y < area.bottom; ++y) {
    for (int x = area.left; x < area.right; ++x) {
      if (image.at(x, y) != first) return true;
    }
  }
  return false;
}

// Every control that holds text shows ink where it stands.
bool painted(HWND window, const Image& image) {
  RECT frame;
  GetWindowRect(window, &frame);
  for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    std::string text;
    if (!IsWindowVisible(child) || !read_text(child, &text) || text.empty()) continue;
    RECT area;
    GetWindowRect(child, &area);
    OffsetRect(&area, -frame.left, -frame.top);
    InflateRect(&area, -2, -2);
    RECT bounds = {0, 0, image.width, image.height};
    IntersectRect(&area, &area, &bounds);
    if (IsRectEmpty(&area) || !shows_ink(image, area)) return false;
  }
  return true;
}

// Holds the program's thread while capturing, so the picture and the check see the same state.
bool try_capture(UpdateRun& run, HWND window, Image* image) {
  run.suspend();
  *image = capture(window);
  run.resume();
  return painted(window, *image);
}

}  // namespace

void save_screenshot(UpdateRun& run, HWND window, const std::string& folder,
                     const std::string& name) {
  ULONGLONG deadline = GetTickCount64() + kPaintTimeoutMs;
  Image previous;
  Image image;
  // Painted, and the same in two pictures in a row: Wine paints the frame and the controls in
  // separate steps, and flushes each to the X server a moment later.
  while (!try_capture(run, window, &image) || image.pixels != previous.pixels) {
    if (!IsWindow(window) || GetTickCount64() > deadline) {
      fail("the window for " + name + " was never fully painted on screen");
    }
    previous = image;
    Sleep(10);
  }
  make_folders(folder);
  write_file(join(folder, name + ".png"), png_of(image.width, image.height, image.pixels));
}

}  // namespace drive
