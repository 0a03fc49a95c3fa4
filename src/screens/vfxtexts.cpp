#include "screens/vfxtexts.h"

#include <algorithm>
#include <array>

namespace pod {

namespace {

const std::array<std::string, 6> cTitles = {"ENGINE TRAIL",      "SPARKS",
                                            "IMPACT WAVE",       "SHIELD",
                                            "SHIELD AND IMPACT", "CHECKPOINT GLOW"};

const std::array<std::string, 6> cExplanations = {
    // Engine trail.
    "Each engine throws out one small particle per millisecond while it pushes. A particle "
    "keeps its start point and its speed and works out where it is only when the frame is "
    "drawn, so a thousand of them cost one subtraction each per update and one vertex "
    "array per engine. Young particles are pale and small, grow hot in the team colour, "
    "then cool and swell into dark smoke. More thrust means faster, longer-lived and "
    "larger particles: the plume tells at a glance how hard a pod is pushing. The "
    "particles fly on from where they were born, not from where the pod is now, so the "
    "trail draws itself as the pod moves away.",
    // Sparks.
    "When two pods touch, a burst of sparks leaves the point of contact along the tangent, "
    "half of them each way, scattered by up to 45 degrees. Along the tangent, because the "
    "two hulls scrape past each other there: sparks thrown along the line of the hit would "
    "fly straight into the pods. A harder hit throws more sparks, faster and for longer. "
    "Each spark is a stretched, textured quad turned along its path and fading out as it "
    "dies; the burst lasts a fraction of a second, so it is shown here slowed down and "
    "zoomed out.",
    // Impact wave.
    "A fragment shader paints the hit on the shield bubble: a white-hot spot where the "
    "blow lands, an arc of light running along the rim from it and a shock ring crossing "
    "the bubble, with the hexagonal cells round the hit lit up. The spot, the arc and the ring "
    "all grow with the strength of the hit and fade with its age, so a glancing touch and "
    "a head-on ram read differently. It is painted into a small square canvas and laid "
    "over the pod with additive blending, so it only ever brightens what is below.",
    // Shield.
    "The shield is a bubble of light computed pixel by pixel: a hexagonal lattice wrapped "
    "on a sphere, so its cells shrink towards the rim, brighter at the edge where the eye "
    "looks through more of it, with bands of energy crawling round. The only input is the "
    "time left on the shield: it flashes outwards when raised, flickers in its last "
    "second and fades out at 0, so a player sees how long the pod stays ten times heavier "
    "with its engine off. The bubble takes the colour of its pod.",
    // Shield and impact.
    "In a race the two effects meet: a shielded pod that is hit shows both its bubble and "
    "the shock of the blow. Both shaders paint into the same canvas with additive "
    "blending, the shield first and the impact over it, so their light adds up instead of "
    "one hiding the other, and the hit still reads on a bright shield. The impact replays "
    "every second here, at the direction and strength you give it, while the shield "
    "runs through its cycle.",
    // Checkpoint glow.
    "When a pod passes a checkpoint, the pad lights up in the colour of its team. A mask "
    "texture holds the pad's line work, its halo and eight sectors in its three colour "
    "channels; the shader lights them in turn. One team's flash sends a shock ring out "
    "through the line work and leaves the halo pulsing; the other sweeps a beam round the "
    "sectors. Two different shapes, not only two colours, so when both teams pass the "
    "same checkpoint within a second both flashes stay readable. It fades out in 2.5 s."};

int clampPage(int page) { return std::clamp(page, 0, static_cast<int>(cTitles.size()) - 1); }

} // namespace

const std::string& vfxPageTitle(int page) { return cTitles[static_cast<std::size_t>(clampPage(page))]; }

const std::string& vfxExplanation(int page) {
  return cExplanations[static_cast<std::size_t>(clampPage(page))];
}

} // namespace pod
