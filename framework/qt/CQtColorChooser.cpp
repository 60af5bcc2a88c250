#include "framework/qt/CQtColorChooser.h"

#include <QApplication>
#include <QColorDialog>

#include "framework/qt/CQtDeviceContext.h"

std::optional<COLORREF> CQtColorChooser::ChooseColor(COLORREF initial,
                                                     const std::vector<COLORREF>& customColors)
{
    for (int i = 0; i < QColorDialog::customCount(); ++i) {
        const COLORREF color =
            size_t(i) < customColors.size() ? customColors[size_t(i)] : RGB(255, 255, 255);
        QColorDialog::setCustomColor(i, CQtDeviceContext::ToQColor(color));
    }
    const QColor chosen =
        QColorDialog::getColor(CQtDeviceContext::ToQColor(initial), QApplication::activeWindow());
    if (!chosen.isValid())
        return std::nullopt;
    return RGB(uint8_t(chosen.red()), uint8_t(chosen.green()), uint8_t(chosen.blue()));
}
