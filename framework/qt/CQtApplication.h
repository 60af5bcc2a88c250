#pragma once

#include <QApplication>

// The program's QApplication: every event is delivered under the installed failure guard, so an
// exception thrown by a handler is abandoned before it can unwind through Qt.
class CQtApplication : public QApplication {
public:
    CQtApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;
};
