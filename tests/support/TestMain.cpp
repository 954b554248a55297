#include "TestRegistry.h"

#include <QApplication>

std::vector<TestRegistry::Entry>& TestRegistry::Entries()
{
    static std::vector<Entry> entries;
    return entries;
}

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    std::vector<char*> args(argv, argv + argc);
    QByteArray only;
    if (args.size() >= 3 && QByteArray(args[1]) == "-class") {
        only = args[2];
        args.erase(args.begin() + 1, args.begin() + 3);
    }
    int failures = 0;
    for (const TestRegistry::Entry& entry : TestRegistry::Entries()) {
        if (!only.isEmpty() && entry.name != only)
            continue;
        failures += entry.run(static_cast<int>(args.size()), args.data()) != 0 ? 1 : 0;
    }
    return failures == 0 ? 0 : 1;
}
