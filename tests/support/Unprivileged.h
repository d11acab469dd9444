#pragma once
#include <QTest>
#include <unistd.h>

// For tests of file permissions, which do not bind root. Run as root they skip, except under
// scripts/run-unprivileged (the suite's own unprivileged run), where running as root is a failure.
#define SKIP_IF_PRIVILEGED()                                                                                 \
    do {                                                                                                     \
        if (::geteuid() == 0) {                                                                              \
            if (qEnvironmentVariableIsSet("CLIPVANE_UNPRIVILEGED"))                                          \
                QFAIL("runs as root where it should run as an unprivileged user");                           \
            QSKIP("permissions do not stop root: the unprivileged run of this test covers it");              \
        }                                                                                                    \
    } while (0)
