#include <cstdio>

int main()
{
    std::puts("Wevra PCB: the editor window is not built yet.");
    return 0;
}
