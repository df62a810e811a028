// The sealing tool: seals and opens files, and publishes application files with their
// sealed manifest.
#include <iostream>

#include "seal/seal_cli.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    return seal::RunSealTool(args, std::cout, std::cerr);
}
