#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// The list picker "Select": the caller fills the title, the list and either a preselect text or
// the chosen index, runs it, and on IDOK reads the chosen index. A typed character picks the
// next entry beginning with it at once, as does a double click.
class CSelectDlg {
public:
    void SetTitle(const std::string& title) { m_title = title; }
    void SetList(std::vector<std::string> list) { m_list = std::move(list); }
    void AddString(const std::string& text) { m_list.push_back(text); }
    const std::vector<std::string>& GetList() const { return m_list; }
    // Preselects the first entry that holds the text after its first character; an entry that
    // begins with it is not chosen by it. Callers that need a definite preselection set the
    // chosen index instead.
    void SetPreselect(const std::string& text) { m_preselect = text; }
    void SetChosenIndex(int32_t index) { m_chosenIndex = index; }
    void SetHelpCommandId(int32_t id) { m_helpCommandId = id; }

    // IDOK when an entry was picked, IDCANCEL otherwise: also for an empty list, which is not
    // shown, and for OK with nothing selected. The chosen index changes only on IDOK.
    int32_t DoModal();

    int32_t GetChosenIndex() const { return m_chosenIndex; }
    // The chosen entry; empty when the chosen index is outside the list.
    std::string GetChosenString() const;

    // The entry the preselect text chooses, or `fallback` when none does.
    static int32_t FindPreselection(const std::vector<std::string>& list,
                                    const std::string& preselect, int32_t fallback);

private:
    std::string m_title;
    std::string m_preselect;
    int32_t m_chosenIndex = 0;
    std::vector<std::string> m_list;
    int32_t m_helpCommandId = 0;
};
