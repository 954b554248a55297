#pragma once
// Several Qt Test classes in one test program: each test source registers
// its class with RITRAX_TEST(Class) instead of QTEST_MAIN, and the support
// library's main() runs them all in turn under one QApplication.

#include <QTest>

#include <functional>
#include <vector>

namespace TestRegistry {

using Runner = std::function<int(int argc, char** argv)>;

std::vector<Runner>& Runners();

inline bool Add(Runner runner)
{
    Runners().push_back(std::move(runner));
    return true;
}

} // namespace TestRegistry

#define RITRAX_TEST(Class)                                                                         \
    static const bool ritraxRegistered##Class = TestRegistry::Add([](int argc, char** argv) {      \
        Class test;                                                                                \
        return QTest::qExec(&test, argc, argv);                                                    \
    });
