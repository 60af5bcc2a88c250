#include "model/CDialogService.h"

namespace {

CDialogService s_cancelling;
CDialogService* s_installed = nullptr;

} // namespace

CDialogService& CDialogService::Get()
{
    return s_installed ? *s_installed : s_cancelling;
}

CDialogService* CDialogService::Set(CDialogService* service)
{
    CDialogService* previous = s_installed;
    s_installed = service;
    return previous;
}

int32_t CDialogService::NetAdd(std::string&)
{
    return resultCancel;
}

int32_t CDialogService::BoardSize(std::string&, std::string&, bool)
{
    return resultCancel;
}

int32_t CDialogService::SetGrid(int32_t, int32_t&, int32_t&, bool&)
{
    return resultCancel;
}

int32_t CDialogService::NetGroups(std::string&, std::string&, std::string&)
{
    return resultCancel;
}

int32_t CDialogService::Position(const std::string&, int32_t, int32_t&, int32_t&)
{
    return resultCancel;
}

int32_t CDialogService::MoveUserOffset(int32_t, const std::vector<PinnedComponent>&, CSize, CPoint&)
{
    return resultCancel;
}

int32_t CDialogService::Clean(int32_t, CleanChoices&)
{
    return resultCancel;
}

int32_t CDialogService::CompProperties(CToolDocument&, int32_t)
{
    return resultCancel;
}

int32_t CDialogService::NewPcb(CWevraDoc&)
{
    return resultCancel;
}

int32_t CDialogService::DesignConfig(const DesignParts&, int32_t, CGridArr&)
{
    return resultCancel;
}

int32_t CDialogService::EditText(std::string&, std::string&, std::string&, int32_t&, bool&,
                                 std::string&, const std::vector<std::string>&)
{
    return resultCancel;
}

int32_t CDialogService::PcbInfo(const std::string&, const std::string&, const std::string&,
                                const std::string&, const std::string&)
{
    return resultCancel;
}

int32_t CDialogService::BorderSize(const std::vector<std::string>&, std::string&)
{
    return resultCancel;
}

int32_t CDialogService::PlaneProperties(int32_t, const std::vector<std::string>&,
                                        const std::vector<std::string>&, PlaneValues&)
{
    return resultCancel;
}

int32_t CDialogService::CopyArray(std::string&, std::string&, std::string&, std::string&,
                                  std::string&)
{
    return resultCancel;
}

int32_t CDialogService::TemplateImport(CWevraDoc&)
{
    return resultCancel;
}

int32_t CDialogService::InputSizes(std::string&, std::string&)
{
    return resultCancel;
}

int32_t CDialogService::Rotation(std::string&, bool&)
{
    return resultCancel;
}

int32_t CDialogService::GetShape(CShapeLib&, const ShapeRequest&, int32_t&, std::string&,
                                 std::string&)
{
    return resultCancel;
}

int32_t CDialogService::CompSetPosition(int32_t, const PinnedComponent&, CPoint, CPoint, int32_t&,
                                        int32_t&)
{
    return resultCancel;
}

int32_t CDialogService::SelectPad(CWevraDoc&, int32_t)
{
    return resultCancel;
}

int32_t CDialogService::PadInfo(int32_t&, bool&)
{
    return resultCancel;
}

int32_t CDialogService::DisplayCompText(bool&, bool&, bool&)
{
    return resultCancel;
}

int32_t CDialogService::PadArrayRect(RectPadArray&)
{
    return resultCancel;
}

int32_t CDialogService::PadArrayCirc(CircPadArray&)
{
    return resultCancel;
}

int32_t CDialogService::Pens(CPenTables&)
{
    return resultCancel;
}

int32_t CDialogService::CompText(std::array<std::string, 3>&, std::array<std::string, 3>&)
{
    return resultCancel;
}

int32_t CDialogService::CenterText(bool&, bool&, bool&)
{
    return resultCancel;
}

int32_t CDialogService::SelectLayer(const CDesign&, const CEditSession&, const CDocumentPaint&,
                                    int32_t&)
{
    return resultCancel;
}

int32_t CDialogService::DisplayLayerset(CWevraDoc&)
{
    return resultCancel;
}

int32_t CDialogService::CompCircular(const std::vector<std::string>&, CircularPlacement&)
{
    return resultCancel;
}

int32_t CDialogService::SelCompText(int32_t&)
{
    return resultCancel;
}

int32_t CDialogService::ImportLayermap(const std::string&, bool, uint32_t,
                                       const std::vector<std::string>&, CDosConfig&)
{
    return resultCancel;
}

int32_t CDialogService::ShapeLibrary(CShapeLib&, CShapeLibArray&, const ShapeRequest&,
                                     const std::string&, bool&)
{
    return resultCancel;
}
