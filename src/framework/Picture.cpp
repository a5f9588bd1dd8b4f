#include "framework/Picture.h"

EResNotFound::EResNotFound(std::string_view name)
    : std::runtime_error("Resource " + std::string(name) + " not found") {}

const TPictureResource& FindPictureResource(std::string_view type, std::string_view name) {
  for (const TPictureResource& r : PictureResources())
    if (r.Name == name && r.Type == type) return r;
  throw EResNotFound(name);
}
