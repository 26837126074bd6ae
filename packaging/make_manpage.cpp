// Writes the manual page zandor-cli(1) from the program's help texts:
//   make_manpage OUTPUT SAMPLES_DIR
#include <cstdio>
#include <fstream>

#include "cli/cli.h"

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_manpage OUTPUT SAMPLES_DIR\n");
        return 64;
    }
    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    out << zandor::cli::manualPage(argv[2]);
    out.close();
    if (!out) {
        std::fprintf(stderr, "make_manpage: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
