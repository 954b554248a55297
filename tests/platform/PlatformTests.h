#pragma once
// The platform tests are several Qt Test classes in one executable: each
// file registers its class with RegisterPlatformTest and main runs them all
// in turn.

#include <QObject>

#include <functional>
#include <memory>

using PlatformTestFactory = std::function<std::unique_ptr<QObject>()>;

bool RegisterPlatformTest(const char* name, PlatformTestFactory factory);

#define RITRAX_PLATFORM_TEST(Class)                                                               \
    namespace {                                                                                   \
    const bool registered##Class                                                                  \
        = RegisterPlatformTest(#Class, [] { return std::unique_ptr<QObject>(new Class); });       \
    }
