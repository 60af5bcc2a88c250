#pragma once

#include <memory>

#include <QApplication>

// The Qt application a test suite that draws text needs, made when none runs yet and ended with
// the suite: Qt's own globals are gone by the time static objects are destroyed.
class CQtTestApplication {
public:
    static void Begin()
    {
        if (QCoreApplication::instance() == nullptr)
            application = std::make_unique<QApplication>(argc, argv);
    }
    static void End() { application.reset(); }

private:
    static inline int argc = 1;
    static inline char name[] = "wevra-tests";
    static inline char* argv[] = {name, nullptr};
    static inline std::unique_ptr<QApplication> application;
};
