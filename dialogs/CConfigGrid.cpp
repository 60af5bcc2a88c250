#include "dialogs/CConfigGrid.h"

#include <algorithm>
#include <string>

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

#include "dialogs/CWevraDialog.h"
#include "framework/qt/CQtText.h"
#include "model/CFieldRange.h"
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
    // The length left is read in its own unit; the other coordinate keeps what the grid has,
    // as does a text left as it showed the length, rounded to its unit.
    const int32_t unit = UnitOf(index);
    const CSize size = snap ? m_grids.GetSnap(r) : m_grids.GetSpacing(r);
    const int32_t was = IsX(index) ? size.cx : size.cy;
    const std::string text = CQtText::ToDesignText(Edit(r, snap, index)->text());
    int32_t length = was;
    if (!CLengthText::ReadsAs(unit, text, was)) {
        // A grid of nothing or below is none, and one beyond a board's extent opens as damaged.
        const std::string field = "Grid " + std::to_string(r + 1) +
                                  (snap ? " snap " : " spacing ") + (IsX(index) ? "x" : "y");
        // The text shows the length kept before the message is shown: the focus leaves it then.
        ShowLengths(r, snap, IsX(index), !IsX(index));
        length = FieldRanges::extent.TakeLength(unit, text, field).value_or(was);
    }
    const int32_t x = IsX(index) ? length : size.cx;
    const int32_t y = IsX(index) ? size.cy : length;
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
