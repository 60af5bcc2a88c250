#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "interchange/CDosConfig.h"
#include "model/CDialogService.h"

// Installed for its lifetime: answers "Import Layermap" with `result` after moving the DOS
// layers named in `assign` to their board layers, as a user who changes nothing else would.
// What the dialog was shown is kept. (Header only: the support library sits below the model.)
class CScriptedLayermap : public CDialogService {
public:
    CScriptedLayermap() : m_previous(Set(this)) {}
    ~CScriptedLayermap() override { Set(m_previous); }
    CScriptedLayermap(const CScriptedLayermap&) = delete;
    CScriptedLayermap& operator=(const CScriptedLayermap&) = delete;

    bool Offers(Dialog dialog) const override { return dialog == Dialog::importLayermap; }

    int32_t ImportLayermap(const std::string& cnfPath, bool browse, uint32_t helpId,
                           const std::vector<std::string>& layerNames, CDosConfig& config) override
    {
        ++shownCount;
        shownPath = cnfPath;
        shownBrowse = browse;
        shownHelpId = helpId;
        shownLayerNames = layerNames;
        shownConfig = config;
        if (result == resultOk) {
            for (const auto& [dosLayer, layer] : assign)
                config.layerMap[size_t(dosLayer)] = layer;
        }
        return result;
    }

    int32_t result = resultOk;
    // DOS layer -> board layer.
    std::map<int32_t, int32_t> assign;

    int32_t shownCount = 0;
    std::string shownPath;
    bool shownBrowse = false;
    uint32_t shownHelpId = 0;
    std::vector<std::string> shownLayerNames;
    CDosConfig shownConfig;

private:
    CDialogService* m_previous = nullptr;
};
