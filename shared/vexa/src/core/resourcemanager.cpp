#include "vexa/core/resourcemanager.h"

namespace vexa {

bool ResourceManager::init() { return true; }

} // namespace vexa
