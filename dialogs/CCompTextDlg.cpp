#include "dialogs/CCompTextDlg.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "document/CHelpTopics.h"
#include "framework/qt/CQtText.h"
#include "resources/CommandIds.h"

namespace {

constexpr const char* kinds[] = {"Reference", "Type", "Shape"};

} // namespace

CCompTextDlg::CCompTextDlg(std::array<std::string, 3>& sizes, std::array<std::string, 3>& pens,
                           QWidget* parent)
    : CWevraDialog(CHelpTopics::dialogContextBase + ID_COMPONENTS_TEXT_OPTIONS, parent),
      m_sizes(sizes), m_pens(pens)
{
    setWindowTitle(QStringLiteral("Component Text"));
    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("Size"), this), 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Pen (width)"), this), 0, 2);
    for (size_t k = 0; k < std::size(kinds); ++k) {
        const int row = int(k) + 1;
        grid->addWidget(new QLabel(QString::fromLatin1(kinds[k]), this), row, 0);
        m_sizeEdits[k] = NewEdit(idSizes[k]);
        m_sizeEdits[k]->setText(CQtText::FromDesignText(sizes[k]));
        grid->addWidget(m_sizeEdits[k], row, 1);
        m_penEdits[k] = NewEdit(idPens[k]);
        m_penEdits[k]->setText(CQtText::FromDesignText(pens[k]));
        grid->addWidget(m_penEdits[k], row, 2);
    }
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(NewButtons());
}

void CCompTextDlg::accept()
{
    for (size_t k = 0; k < std::size(kinds); ++k) {
        m_sizes[k] = CQtText::ToDesignText(m_sizeEdits[k]->text());
        m_pens[k] = CQtText::ToDesignText(m_penEdits[k]->text());
    }
    CWevraDialog::accept();
}
