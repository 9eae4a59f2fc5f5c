#pragma once
// Runs several QtTest objects in one program (each with its own init/cleanup).
#include <QTest>

template <typename Test> int RunTest(int argc, char** argv) {
    Test test;
    return QTest::qExec(&test, argc, argv);
}

template <typename... Tests> int RunTests(int argc, char** argv) {
    return (RunTest<Tests>(argc, argv) | ...);
}
