// The baseline of the command line's start-up benchmark: the least a Qt Core
// program does to answer --version.
#include <QCoreApplication>
#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    std::fputs("vxarb 0.0\n", stdout);
    return 0;
}
