#pragma once

#include <cstdint>

#include <QWidget>

// The "DRC" page of the design configuration: whether the design-rule check is to mark its
// errors on the board and write a log file. Both start off each time the sheet opens; the check
// does not ask for them yet.
class CConfigDrc : public QWidget {
    Q_OBJECT

public:
    static constexpr int32_t idDrawErrorMarkers = 1251;
    static constexpr int32_t idCreateLogfile = 1252;

    explicit CConfigDrc(QWidget* parent = nullptr);
};
