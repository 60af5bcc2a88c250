#pragma once

#include <cstdint>
#include <string>

#include "dialogs/CWevraDialog.h"

class QLineEdit;

// "Find and Replace" of the netlist table: the value to look for and the one to put in its
// place, both as the table shows them.
class CNetFindReplaceDlg : public CWevraDialog {
    Q_OBJECT

public:
    static constexpr int32_t idFind = 1482;
    static constexpr int32_t idReplace = 1483;

    CNetFindReplaceDlg(const std::string& find, const std::string& replacement,
                       uint32_t helpContext, QWidget* parent = nullptr);

    std::string GetFind() const;
    std::string GetReplacement() const;

private:
    QLineEdit* m_find = nullptr;
    QLineEdit* m_replacement = nullptr;
};
