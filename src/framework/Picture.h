#pragma once
// Pictures compiled into the program, found by (type, name): vector drawings (SVG) under
// "FRAMES" and raster ones (PNG) under "BITMAP". A TPicture is a handle to one of them; copying
// it copies a pointer and decodes nothing, so components can switch pictures on every state
// change for free. Decoding (and caching of the decoded drawing) is the GUI's business.
#include <cstddef>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>

struct TPictureResource {
  std::string_view Type;
  std::string_view Name;
  int Width;   // natural size in pixels
  int Height;
  std::string_view Format;  // "svg" or "png"
  const unsigned char* Bytes;
  std::size_t Size;
};

// Every picture the program carries.
std::span<const TPictureResource> PictureResources();

// The error a missing resource raises: "Resource NAME not found".
class EResNotFound : public std::runtime_error {
 public:
  explicit EResNotFound(std::string_view name);
};

// Looks a resource up exactly as named (no case folding, "MMOTORVALVE_09" is not
// "MMOTORVALVE_9"); throws EResNotFound.
const TPictureResource& FindPictureResource(std::string_view type, std::string_view name);

class TPicture {
 public:
  TPicture() = default;
  explicit TPicture(const TPictureResource* resource) : FResource(resource) {}

  // Loads by (type, name); throws EResNotFound.
  static TPicture Load(std::string_view type, std::string_view name) {
    return TPicture(&FindPictureResource(type, name));
  }
  static TPicture LoadFrame(std::string_view name) { return Load("FRAMES", name); }
  static TPicture LoadBitmap(std::string_view name) { return Load("BITMAP", name); }

  bool Empty() const { return FResource == nullptr; }
  const TPictureResource* Resource() const { return FResource; }
  std::string_view Name() const { return FResource ? FResource->Name : std::string_view(); }
  std::string_view Type() const { return FResource ? FResource->Type : std::string_view(); }
  int Width() const { return FResource ? FResource->Width : 0; }
  int Height() const { return FResource ? FResource->Height : 0; }

  bool operator==(const TPicture& o) const { return FResource == o.FResource; }

 private:
  const TPictureResource* FResource = nullptr;
};
