// velmora-sim SCENARIO.json: runs the program on the simulated Windows machine and prints the
// transcript, one JSON object per line.

#include <fstream>
#include <iostream>
#include <sstream>

#include "scenario/runner.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: velmora-sim SCENARIO.json\n";
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::cerr << "velmora-sim: cannot read " << argv[1] << "\n";
        return 2;
    }
    std::ostringstream text;
    text << in.rdbuf();
    return scenario::runScenario(text.str(), std::cout);
}
