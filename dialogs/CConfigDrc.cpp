#include "dialogs/CConfigDrc.h"

#include <QCheckBox>
#include <QVBoxLayout>

#include "dialogs/CWevraDialog.h"

CConfigDrc::CConfigDrc(QWidget* parent) : QWidget(parent)
{
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(CWevraDialog::WithId(
        new QCheckBox(QStringLiteral("Draw Error Markers"), this), idDrawErrorMarkers));
    layout->addWidget(CWevraDialog::WithId(new QCheckBox(QStringLiteral("Create Logfile"), this),
                                           idCreateLogfile));
    layout->addStretch();
}
