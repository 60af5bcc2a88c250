#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "dialogs/CWevraDialog.h"

class QCheckBox;

// A dialog of check boxes alone, one under the other, with OK and Cancel.
class CSwitchesDlg : public CWevraDialog {
    Q_OBJECT

public:
    struct Switch {
        const char* text;
        int32_t id;
        bool on;
    };

    // The state of the box with that control id; false for an id the dialog does not have.
    bool IsChecked(int32_t id) const;

protected:
    CSwitchesDlg(const char* title, uint32_t helpContext, std::initializer_list<Switch> switches,
                 QWidget* parent);

private:
    std::vector<QCheckBox*> m_boxes;
};
