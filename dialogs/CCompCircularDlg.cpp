#include "dialogs/CCompCircularDlg.h"

#include <algorithm>

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "framework/CNumberText.h"
#include "framework/qt/CQtText.h"

namespace {

std::string Text(const QLineEdit& edit)
{
    return CQtText::ToDesignText(edit.text());
}

double Number(const QLineEdit& edit)
{
    return CNumberText::ParseDouble(Text(edit));
}

} // namespace

CCompCircularDlg::CCompCircularDlg(const std::vector<std::string>& references,
                                   CDialogService::CircularPlacement& values, QWidget* parent)
    : CWevraDialog(0, parent), m_references(references), m_values(values)
{
    for (const int32_t i : values.moved) {
        if (i >= 0 && size_t(i) < references.size() &&
            std::find(m_moved.begin(), m_moved.end(), i) == m_moved.end())
            m_moved.push_back(i);
    }
    setWindowTitle(QStringLiteral("Move component array circular BETA 0.1"));
    m_available = WithId(new QListWidget(this), idAvailable);
    m_circle = WithId(new QListWidget(this), idMoved);
    for (QListWidget* list : {m_available, m_circle})
        list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    const auto button = [this](const char* text, int32_t id) {
        return WithId(new QPushButton(QString::fromLatin1(text), this), id);
    };
    QPushButton* add = button("-->", idAdd);
    QPushButton* remove = button("<--", idRemove);
    QPushButton* up = button("Up", idUp);
    QPushButton* down = button("Down", idDown);
    for (QPushButton* b : {add, remove, up, down})
        b->setAutoDefault(false);
    connect(add, &QPushButton::clicked, this, [this] { MoveSelected(true); });
    connect(remove, &QPushButton::clicked, this, [this] { MoveSelected(false); });
    connect(up, &QPushButton::clicked, this, [this] { Swap(-1); });
    connect(down, &QPushButton::clicked, this, [this] { Swap(1); });

    auto* form = new QFormLayout;
    const auto field = [this, form](const char* label, int32_t id, const std::string& text) {
        QLineEdit* edit = NewEdit(id);
        edit->setText(CQtText::FromDesignText(text));
        form->addRow(QString::fromLatin1(label), edit);
        return edit;
    };
    m_xCenter = field("Center X", idXCenter, values.xCenter);
    m_yCenter = field("Center Y", idYCenter, values.yCenter);
    m_radius = field("Radius", idRadius, values.radius);
    m_begin = field("Angle begin", idAngleBegin, values.angleBegin);
    m_end = field("Angle end", idAngleEnd, values.angleEnd);
    m_total = field("Angle total", idAngleTotal, values.angleTotal);
    m_first = field("Angle First Comp", idAngleFirst, values.angleFirst);
    m_per = field("Angle per Comp", idAnglePer, values.anglePer);
    for (QLineEdit* edit : {m_begin, m_end}) {
        connect(edit, &QLineEdit::textChanged, this, [this] {
            if (!m_showing)
                Recompute();
        });
    }
    connect(m_total, &QLineEdit::textChanged, this, [this] {
        if (!m_showing)
            TotalTyped();
    });

    auto* lists = new QGridLayout;
    lists->addWidget(new QLabel(QStringLiteral("Available"), this), 0, 0);
    lists->addWidget(new QLabel(QStringLiteral("Move in circle"), this), 0, 2);
    lists->addWidget(m_available, 1, 0);
    auto* buttons = new QVBoxLayout;
    for (QPushButton* b : {add, remove, up, down})
        buttons->addWidget(b);
    buttons->addStretch();
    lists->addLayout(buttons, 1, 1);
    lists->addWidget(m_circle, 1, 2);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(lists);
    layout->addLayout(form);
    layout->addWidget(NewButtons());
    FillLists();
}

void CCompCircularDlg::FillLists()
{
    m_available->clear();
    m_circle->clear();
    const auto add = [this](QListWidget& list, int32_t i) {
        auto* item = new QListWidgetItem(CQtText::FromDesignText(m_references[size_t(i)]), &list);
        item->setData(Qt::UserRole, i);
    };
    for (int32_t i = 0; i < int32_t(m_references.size()); ++i) {
        if (std::find(m_moved.begin(), m_moved.end(), i) == m_moved.end())
            add(*m_available, i);
    }
    for (const int32_t i : m_moved)
        add(*m_circle, i);
}

void CCompCircularDlg::MoveSelected(bool toCircle)
{
    QListWidget& from = toCircle ? *m_available : *m_circle;
    std::vector<int32_t> chosen;
    for (int row = 0; row < from.count(); ++row) {
        if (from.item(row)->isSelected())
            chosen.push_back(from.item(row)->data(Qt::UserRole).toInt());
    }
    if (chosen.empty())
        return;
    for (const int32_t i : chosen) {
        if (toCircle)
            m_moved.push_back(i);
        else
            std::erase(m_moved, i);
    }
    FillLists();
    Recompute();
}

void CCompCircularDlg::Swap(int step)
{
    const int row = m_circle->currentRow();
    const int other = row + step;
    if (row < 0 || other < 0 || other >= int(m_moved.size()))
        return;
    std::swap(m_moved[size_t(row)], m_moved[size_t(other)]);
    FillLists();
    m_circle->setCurrentRow(other);
    Recompute();
}

void CCompCircularDlg::SetText(QLineEdit& edit, double value)
{
    m_showing = true;
    edit.setText(QString::fromLatin1(CNumberText::FormatFixed(value, 3, 2)));
    m_showing = false;
}

void CCompCircularDlg::Recompute()
{
    if (m_moved.empty())
        return;
    const double total = Number(*m_end) - Number(*m_begin);
    SetText(*m_per, total / double(m_moved.size()));
    SetText(*m_total, total);
}

void CCompCircularDlg::TotalTyped()
{
    const double total = Number(*m_total);
    SetText(*m_end, Number(*m_begin) + total);
    if (!m_moved.empty())
        SetText(*m_per, total / double(m_moved.size()));
}

void CCompCircularDlg::accept()
{
    m_values.xCenter = Text(*m_xCenter);
    m_values.yCenter = Text(*m_yCenter);
    m_values.radius = Text(*m_radius);
    m_values.angleBegin = Text(*m_begin);
    m_values.angleEnd = Text(*m_end);
    m_values.angleTotal = Text(*m_total);
    m_values.angleFirst = Text(*m_first);
    m_values.anglePer = Text(*m_per);
    m_values.moved = m_moved;
    CWevraDialog::accept();
}
