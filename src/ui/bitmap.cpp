#include "ui/bitmap.hpp"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <map>
#include <optional>
#include <tuple>
#include <utility>

#include "base/file_descriptor.hpp"

namespace vx::ui {

namespace {

cairo_status_t readFrom(void* closure, unsigned char* data, unsigned int length) {
  const int fd = *static_cast<int*>(closure);
  while (length > 0) {
    const ssize_t n = ::read(fd, data, length);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return CAIRO_STATUS_READ_ERROR;
    data += n;
    length -= static_cast<unsigned int>(n);
  }
  return CAIRO_STATUS_SUCCESS;
}

// The pixel size a PNG file announces in its header (the IHDR chunk, which must come first),
// read before anything is decoded. Nothing when the file does not start like a PNG.
std::optional<std::pair<std::uint32_t, std::uint32_t>> announcedSize(int fd) {
  static constexpr unsigned char kSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
  unsigned char head[24];
  if (::pread(fd, head, sizeof head, 0) != static_cast<ssize_t>(sizeof head)) return std::nullopt;
  if (std::memcmp(head, kSignature, sizeof kSignature) != 0 || std::memcmp(head + 12, "IHDR", 4)) {
    return std::nullopt;
  }
  auto bigEndian = [&](int at) {
    return (std::uint32_t{head[at]} << 24) | (std::uint32_t{head[at + 1]} << 16) |
           (std::uint32_t{head[at + 2]} << 8) | std::uint32_t{head[at + 3]};
  };
  return std::pair{bigEndian(16), bigEndian(20)};
}

// Which version of a file was read: another file put in its place, or the file written again,
// changes at least one of these.
struct FileVersion {
  dev_t device = 0;
  ino_t inode = 0;
  off_t size = 0;
  std::int64_t modified = 0;  // nanoseconds
  std::int64_t changed = 0;
  friend bool operator==(const FileVersion&, const FileVersion&) = default;
};

std::optional<FileVersion> versionOf(int fd) {
  struct stat st {};
  if (::fstat(fd, &st) != 0) return std::nullopt;
  auto ns = [](const timespec& t) { return std::int64_t{t.tv_sec} * 1'000'000'000 + t.tv_nsec; };
  return FileVersion{st.st_dev, st.st_ino, st.st_size, ns(st.st_mtim), ns(st.st_ctim)};
}

// The images this thread decoded, by path, each with the version of the file it came from.
// A widget shows the same few icons drawing after drawing; each is decoded again only when
// another version of its file stands there. Bounded: past the limit it starts over.
struct KeptImages {
  static constexpr std::size_t kMaxKept = 64;
  std::map<std::string, std::pair<FileVersion, std::shared_ptr<const Bitmap>>, std::less<>> images;
};

KeptImages& keptImages() {
  thread_local KeptImages kept;
  return kept;
}

std::shared_ptr<const Bitmap> decode(int fd) {
  // A few kilobytes of PNG can announce gigabytes of pixels: the size is checked before decoding.
  const auto size = announcedSize(fd);
  if (!size || size->first > kMaxImageSide || size->second > kMaxImageSide) return nullptr;
  SurfaceHandle s(cairo_image_surface_create_from_png_stream(readFrom, &fd));
  if (cairo_surface_status(s.get()) != CAIRO_STATUS_SUCCESS ||
      cairo_image_surface_get_width(s.get()) <= 0 || cairo_image_surface_get_height(s.get()) <= 0) {
    return nullptr;
  }
  return std::make_shared<const Bitmap>(std::move(s));
}

}  // namespace

std::shared_ptr<const Bitmap> Bitmap::loadPng(const std::string& path) {
  // Read only when it is a regular file: a FIFO or device that someone left under an image's
  // name must not hold the drawing up. A symbolic link there is not followed: it could show any
  // image of the user's as the one expected.
  KeptImages& kept = keptImages();
  const base::FileDescriptor file = base::openRegularFile(path.c_str());
  const std::optional<FileVersion> version = file.valid() ? versionOf(file.get()) : std::nullopt;
  if (!version) {
    if (auto found = kept.images.find(path); found != kept.images.end()) kept.images.erase(found);
    return nullptr;
  }
  if (auto found = kept.images.find(path);
      found != kept.images.end() && found->second.first == *version) {
    return found->second.second;
  }
  std::shared_ptr<const Bitmap> decoded = decode(file.get());
  if (kept.images.size() >= KeptImages::kMaxKept) kept.images.clear();
  kept.images.insert_or_assign(path, std::pair{*version, decoded});
  return decoded;
}

int Bitmap::width() const {
  return cairo_image_surface_get_width(surface_.get());
}

int Bitmap::height() const {
  return cairo_image_surface_get_height(surface_.get());
}

std::shared_ptr<const Bitmap> Bitmap::monochrome() const {
  const int w = width();
  const int h = height();
  SurfaceHandle out(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h));
  if (cairo_surface_status(out.get()) != CAIRO_STATUS_SUCCESS) return nullptr;
  {
    ContextHandle cr(cairo_create(out.get()));
    cairo_set_source_surface(cr.get(), surface_.get(), 0, 0);
    cairo_set_operator(cr.get(), CAIRO_OPERATOR_SOURCE);
    cairo_paint(cr.get());
  }
  cairo_surface_flush(out.get());
  unsigned char* data = cairo_image_surface_get_data(out.get());
  const int stride = cairo_image_surface_get_stride(out.get());
  for (int y = 0; y < h; ++y) {
    auto* px = reinterpret_cast<std::uint32_t*>(data + y * stride);
    for (int x = 0; x < w; ++x) {
      const std::uint32_t p = px[x];
      const std::uint32_t a = p >> 24;
      const std::uint32_t r = (p >> 16) & 0xFF;
      const std::uint32_t g = (p >> 8) & 0xFF;
      const std::uint32_t b = p & 0xFF;
      // Premultiplied components stay premultiplied: a weighted sum of them is too.
      const std::uint32_t grey = (r * 54 + g * 183 + b * 19) >> 8;
      px[x] = (a << 24) | (grey << 16) | (grey << 8) | grey;
    }
  }
  cairo_surface_mark_dirty(out.get());
  return std::make_shared<const Bitmap>(std::move(out));
}

}  // namespace vx::ui
