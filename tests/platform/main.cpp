// Runs every registered platform test class; the scanner dialogs need a
// QApplication. "-class Name" as the first arguments runs only that class.

#include "PlatformTests.h"

#include <QApplication>
#include <QTest>

#include <utility>
#include <vector>

namespace {
std::vector<std::pair<QByteArray, PlatformTestFactory>>& Registry()
{
    static std::vector<std::pair<QByteArray, PlatformTestFactory>> registry;
    return registry;
}
} // namespace

bool RegisterPlatformTest(const char* name, PlatformTestFactory factory)
{
    Registry().emplace_back(name, std::move(factory));
    return true;
}

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QByteArray only;
    std::vector<char*> args(argv, argv + argc);
    if (args.size() >= 3 && QByteArray(args[1]) == "-class") {
        only = args[2];
        args.erase(args.begin() + 1, args.begin() + 3);
    }
    int failures = 0;
    for (const auto& [name, factory] : Registry()) {
        if (!only.isEmpty() && name != only)
            continue;
        const std::unique_ptr<QObject> test = factory();
        failures += QTest::qExec(test.get(), static_cast<int>(args.size()), args.data());
    }
    return failures == 0 ? 0 : 1;
}
