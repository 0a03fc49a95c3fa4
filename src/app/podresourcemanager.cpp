#include "app/podresourcemanager.h"

#include <vexa/core/components.h>
#include <vexa/core/pathmanager.h>

#include <qutils/assert.h>

#include <utility>

namespace pod {

namespace {

// Themes are appended here; each takes the next block of ids.
const std::vector<std::string> kThemeNames = {"default", "night"};

const std::vector<std::pair<std::uint32_t, const char*>> kFixedTextures = {
    {TextureId::ParticleTrail, "/particle_trail.png"},
    {TextureId::ParticleEngine, "/particle_engine.png"},
    {TextureId::ParticleSpark, "/particle_spark.png"},
    {TextureId::UiGameMode, "/ui_gamemode.png"},
    {TextureId::UiTeamName, "/ui_teamname.png"},
    {TextureId::UiTeamNameMask, "/ui_teamname_mask.png"},
    {TextureId::Logo, "/logo.png"},
    {TextureId::KeysP1, "/keys_p1.png"},
    {TextureId::KeysP2, "/keys_p2.png"},
    {TextureId::Cursor, "/cursor.png"},
    {TextureId::LogoCpp, "/logo_cpp.png"},
    {TextureId::LogoTarvok, "/logo_tarvok.png"},
    {TextureId::LogoSfml, "/logo_sfml.png"},
};

// Load order within a theme.
const std::vector<std::pair<std::uint32_t, const char*>> kThemeTextures = {
    {ThemeTexture::Checkpoint, "/checkpoint_base-"},
    {ThemeTexture::CheckpointFlashMask, "/checkpoint_flash_mask-"},
    {ThemeTexture::Pod1Team1, "/ship_1_1-"},
    {ThemeTexture::Pod2Team1, "/ship_1_2-"},
    {ThemeTexture::Pod1Team2, "/ship_2_1-"},
    {ThemeTexture::Pod2Team2, "/ship_2_2-"},
    {ThemeTexture::Background, "/background-"},
};

} // namespace

const std::vector<std::string>& PodResourceManager::themeNames() {
  return kThemeNames;
}

std::uint32_t PodResourceManager::getNbThemes() {
  return static_cast<std::uint32_t>(kThemeNames.size());
}

std::uint32_t PodResourceManager::themeTextureId(std::uint32_t nb,
                                                 std::uint32_t kind) {
  Q_ASSERT(nb < PodResourceManager::getNbThemes());
  Q_ASSERT(kind < ThemeTexture::Count);
  return cFirstThemeId + cThemeStride * nb + kind;
}

bool PodResourceManager::init() { return true; }

bool PodResourceManager::loadResources() {
  const vexa::PathManager& paths = vexa::pathManager();
  fonts().load(FontId::Main, paths.fontsPath() + "monofonto.ttf");

  // Every file is checked now, but decoded (and mipmapped) when first drawn:
  // the menu shows a handful of them, a race its theme's, and the largest
  // images belong to themes that may never be chosen.
  const std::string textures = paths.texturesPath();
  for (const auto& [id, name] : kFixedTextures)
    this->textures().declare(id, textures + name);
  this->textures().declare(TextureId::MenuBackground,
                           textures + "/background-" + kThemeNames[1] + ".png",
                           [](sf::Texture& texture) { texture.setSmooth(true); });

  // Pods and checkpoints are drawn scaled and rotated. A background is only
  // ever drawn once per window size, into a cache, at no less than 0.6 of its
  // size: smoothing suffices. The flash mask is sampled by a shader as it is.
  const auto smooth = [](sf::Texture& texture) { texture.setSmooth(true); };
  const auto mipmapped = [](sf::Texture& texture) {
    texture.setSmooth(true);
    texture.generateMipmap();
  };
  for (std::uint32_t t = 0; t < getNbThemes(); ++t) {
    for (const auto& [kind, prefix] : kThemeTextures) {
      vexa::TextureHolder::Prepare prepare;
      if (kind == ThemeTexture::Background)
        prepare = smooth;
      else if (kind != ThemeTexture::CheckpointFlashMask)
        prepare = mipmapped;
      this->textures().declare(themeTextureId(t, kind),
                               textures + prefix + kThemeNames[t] + ".png", prepare);
    }
  }
  return true;
}

bool PodResourceManager::hasTexture(std::uint32_t id) {
  return textures().contains(id);
}

} // namespace pod
