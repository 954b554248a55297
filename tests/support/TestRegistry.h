#pragma once
// Several Qt Test classes in one test program: each test source registers
// its class with RITRAX_TEST(Class) instead of QTEST_MAIN, and the support
// library's main() runs them all in turn under one QApplication.
// "-class Name" as the first arguments runs only that class.

#include <QByteArray>
#include <QTest>

#include <functional>
#include <vector>

namespace TestRegistry {

using Runner = std::function<int(int argc, char** argv)>;

struct Entry {
    QByteArray name;
    Runner run;
};

std::vector<Entry>& Entries();

inline bool Add(const char* name, Runner runner)
{
    Entries().push_back({name, std::move(runner)});
    return true;
}

} // namespace TestRegistry

#define RITRAX_TEST(Class)                                                                         \
    static const bool ritraxRegistered##Class = TestRegistry::Add(#Class, [](int argc, char** argv) { \
        Class test;                                                                                \
        return QTest::qExec(&test, argc, argv);                                                    \
    });
