#pragma once

#include <memory>
#include <string>
#include <vector>

namespace sf {
class RenderWindow;
}

namespace vexa {

// Told whenever the window is (re)created: render states tied to the old
// context must be rebuilt then.
class WindowListener {
public:
  virtual ~WindowListener() = default;
  virtual void onWindowCreated(sf::RenderWindow& window) = 0;
};

// Owns the window.
class Graphics {
public:
  // Title bar, resizable and close button.
  static constexpr unsigned cDefaultStyle = 7;

  Graphics();

  virtual sf::RenderWindow* window() const;
  virtual bool init(const std::string& title);
  virtual bool isOpen() const;
  virtual void onResize(unsigned width, unsigned height);
  virtual void create(unsigned width, unsigned height, unsigned style);
  virtual void addListener(WindowListener* listener);
  virtual void removeListener(WindowListener* listener);
  virtual ~Graphics();

  const std::string& title() const { return title_; }
  // Also retitles an open window.
  void setTitle(const std::string& title);

private:
  std::string title_;
  std::unique_ptr<sf::RenderWindow> window_;
  std::vector<WindowListener*> listeners_;
};

} // namespace vexa
