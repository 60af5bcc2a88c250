#include "dialogs/CPcbInfoDlg.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "framework/qt/CQtText.h"

CPcbInfoDlg::CPcbInfoDlg(const std::string& boardXSize, const std::string& boardYSize,
                         const std::string& components, const std::string& componentPins,
                         const std::string& nets, QWidget* parent)
    : CWevraDialog(0x181B0, parent)
{
    setWindowTitle(QStringLiteral("PCB-design Info"));
    auto* form = new QFormLayout;
    auto addValue = [this, form](const char* label, int32_t id, const std::string& value) {
        auto* text = WithId(new QLabel(CQtText::FromDesignText(value), this), id);
        text->setTextInteractionFlags(Qt::TextSelectableByMouse);
        form->addRow(QString::fromLatin1(label), text);
    };
    addValue("Components:", idComponents, components);
    addValue("Component pins:", idComponentPins, componentPins);
    addValue("Nets:", idNets, nets);
    addValue("Board X-size:", idBoardXSize, boardXSize);
    addValue("Board Y-size:", idBoardYSize, boardYSize);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(NewButtons(false));
}
