#include "TestRegistry.h"

#include <QApplication>

std::vector<TestRegistry::Runner>& TestRegistry::Runners()
{
    static std::vector<Runner> runners;
    return runners;
}

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QTEST_SET_MAIN_SOURCE_PATH
    int failures = 0;
    for (const TestRegistry::Runner& run : TestRegistry::Runners())
        failures += run(argc, argv) != 0 ? 1 : 0;
    return failures == 0 ? 0 : 1;
}
