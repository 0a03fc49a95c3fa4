// vuzuder-artgen <resources-dir>                  writes every image of the game
// vuzuder-artgen --only NAME[,NAME] <resources-dir>  writes some groups only
// vuzuder-artgen --preview-shaders <out-dir> [resources-dir]
//                                                  renders the effect shaders to PNGs
#include "art.h"


#include <filesystem>
#include <functional>
#include <iostream>

int main(int argc, char** argv) {
    using namespace artgen;
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() >= 2 && args[0] == "--preview-shaders") {
        const std::string res = args.size() >= 3 ? args[2] : "resources";
        std::filesystem::create_directories(args[1]);
        return previewShaders(res, args[1]) ? 0 : 1;
    }
    std::string only;
    if (args.size() >= 3 && args[0] == "--only") {
        only = "," + args[1] + ",";
        args.erase(args.begin(), args.begin() + 2);
    }
    if (args.size() != 1) {
        std::cerr << "usage: vuzuder-artgen [--only GROUPS] <resources-dir>\n"
                     "       vuzuder-artgen --preview-shaders <out-dir> [resources-dir]\n"
                     "groups: pods,icon,icons,checkpoints,backgrounds,particles,interface,keys,logos\n";
        return 2;
    }
    Context ctx;
    ctx.outDir = args[0];
    std::filesystem::create_directories(ctx.outDir + "/textures");
    if (!ctx.font.loadFromFile(ctx.outDir + "/fonts/monofonto.ttf")) {
        std::cerr << "vuzuder-artgen: needs " << ctx.outDir << "/fonts/monofonto.ttf\n";
        return 1;
    }
    const std::vector<std::pair<std::string, std::function<void(Context&)>>> groups{
        {"pods", makePods},           {"icon", makeIcon},           {"icons", makeDesktopIcons}, {"checkpoints", makeCheckpoints},
        {"backgrounds", makeBackgrounds}, {"particles", makeParticles}, {"interface", makeInterface},
        {"keys", makeKeys},           {"logos", makeLogos}};
    for (const auto& [name, make] : groups)
        if (only.empty() || only.find("," + name + ",") != std::string::npos) make(ctx);
    return ctx.ok ? 0 : 1;
}
