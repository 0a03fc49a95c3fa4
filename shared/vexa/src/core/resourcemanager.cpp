#include "vexa/core/resourcemanager.h"

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace vexa {

bool ResourceManager::init() { return true; }

void ResourceManager::releaseTexture(std::uint32_t id) {
  if (!textures_.release(id))
    return;
#ifdef __GLIBC__
  // A freed image of several megabytes sits inside the heap, where the
  // allocator would keep it: give its pages back.
  malloc_trim(0);
#endif
}

} // namespace vexa
