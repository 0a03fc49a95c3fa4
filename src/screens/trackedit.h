#pragma once

#include "race/track.h"

#include <qutils/vec2.h>

#include <string>

namespace pod {

// What the track editor does to its track, without a window: pick, create,
// drag and erase checkpoints, and save or load them as ".prt" files in one
// folder. Every edit, save or load leaves a one-line status for the screen.
class TrackEdit {
public:
  static constexpr float cPickRadius = 200.f;
  static constexpr std::size_t cMaxNameLength = 64;

  const Track& track() const { return track_; }
  // Index in the checkpoint list, -1 for none.
  int selected() const { return selected_; }
  // UTF-8.
  const std::string& status() const { return status_; }
  void setStatus(std::string status) { status_ = std::move(status); }

  // The first checkpoint in list order whose centre lies within the pick
  // radius of p (bound included), or -1.
  int checkpointAt(const qutils::Vec2& p) const;
  void select(const qutils::Vec2& p);
  // Moves the selected checkpoint, if any, to p.
  void drag(const qutils::Vec2& p);
  // Appends a checkpoint at p unless one lies there already.
  bool create(const qutils::Vec2& p);
  // Removes the selected checkpoint and numbers the rest 0..n-1.
  bool eraseSelected();

  // Both refuse a bad file name; a failed load keeps the current track.
  // The file holds the track centred on the origin; the edit stays where it
  // is, so that nothing moves on screen.
  // With a shipped folder apart from the player's, a save never takes the
  // name of a shipped track, and a load looks in the player's folder first.
  bool save(const std::string& folder, const std::string& typedName,
            const std::string& shippedFolder = "");
  bool load(const std::string& folder, const std::string& typedName,
            const std::string& shippedFolder = "");

  // The typed name without surrounding spaces, if it is a safe file name:
  // letters, digits, spaces, '-' and '_', at most 64 characters. Otherwise
  // empty, with the reason in why.
  static std::string fileName(const std::string& typed, std::string* why = nullptr);
  // Why a character cannot be part of a name, or null when it can.
  static const char* refusal(char32_t c);

private:
  void renumber();
  void describe(const std::string& what);

  Track track_;
  int selected_ = -1;
  std::string status_;
};

} // namespace pod
