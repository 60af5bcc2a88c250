#pragma once

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

// "Get Shape": a shape of the design's shape cache or of a library of the set, with the
// reference prefix and the type of a new component. A library's shape is copied into the
// cache on OK, so that the caller always gets a cache index.
class CGetShapeDlg : public CWevraDialog {
    Q_OBJECT

public:
    static constexpr int32_t idUseFilter = 1616;
    static constexpr int32_t idFilter = 1617;
    static constexpr int32_t idGroups = 1619;
    static constexpr int32_t idReference = 1626;
    static constexpr int32_t idShapes = 1630;
    static constexpr int32_t idType = 1632;
    static constexpr int32_t idView = 1634;

    // `libraries` may be nullptr (the cache only).
    CGetShapeDlg(CShapeLib& cache, const CShapeLibArray* libraries,
                 const CDialogService::ShapeRequest& request, QWidget* parent = nullptr);

    // After OK: the chosen shape's index in the cache, the prefix and the type typed.
    int32_t GetShape() const { return m_chosen; }
    std::string GetPrefix() const;
    std::string GetType() const;

private:
    // The library an entry of the group list stands for; nullptr for none.
    const CShapeLib* LibraryOf(const QString& entry) const;
    bool Matches(const std::string& shapeName) const;
    bool IsPrivate(const std::string& shapeName) const;
    void FillGroups();
    void SelectGroup();
    void FillShapes();
    void ShowShape();
    void SwitchFilter();
    void Accept();

    CShapeLib& m_cache;
    const CShapeLibArray* m_libraries;
    const CDialogService::ShapeRequest& m_request;
    const CShapeLib* m_current = nullptr;
    int32_t m_chosen = -1;
    QComboBox* m_filter = nullptr;
    QCheckBox* m_useFilter = nullptr;
    QListWidget* m_groups = nullptr;
    QListWidget* m_shapes = nullptr;
    QComboBox* m_reference = nullptr;
    QComboBox* m_type = nullptr;
    CShapePreview* m_preview = nullptr;
};
