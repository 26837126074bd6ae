// zandor-cli: runs the table tools and analyses of Zandor from the command line.
#include <string>
#include <vector>

#include "cli/cli.h"

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    return zandor::cli::runCli(args, zandor::cli::Streams{stdout, stderr});
}
