#include "framework/CSelectDlg.h"

#include "framework/CListPickerService.h"
#include "framework/CMessageService.h"
#include "framework/CServices.h"

int32_t CSelectDlg::DoModal()
{
    if (m_list.empty())
        return IDCANCEL;
    const int32_t initial = FindPreselection(m_list, m_preselect, m_chosenIndex);
    const int32_t picked =
        CServices::ListPicker().PickFromList(m_title, m_list, initial, m_helpCommandId);
    if (picked < 0 || size_t(picked) >= m_list.size())
        return IDCANCEL;
    m_chosenIndex = picked;
    return IDOK;
}

std::string CSelectDlg::GetChosenString() const
{
    if (m_chosenIndex < 0 || size_t(m_chosenIndex) >= m_list.size())
        return {};
    return m_list[size_t(m_chosenIndex)];
}

int32_t CSelectDlg::FindPreselection(const std::vector<std::string>& list,
                                     const std::string& preselect, int32_t fallback)
{
    if (preselect.empty())
        return fallback;
    for (size_t i = 0; i < list.size(); ++i) {
        const std::string::size_type found = list[i].find(preselect);
        if (found != std::string::npos && found > 0)
            return int32_t(i);
    }
    return fallback;
}
