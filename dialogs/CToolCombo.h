#pragma once

#include <cstdint>
#include <functional>

#include <QComboBox>

#include "resources/CommandIds.h"

// The toolbar's layer list: the design's enabled layers, a "*" after those shown. Confirming a
// choice, with the mouse or the keyboard, sends the command that makes that layer the work
// layer; the board view handles it.
class CToolCombo : public QComboBox {
    Q_OBJECT

public:
    // The command a confirmed choice sends, and the command whose help F1 opens.
    static constexpr uint32_t choiceCommand = ID_TOOLBARS_SELECT_LAYER;
    static constexpr uint32_t helpCommand = ID_SETTINGS_LAYER;
    static constexpr int dropDownHeight = 420;

    // `send` delivers the command to the main window.
    explicit CToolCombo(std::function<void(uint32_t)> send, QWidget* parent = nullptr);

private:
    std::function<void(uint32_t)> m_send;
};
