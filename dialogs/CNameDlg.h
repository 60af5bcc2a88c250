#pragma once

#include <string>

#include "dialogs/CWevraDialog.h"

class QLineEdit;

// A one-line name under the title the caller gives; "Add Net" is one of its kind.
class CNameDlg : public CWevraDialog {
    Q_OBJECT

public:
    static constexpr int32_t idName = 1261;
    static constexpr int32_t idNetName = 1480;

    // `editId` and `label` name the edit: idName without a label for the plain name entry.
    CNameDlg(const std::string& title, const std::string& name, QWidget* parent = nullptr,
             int32_t editId = idName, const char* label = nullptr, uint32_t helpContext = 0x18095);

    std::string GetName() const;

private:
    QLineEdit* m_name = nullptr;
};
