#include "screens/menutexts.h"

#include <cctype>

namespace pod {

const std::string& timeAttackRulesText() {
  static const std::string text =
      "Race as fast as possible ! The first pod to complete three laps wins.\n"
      " - Collisions are disabled.\n"
      " - Timeout is 100 seconds.";
  return text;
}

const std::string& raceRulesText() {
  static const std::string text =
      "Two teams of two pods race each other. The first pod to complete three "
      "laps gives victory to his team.\n"
      " - Timeout is 100 seconds.\n"
      " - Team timeout : when a pod clears its checkpoint timeout resets for "
      "its team.";
  return text;
}

const std::string& timeAttackExplanationText() {
  static const std::string text =
      "In time attack the pods go through each other, so only raw speed "
      "counts. The AIs are described when you select them in the 'Race' "
      "mode.\n"
      "Two player-controlled ships can also race against the AIs.";
  return text;
}

std::string botDescription(const std::string& name) {
  std::string upper = name;
  for (char& c : upper)
    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return upper +
         "\n\n"
         "An external bot: a program given on the command line that drives both pods of "
         "its team through a text protocol (docs/BOTS.md).\n\n"
         "It is sent the race every turn and has the turn's real time at the current "
         "game speed to answer: a late answer makes its pods coast for that turn. A bot "
         "that crashes, quits or writes a malformed line forfeits the race.";
}

std::string driverDescription(int choice, bool forTeam1) {
  switch (choice) {
  case 0:
    return "STEERING HEURISTICS\n\n"
           "A hand-tuned AI built from steering behaviours: seek the next "
           "checkpoint, anticipate the one after, brake before the turn, "
           "shield when a hit is coming.\n\n"
           "It splits its team in two roles. The pod that is ahead in the race "
           "becomes the runner and only thinks about its lap. The other one "
           "becomes a blocker: it waits on the path of the leading opponent "
           "and rams it. Simple and fast, it is a tough opponent for the "
           "genetic AIs, which often need many turns to match it.";
  case 1:
    return "GENETIC\n\n"
           "A genetic algorithm plans the next ten turns of both pods at once. "
           "A gene is one command (turn, thrust, shield), a genome is a whole "
           "plan for the team.\n\n"
           "Each generation, the plans are replayed with the real physics and "
           "scored by a fitness: progress of the runner, position of the "
           "hunter in front of the leading opponent. The best plans are kept, "
           "crossed and mutated, and the next generation starts from them. "
           "One pod runs, the other hunts.";
  case 2:
    return "PREDICTIVE GENETIC\n\n"
           "The hunter and runner plan of 'Genetic', with one more step: "
           "before evolving its own plan, the AI predicts what the opponents "
           "will do.\n\n"
           "It spends the first tenth of every turn evolving the best plan of the "
           "other team, as if it were driving it, then evolves its own plan "
           "against that prediction. Less time is left for its own plan, but "
           "the hunter aims where the opponent will be, not where it is.";
  case 3:
    return "GENETIC RUNNERS\n\n"
           "One genome for the whole team, like 'Genetic', but both pods are "
           "runners: the fitness rewards the progress of the two pods and "
           "nobody hunts.\n\n"
           "Two fast pods give two chances to win the race, and the planner "
           "still makes them avoid each other since they share one plan. "
           "Nothing slows the opponents down, though.";
  case 4:
    return "GENETIC (SEPARATE)\n\n"
           "The runner and the hunter each evolve their own genome, on their "
           "own thread, with their own fitness.\n\n"
           "Each pod gets the whole thinking time for its plan, but the two "
           "plans are made apart: the runner does not know where its hunter "
           "goes, and they sometimes get in each other's way. Cooperation is "
           "what is lost when the genome is split.";
  case 5:
    return "GEN. TWO RUNNERS\n\n"
           "Separate genomes and two runners: every pod for itself.\n\n"
           "Each pod evolves its own plan to finish the laps as fast as it "
           "can, ignoring its team mate and the opponents except when it "
           "crashes into them. The purest racers of the lot, and the most "
           "selfish.";
  case 6:
    if (forTeam1)
      return "PLAYER AND BLOCKER\n\n"
             "You drive the first pod with the arrow keys:\n"
             " - Up : boost\n"
             " - Left / Right : turn\n"
             " - Down : shield\n\n"
             "Your team mate is an AI blocker: it hunts the leading opponent "
             "and tries to ram it out of your way.";
    return "PLAYER AND BLOCKER\n\n"
           "You drive the first pod with the letter keys (AZERTY or QWERTY "
           "layouts):\n"
           " - Z / W : boost\n"
           " - A / Q and D : turn\n"
           " - S : shield\n\n"
           "Your team mate is an AI blocker: it hunts the leading opponent "
           "and tries to ram it out of your way.";
  case 7:
    return "TWO PLAYERS\n\n"
           "Two people share the team, one pod each.\n\n"
           "The first pod is driven with the arrow keys: Up boosts, Left and "
           "Right turn, Down raises the shield.\n"
           "The second pod is driven with the letter keys: Z or W boosts, A "
           "or Q and D turn, S raises the shield.";
  default:
    return std::string();
  }
}

const std::vector<std::string>& triviaEntries() {
  static const std::vector<std::string> entries = {
      "The steering AI has no planner at all: its strength lies in a handful "
      "of hand-tuned heuristics, refined race after race until the genetic "
      "AIs had a hard time beating it.",
      "Vuzuder UR began as a bench for testing racing AIs written for a "
      "programming puzzle. Watching them race in a console was no fun, so a "
      "game grew around the bench.",
      "The game runs on its own small engine: screens, input, widgets and "
      "cameras are written on top of a portable multimedia library that only "
      "opens the window, draws and reads the keyboard.",
      "Grouped genetic AIs evolve one plan for both pods, and cooperation "
      "comes out of it: you may see a runner bounce off its own hunter to "
      "gain speed toward the next checkpoint.",
      "The physics takes long steps: one turn is 0.25 s of game time. The "
      "display interpolates the pods between two turns, which is why the "
      "race looks smooth at every speed.",
      "The ship sprites were not drawn by hand: a small program of the "
      "project paints them from simple shapes, gradients and glows, one "
      "colour per team and theme.",
      "Genetic algorithms need time: many generations of many plans. A turn "
      "leaves them only a fraction of a second, so every replay of the "
      "physics has to be fast.",
      "The AIs must answer every turn, ready or not. Changing the game speed "
      "changes their thinking time: at the fastest speed the genetic AIs "
      "have ten times less time to plan.",
      "The genetic AIs think on threads: one per pod for the separate ones, "
      "one per team for the grouped ones. The grouped ones get half the "
      "computing power per pod and still win more often.",
  };
  return entries;
}

} // namespace pod
