#pragma once

#include <qutils/assert.h>

#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>

// Resources under an id, referenced until the holder dies. A resource is
// either loaded at once or declared: a declared one is loaded on its first
// get, so that start-up pays only for what it shows.
template <typename Resource, typename Identifier>
class ResourceHolder {
public:
  using Prepare = std::function<void(Resource&)>;

  // Throws std::runtime_error when the file cannot be loaded.
  void load(Identifier id, const std::string& filename) {
    auto resource = std::make_unique<Resource>();
    if (!resource->loadFromFile(filename))
      fail(filename);
    insertResource(id, std::move(resource));
  }

  // For resources that take a second argument (shader type, sub-rectangle).
  template <typename Parameter>
  void load(Identifier id, const std::string& filename,
            const Parameter& secondParam) {
    auto resource = std::make_unique<Resource>();
    if (!resource->loadFromFile(filename, secondParam))
      fail(filename);
    insertResource(id, std::move(resource));
  }

  // Loads the file on the first get, then runs prepare on it. A file that
  // cannot be opened now throws now, as load would.
  void declare(Identifier id, const std::string& filename, Prepare prepare = {}) {
    if (!std::ifstream(filename))
      fail(filename);
    Q_ASSERT(!contains(id));
    mDeclared[id] = Declared{filename, std::move(prepare)};
  }

  Resource& get(Identifier id) { return *find(id); }
  const Resource& get(Identifier id) const { return *find(id); }

  // Frees a declared resource that was loaded: the next get loads it again.
  // Nothing else may still refer to it.
  // Returns whether it freed anything.
  bool release(Identifier id) {
    return mDeclared.count(id) != 0 && mResourceMap.erase(id) != 0;
  }

  bool contains(Identifier id) const {
    return mResourceMap.count(id) != 0 || mDeclared.count(id) != 0;
  }
  bool isLoaded(Identifier id) const { return mResourceMap.count(id) != 0; }

private:
  struct Declared {
    std::string filename;
    Prepare prepare;
  };

  [[noreturn]] static void fail(const std::string& filename) {
    throw std::runtime_error("ResourceHolder::load - Failed to load " + filename);
  }

  using Map = std::map<Identifier, std::unique_ptr<Resource>>;

  Resource* find(Identifier id) const {
    auto found = mResourceMap.find(id);
    if (found == mResourceMap.end())
      found = loadDeclared(id);
    Q_ASSERT(found != mResourceMap.end());
    if (found == mResourceMap.end())
      throw std::out_of_range("ResourceHolder::get - unknown id");
    return found->second.get();
  }

  typename Map::iterator loadDeclared(Identifier id) const {
    auto declared = mDeclared.find(id);
    if (declared == mDeclared.end())
      return mResourceMap.end();
    auto resource = std::make_unique<Resource>();
    if (!resource->loadFromFile(declared->second.filename))
      fail(declared->second.filename);
    if (declared->second.prepare)
      declared->second.prepare(*resource);
    return mResourceMap.emplace(id, std::move(resource)).first;
  }

  void insertResource(Identifier id, std::unique_ptr<Resource> resource) {
    Q_ASSERT(!mDeclared.count(id));
    auto inserted = mResourceMap.insert(std::make_pair(id, std::move(resource)));
    Q_ASSERT(inserted.second);
  }

  // Filled on first use, even through a const holder.
  mutable Map mResourceMap;
  mutable std::map<Identifier, Declared> mDeclared;
};
