#pragma once

#include <memory>
#include <string>
#include <vector>

#include "dialogs/CWevraDialog.h"
#include "model/CDialogService.h"

class CShapeLib;
class CShapeLibArray;
class CShapePreview;
class QCheckBox;
class QComboBox;
class QListWidget;
class QPushButton;

// "Get Shape": a shape of the design's shape cache or of a library of the set, with the
// reference prefix and the type of a new component. A library's shape is copied into the
// cache on OK, so that the caller always gets a cache index. In library mode ("Shape Library")
// its buttons maintain the library set and the cache in place, and it may end with
// resultEditShape after handing the shape editor a copy of a library.
class CGetShapeDlg : public CWevraDialog {
    Q_OBJECT

public:
    static constexpr int32_t idShapeCopy = 1611;
    static constexpr int32_t idGroupCopy = 1610;
    static constexpr int32_t idGroupDelete = 1612;
    static constexpr int32_t idShapeDelete = 1613;
    static constexpr int32_t idDown = 1614;
    static constexpr int32_t idShapeEdit = 1615;
    static constexpr int32_t idUseFilter = 1616;
    static constexpr int32_t idFilter = 1617;
    static constexpr int32_t idGroups = 1619;
    static constexpr int32_t idGroupNew = 1623;
    static constexpr int32_t idShapeNew = 1624;
    static constexpr int32_t idReference = 1626;
    static constexpr int32_t idGroupRename = 1627;
    static constexpr int32_t idShapeRename = 1628;
    static constexpr int32_t idShapes = 1630;
    static constexpr int32_t idCopyToCache = 1631;
    static constexpr int32_t idType = 1632;
    static constexpr int32_t idUp = 1633;
    static constexpr int32_t idView = 1634;

    // `libraries` may be nullptr (the cache only).
    CGetShapeDlg(CShapeLib& cache, CShapeLibArray* libraries,
                 const CDialogService::ShapeRequest& request, QWidget* parent = nullptr);

    // Library mode; a copy of the cache is named after the design's file title.
    void SetLibraryMode(const std::string& designTitle);

    // After OK: the chosen shape's index in the cache, the prefix and the type typed.
    int32_t GetShape() const { return m_chosen; }
    std::string GetPrefix() const;
    std::string GetType() const;
    // Whether the dialog changed the design's shape cache.
    bool HasChangedCache() const { return m_cacheChanged; }

private:
    // The library a group row stands for: -1 the cache, k library k of the set.
    static constexpr int32_t cacheGroup = -1;
    CShapeLib* LibraryAt(int32_t group) const;
    int32_t SelectedGroup() const;
    int32_t SelectedShape() const;
    bool Matches(const std::string& shapeName) const;
    bool IsPrivate(const std::string& shapeName) const;
    bool IsUsedInDesign(const std::string& shapeName) const;
    // The library of the set whose shape the shape editor holds.
    bool IsUnderEdit(int32_t group) const;
    void FillGroups();
    void SelectGroup();
    void FillShapes();
    void ShowShape();
    void UpdateButtons();
    void SwitchFilter();
    void Accept();
    void RememberChoices();

    // Library and shape commands.
    QPushButton* NewButton(const char* text, int32_t id, void (CGetShapeDlg::*handler)());
    // An upper-case name typed in "Input Name"; false for none.
    bool AskName(const std::string& preset, std::string& name);
    bool LibraryNameExists(const std::string& name) const;
    void AddAndShow(std::unique_ptr<CShapeLib> library);
    void NewGroup();
    void CopyGroup();
    void RenameGroup();
    void DeleteGroup();
    void MoveGroup(int32_t step);
    void NewShape();
    void EditShape();
    void CopyShape();
    void RenameShape();
    void DeleteShape();
    void CopyToCache();

    CShapeLib& m_cache;
    CShapeLibArray* m_libraries;
    const CDialogService::ShapeRequest& m_request;
    bool m_libraryMode = false;
    std::string m_designTitle;
    std::vector<int32_t> m_groupRows;
    CShapeLib* m_current = nullptr;
    int32_t m_currentGroup = cacheGroup;
    int32_t m_chosen = -1;
    int32_t m_copyTarget = 0;
    bool m_cacheChanged = false;
    QComboBox* m_filter = nullptr;
    QCheckBox* m_useFilter = nullptr;
    QListWidget* m_groups = nullptr;
    QListWidget* m_shapes = nullptr;
    QComboBox* m_reference = nullptr;
    QComboBox* m_type = nullptr;
    CShapePreview* m_preview = nullptr;
    std::vector<QPushButton*> m_buttons;
};
