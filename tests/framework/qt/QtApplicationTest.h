#pragma once

#include <functional>
#include <memory>

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include "framework/qt/CQtApplication.h"

// A fixture base for tests of Qt windows: one QApplication per test suite, made and deleted by
// the suite (a static one would be destroyed after the sanitizers have checked the heap). Base
// is the fixture it extends.
template <class Base = ::testing::Test> class QtApplicationFixture : public Base {
protected:
    static void SetUpTestSuite()
    {
        if (QApplication::instance() == nullptr)
            s_application = std::make_unique<CQtApplication>(s_argc, s_argv);
    }
    static void TearDownTestSuite() { s_application.reset(); }

    // Runs `action` on the modal window once the event loop of the next exec() is running.
    // Should no modal window be up, every window is closed so that the test does not hang.
    static void WhenModal(std::function<void(QWidget*)> action)
    {
        QTimer::singleShot(0, [action] {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal == nullptr) {
                ADD_FAILURE() << "no modal window";
                QApplication::closeAllWindows();
                return;
            }
            action(modal);
        });
    }

private:
    static inline int s_argc = 1;
    static inline char s_name[] = "wevra_framework_qt_tests";
    static inline char* s_argv[] = {s_name, nullptr};
    static inline std::unique_ptr<QApplication> s_application;
};

using QtApplicationTest = QtApplicationFixture<>;
