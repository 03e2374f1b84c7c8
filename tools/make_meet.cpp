// Writes a made-up meet for trying the program at scale; by default the
// largest meet the record files allow (3276 heats of ten lanes, 32757
// competitors, 60 splits a lane, about 50 MB of lap files).
//
//   make_meet <folder> [--heats N] [--competitors M] [--splits S] [--oddities]
//             [--upper-case-laps] [--server] [--seed N]
//
// --server writes the server's meet folder (taikai.txt, ind2.txt, kijun.txt,
// lap/rNNNN.txt) instead of the timing machine's folder.
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

#include "tools/meet_generator.h"

int main(int argc, char* argv[]) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: make_meet <folder> [--heats N] [--competitors M] "
                             "[--splits S] [--oddities] [--upper-case-laps] [--server] [--seed N]\n");
        return 2;
    }
    quendro::tools::MeetShape shape;
    bool server = false;
    for (int i = 2; i < argc; ++i) {
        std::string arg = argv[i];
        auto number = [&] { return i + 1 < argc ? std::atoi(argv[++i]) : 0; };
        if (arg == "--heats") shape.heats = number();
        else if (arg == "--competitors") shape.competitors = number();
        else if (arg == "--splits") shape.splits = number();
        else if (arg == "--seed") shape.seed = static_cast<std::uint32_t>(number());
        else if (arg == "--oddities") shape.full = false;
        else if (arg == "--upper-case-laps") shape.upperCaseLapFolder = true;
        else if (arg == "--server") server = true;
        else {
            std::fprintf(stderr, "make_meet: unknown option %s\n", arg.c_str());
            return 2;
        }
    }
    try {
        if (server) {
            quendro::tools::writeServerMeet(argv[1], shape);
        } else {
            quendro::tools::writeLocalMeet(argv[1], shape);
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "make_meet: %s\n", e.what());
        return 1;
    }
    return 0;
}
