#pragma once

#include <qutils/assert.h>

#include <map>
#include <memory>
#include <stdexcept>
#include <string>

// Resources loaded once under an id and referenced until the holder dies.
template <typename Resource, typename Identifier>
class ResourceHolder {
public:
  // Throws std::runtime_error when the file cannot be loaded.
  void load(Identifier id, const std::string& filename) {
    auto resource = std::make_unique<Resource>();
    if (!resource->loadFromFile(filename))
      throw std::runtime_error("ResourceHolder::load - Failed to load " +
                               filename);
    insertResource(id, std::move(resource));
  }

  // For resources that take a second argument (shader type, sub-rectangle).
  template <typename Parameter>
  void load(Identifier id, const std::string& filename,
            const Parameter& secondParam) {
    auto resource = std::make_unique<Resource>();
    if (!resource->loadFromFile(filename, secondParam))
      throw std::runtime_error("ResourceHolder::load - Failed to load " +
                               filename);
    insertResource(id, std::move(resource));
  }

  Resource& get(Identifier id) {
    auto found = mResourceMap.find(id);
    Q_ASSERT(found != mResourceMap.end());
    return *found->second;
  }

  const Resource& get(Identifier id) const {
    auto found = mResourceMap.find(id);
    Q_ASSERT(found != mResourceMap.end());
    return *found->second;
  }

  bool contains(Identifier id) const { return mResourceMap.count(id) != 0; }

private:
  void insertResource(Identifier id, std::unique_ptr<Resource> resource) {
    auto inserted = mResourceMap.insert(std::make_pair(id, std::move(resource)));
    Q_ASSERT(inserted.second);
  }

  std::map<Identifier, std::unique_ptr<Resource>> mResourceMap;
};
