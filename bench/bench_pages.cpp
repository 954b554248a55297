// Prints the paths of the generated A4 scans (300 and 600 DPI), making
// them first if needed, for the scripts that compare whole programs.

#include "BenchPages.h"

#include <cstdio>

int main()
{
    for (const int dpi : {300, 600})
        std::printf("%s\n", BenchPage(dpi).toLocal8Bit().constData());
    return 0;
}
