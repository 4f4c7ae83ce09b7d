// Program entry. For now it only reports its version; the process shell
// (log, settings, command line, window and level loop) grows here.
#include <cstdio>

int main()
{
    std::printf("Lumaroll %s\n", LUMAROLL_VERSION);
    return 0;
}
