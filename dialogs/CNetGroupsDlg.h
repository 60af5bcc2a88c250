#pragma once

#include <string>

#include "dialogs/CWevraDialog.h"

class QLineEdit;
class QListWidget;

// "Edit Netgroups": two group lists and the spacing between them. The design keeps no groups
// of its own yet, so the lists start empty and a new group's name is asked for only.
class CNetGroupsDlg : public CWevraDialog {
    Q_OBJECT

public:
    static constexpr int32_t idNewGroup = 1507;
    static constexpr int32_t idDeleteA = 1508;
    static constexpr int32_t idGroupA = 1509;
    static constexpr int32_t idGroupB = 1510;
    static constexpr int32_t idSpacing = 1511;

    explicit CNetGroupsDlg(QWidget* parent = nullptr);

    std::string GetGroupA() const;
    std::string GetGroupB() const;
    std::string GetSpacing() const;

private:
    QListWidget* m_groupA = nullptr;
    QListWidget* m_groupB = nullptr;
    QLineEdit* m_spacing = nullptr;
};
