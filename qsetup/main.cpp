// qsetup: the installation package's console program for packaging engineers
// and deployment tools.
#include <cstdio>
#include <new>
#include <string>
#include <vector>

#include "qsetup/Cli.h"

int main(int argc, char** argv) {
    try {
        std::vector<std::string> args(argv + 1, argv + argc);
        qsetup::StdConsole console;
        return qsetup::Run(args, console);
    } catch (const std::bad_alloc&) {
        std::fputs("qsetup: out of memory\n", stderr);
    } catch (...) {
        std::fputs("qsetup: internal error\n", stderr);
    }
    return qsetup::kExitFindings;
}
