#include "dialogs/CToolCombo.h"

#include <algorithm>
#include <utility>

CToolCombo::CToolCombo(std::function<void(uint32_t)> send, QWidget* parent)
    : QComboBox(parent), m_send(std::move(send))
{
    setMaxVisibleItems(std::max(1, dropDownHeight / std::max(1, fontMetrics().height())));
    connect(this, &QComboBox::activated, this, [this] {
        if (m_send)
            m_send(choiceCommand);
    });
}
