#pragma once

#include <string>

namespace vexa {

// Folder names, all under resourcesPath(): overriding it moves them all.
class PathManager {
public:
  virtual std::string fontsPath() const;
  virtual std::string resourcesPath() const;
  virtual std::string shadersPath() const;
  virtual std::string texturesPath() const;
  virtual bool init();
  virtual ~PathManager() = default;
};

} // namespace vexa
