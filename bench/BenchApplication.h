#pragma once

#include <cstdlib>

#include <QApplication>

// The one application object of the benchmarks: fonts and windows need it. It is a widget
// application so that the table windows can be measured beside the board's painting.
inline QApplication& BenchApplication()
{
    static int argc = 1;
    static char name[] = "wevra_bench";
    static char* argv[] = {name, nullptr};
    if (std::getenv("QT_QPA_PLATFORM") == nullptr)
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static QApplication application(argc, argv);
    return application;
}
