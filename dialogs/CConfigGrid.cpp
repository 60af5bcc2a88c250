#include "dialogs/CConfigGrid.h"

#include <algorithm>

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

#include "dialogs/CWevraDialog.h"
#include "model/CLengthText.h"

namespace {

constexpr const char* gridNames[] = {"Default mode", "Block mode", "Text mode"};
constexpr const char* showNames[] = {"Invisible", "Dots", "Lines"};
constexpr int32_t unitInch = 0;
constexpr int32_t unitMm = 1;

// Text `index` of a length's four: X inch, X mm, Y inch, Y mm.
int32_t UnitOf(int32_t index)
{
    return index % 2 == 0 ? unitInch : unitMm;
}

bool IsX(int32_t index)
{
    return index < 2;
}

// The four texts under their X/Y and inch/mm labels.
QGridLayout* LengthGrid(const std::array<QLineEdit*, 4>& edits)
{
    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("inch")), 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("mm")), 0, 2);
    grid->addWidget(new QLabel(QStringLiteral("X")), 1, 0);
    grid->addWidget(new QLabel(QStringLiteral("Y")), 2, 0);
    for (int32_t i = 0; i < 4; ++i)
        grid->addWidget(edits[size_t(i)], IsX(i) ? 1 : 2, 1 + i % 2);
    return grid;
}

} // namespace

CConfigGrid::CConfigGrid(QWidget* parent) : QWidget(parent)
{
    auto* layout = new QGridLayout(this);
    for (int32_t r = 0; r < CGridArr::recordCount; ++r) {
        const GridIds& gridIds = ids[size_t(r)];
        const QString name = QString::fromLatin1(gridNames[r]);
        auto* lines = new QGroupBox(name + QStringLiteral(" lines/dots"), this);
        auto* linesLayout = new QVBoxLayout(lines);
        auto* radios = new QButtonGroup(lines);
        auto* radioRow = new QHBoxLayout;
        for (int32_t mode = 0; mode < 3; ++mode) {
            auto* radio =
                CWevraDialog::WithId(new QRadioButton(QString::fromLatin1(showNames[mode]), lines),
                                     gridIds.show[size_t(mode)]);
            radios->addButton(radio, mode);
            radioRow->addWidget(radio);
            m_show[size_t(r)][size_t(mode)] = radio;
        }
        linesLayout->addLayout(radioRow);

        auto* snap = new QGroupBox(name + QStringLiteral(" snap to grid"), this);
        auto* snapLayout = new QVBoxLayout(snap);
        m_snapOn[size_t(r)] = CWevraDialog::WithId(
            new QCheckBox(QStringLiteral("Snap to Grid"), snap), gridIds.snapOn);
        snapLayout->addWidget(m_snapOn[size_t(r)]);

        for (const bool snapStep : {false, true}) {
            const auto& textIds = snapStep ? gridIds.snap : gridIds.spacing;
            auto& edits = m_edits[size_t(r)][snapStep ? 1 : 0];
            for (int32_t i = 0; i < 4; ++i) {
                edits[size_t(i)] = CWevraDialog::WithId(new QLineEdit(this), textIds[size_t(i)]);
                connect(edits[size_t(i)], &QLineEdit::editingFinished, this,
                        [this, r, snapStep, i] { EditLeft(r, snapStep, i); });
            }
            (snapStep ? snapLayout : linesLayout)->addLayout(LengthGrid(edits));
        }
        layout->addWidget(lines, r, 0);
        layout->addWidget(snap, r, 1);
    }
    LoadFrom(m_grids);
}

QLineEdit* CConfigGrid::Edit(int32_t r, bool snap, int32_t index) const
{
    return m_edits[size_t(r)][snap ? 1 : 0][size_t(index)];
}

void CConfigGrid::LoadFrom(const CGridArr& grids)
{
    m_grids.CopyFrom(grids);
    for (int32_t r = 0; r < CGridArr::recordCount; ++r) {
        ShowLengths(r, false, true, true);
        ShowLengths(r, true, true, true);
        const int32_t mode = std::clamp(m_grids.GetMode(r), 0, 2);
        m_show[size_t(r)][size_t(mode)]->setChecked(true);
        m_snapOn[size_t(r)]->setChecked(m_grids.IsSnapOn(r));
    }
}

void CConfigGrid::ShowLengths(int32_t r, bool snap, bool x, bool y)
{
    const CSize size = snap ? m_grids.GetSnap(r) : m_grids.GetSpacing(r);
    for (int32_t i = 0; i < 4; ++i) {
        if (IsX(i) ? x : y)
            CWevraDialog::ShowLength(*Edit(r, snap, i), UnitOf(i), IsX(i) ? size.cx : size.cy);
    }
}

void CConfigGrid::EditLeft(int32_t r, bool snap, int32_t index)
{
    // Both coordinates are read in the unit of the text just left; a grid is at least 1 unit.
    const int32_t unit = UnitOf(index);
    const int32_t x = std::max(1, CWevraDialog::ParseLength(*Edit(r, snap, unit), unit));
    const int32_t y = std::max(1, CWevraDialog::ParseLength(*Edit(r, snap, 2 + unit), unit));
    if (snap)
        m_grids.SetSnap(r, x, y);
    else
        m_grids.SetSpacing(r, x, y);
    ShowLengths(r, snap, IsX(index), !IsX(index));
}

void CConfigGrid::Apply()
{
    for (int32_t r = 0; r < CGridArr::recordCount; ++r) {
        for (int32_t mode = 0; mode < 3; ++mode) {
            if (m_show[size_t(r)][size_t(mode)]->isChecked())
                m_grids.SetMode(r, mode);
        }
        m_grids.SetSnapOn(r, m_snapOn[size_t(r)]->isChecked());
    }
}
