// SPDX-License-Identifier: GPL-3.0-or-later
// Read by clang-tidy only (tests/.clang-tidy includes it in every test): QVERIFY and QVERIFY2
// spelled so that the analysers see what they do, which is end the test function when the
// condition is false. QtTest hides that behind a call they cannot look into, so every pointer or
// optional a test checks with QVERIFY before using it would be reported as used unchecked.
#pragma once

#include <QTest>

#undef QVERIFY
#define QVERIFY(statement)                                                                                             \
    do {                                                                                                               \
        if (!(statement)) {                                                                                            \
            (void)QTest::qVerify(false, #statement, "", __FILE__, __LINE__);                                           \
            return;                                                                                                    \
        }                                                                                                              \
    } while (false)

#undef QVERIFY2
#define QVERIFY2(statement, description)                                                                               \
    do {                                                                                                               \
        if (!(statement)) {                                                                                            \
            (void)QTest::qVerify(false, #statement, static_cast<const char *>(description), __FILE__, __LINE__);       \
            return;                                                                                                    \
        }                                                                                                              \
    } while (false)
