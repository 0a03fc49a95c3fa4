#pragma once

#include <vexa/core/resourcemanager.h>

#include <cstdint>
#include <string>
#include <vector>

namespace pod {

// Textures that exist once, whatever the theme.
namespace TextureId {
enum : std::uint32_t {
  ParticleTrail = 0,
  ParticleEngine = 1,
  ParticleSpark = 2,
  UiGameMode = 3,
  UiTeamName = 4,
  UiTeamNameMask = 5,
  Logo = 6,
  KeysP1 = 7,
  KeysP2 = 8,
  Cursor = 9,
  LogoCpp = 50,
  LogoSfml = 51,
  LogoTarvok = 52,
  // The Dusk background under an id of the menu's own, so that the menu can
  // free it without pulling it from under the race.
  MenuBackground = 53
};
} // namespace TextureId

// The textures every theme provides, as offsets from the theme's first id.
namespace ThemeTexture {
enum : std::uint32_t {
  Pod1Team1 = 0,
  Pod2Team1 = 1,
  Pod1Team2 = 2,
  Pod2Team2 = 3,
  Checkpoint = 4,
  CheckpointFlashMask = 5,
  Background = 6,
  Count = 7
};
} // namespace ThemeTexture

namespace FontId {
enum : std::uint32_t { Main = 0 };
} // namespace FontId

// Loads the font at start-up and every texture of every theme on its first
// use. A theme is a block of ids, so switching theme only changes an id.
class PodResourceManager : public vexa::ResourceManager {
public:
  static constexpr std::uint32_t cFirstThemeId = 10;
  static constexpr std::uint32_t cThemeStride = 10;

  static const std::vector<std::string>& themeNames();
  static std::uint32_t getNbThemes();
  // Id of texture kind (ThemeTexture) in theme nb.
  static std::uint32_t themeTextureId(std::uint32_t nb, std::uint32_t kind);

  bool init() override;
  // Throws std::runtime_error naming the first file that fails to load.
  bool loadResources() override;

  bool hasTexture(std::uint32_t id);
};

} // namespace pod
