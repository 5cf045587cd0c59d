#include "platform/ScopedOverride.h"

#include <QString>

#include <functional>
#include <stdexcept>
#include <utility>

#include <gtest/gtest.h>

namespace {

QString g_setting = QStringLiteral("default");

QString setSetting(const QString& value) {
    return std::exchange(g_setting, value);
}

} // namespace

// Nested stand-ins unwind in order, also when the scope is left by an exception (a failed
// assertion leaves a test's scope the same way).
TEST(ScopedOverride, PutsBackWhatItReplacedHoweverTheScopeEnds) {
    std::function<int()> hook = [] { return 1; };
    EXPECT_THROW(
        {
            const ScopedOverride outer(hook, [] { return 2; });
            {
                const ScopedOverride inner(hook, [] { return 3; });
                EXPECT_EQ(hook(), 3);
            }
            EXPECT_EQ(hook(), 2);
            throw std::runtime_error("stopped half-way");
        },
        std::runtime_error);
    EXPECT_EQ(hook(), 1);

    {
        const ScopedOverride outer(setSetting, QStringLiteral("outer"));
        const ScopedOverride inner(setSetting, QStringLiteral("inner"));
        EXPECT_EQ(g_setting, QStringLiteral("inner"));
    }
    EXPECT_EQ(g_setting, QStringLiteral("default"));
}
