#pragma once

#include "model/CDialogService.h"

// The dialog service of the editor: each dialog it offers is shown modally over the active
// window; the others answer Cancel as the default service does.
class CQtDialogService : public CDialogService {
public:
    bool Offers(Dialog dialog) const override;

    int32_t PcbInfo(const std::string& boardXSize, const std::string& boardYSize,
                    const std::string& components, const std::string& componentPins,
                    const std::string& nets) override;
};
