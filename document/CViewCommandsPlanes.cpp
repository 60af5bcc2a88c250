#include "document/CViewCommands.h"

#include <memory>
#include <string>

#include "document/CDesign.h"
#include "document/CDocumentPlanes.h"
#include "document/CEditSession.h"
#include "document/CEditState.h"
#include "document/CViewCommandHost.h"
#include "document/CWevraDoc.h"
#include "framework/CMessageService.h"
#include "framework/CResString.h"
#include "framework/CServices.h"
#include "model/CDialogService.h"
#include "model/CPour.h"
#include "resources/CommandIds.h"
#include "resources/StringIds.h"

namespace {

std::string Prompt(uint32_t id)
{
    const std::string text = CResString::Load(id);
    return text.substr(0, text.find('\n'));
}

} // namespace

bool CViewCommands::IsPlaneMode(uint32_t mode)
{
    return (mode >= ID_PLANES_FIRST && mode <= ID_PLANES_ADD_LAST) ||
           (mode >= ID_PLANES_DELETE_ALL && mode <= ID_PLANES_LAST);
}

int32_t CViewCommands::PlaneToEdit() const
{
    const int32_t index = m_document.Session().GetPlaneIndex();
    const int32_t count = m_document.Design().GetPlaneCount();
    if (index >= 0)
        return index < count ? index : -1;
    const int64_t parked = int64_t(index) + CEditState::planeIndexPark;
    return parked >= 0 && parked < count ? int32_t(parked) : -1;
}

std::vector<uint32_t> CViewCommands::GetPlaneContextMenu() const
{
    const bool dragging = m_document.Session().IsMode(ID_PLANES_EDIT_POLYLINE) &&
                          m_document.Session().IsAction(CEditState::actionDragging);
    return {dragging ? ID_PLANES_END_EDIT : ID_END_MODE,
            0,
            ID_PLANES_NEW_PLANE,
            ID_PLANES_ADD_RECTANGLE,
            ID_PLANES_ADD_CIRCLE,
            ID_PLANES_ADD_POLYLINE,
            0,
            ID_PLANES_MOVE_SEEDPOINT,
            ID_PLANES_EDIT_POLYLINE,
            0,
            ID_PLANES_REFILL_LAYER,
            ID_PLANES_REFILL_ALL,
            0,
            ID_PLANES_DELETE_PLANE,
            0,
            ID_PLANES_PROPERTIES};
}

void CViewCommands::RegisterPlanes()
{
    CWevraDoc& doc = m_document;
    const auto hasPlanes = [&doc] { return doc.Design().GetPlaneCount() > 0; };
    const auto checkMode = [&doc](uint32_t mode) {
        return [&doc, mode](CCmdUI& ui) { ui.SetCheck(doc.Session().IsMode(mode)); };
    };

    OnCommand(ID_PLANES_NEW_PLANE, [this] {
        CServices::Messages().MessageBox(CResString::Load(IDS_PLACE_SEEDPOINT),
                                         CResString::Load(IDS_APP_TITLE));
        SetMode(ID_PLANES_NEW_PLANE);
    });
    OnUpdate(ID_PLANES_NEW_PLANE, checkMode(ID_PLANES_NEW_PLANE));
    for (uint32_t id : {ID_PLANES_ADD_CIRCLE, ID_PLANES_ADD_POLYLINE, ID_PLANES_ADD_RECTANGLE}) {
        OnCommand(id, [this, id] { SetMode(id); });
        OnUpdate(id, checkMode(id));
    }

    // Editing works on the current plane; one a tool outside the planes set aside comes back.
    const auto onPlane = [this](uint32_t mode) {
        return [this, mode] {
            const int32_t plane = PlaneToEdit();
            if (plane < 0)
                return;
            m_document.Session().SetPlaneIndex(plane);
            SetMode(mode);
        };
    };
    OnCommand(ID_PLANES_EDIT_POLYLINE, onPlane(ID_PLANES_EDIT_POLYLINE));
    OnUpdate(ID_PLANES_EDIT_POLYLINE, [this, &doc](CCmdUI& ui) {
        ui.Enable(PlaneToEdit() >= 0);
        ui.SetCheck(doc.Session().IsMode(ID_PLANES_EDIT_POLYLINE));
    });
    OnCommand(ID_PLANES_MOVE_SEEDPOINT, onPlane(ID_PLANE_MOVE_SEEDPOINT_MODE));
    OnUpdate(ID_PLANES_MOVE_SEEDPOINT, [this, &doc](CCmdUI& ui) {
        ui.Enable(PlaneToEdit() >= 0);
        ui.SetCheck(doc.Session().IsMode(ID_PLANE_MOVE_SEEDPOINT_MODE));
    });

    OnCommand(ID_PLANES_DELETE_PLANE, [this] {
        if (CServices::Messages().MessageBox(Prompt(ID_PLANES_DELETE_PLANE),
                                             CResString::Load(IDS_APP_TITLE), MB_YESNO_DEFAULTNO,
                                             MB_ICONQUESTION) != IDYES)
            return;
        m_document.Planes().DeleteCurrentPlane();
        RedrawFull();
    });
    OnUpdate(ID_PLANES_DELETE_PLANE,
             [&doc](CCmdUI& ui) { ui.Enable(doc.Planes().GetCurrentPlane() != nullptr); });
    OnCommand(ID_PLANES_DELETE_ALL, [this] {
        if (CServices::Messages().MessageBox(CResString::Load(IDS_DELETE_ALL_PLANES),
                                             CResString::Load(IDS_APP_TITLE),
                                             MB_OKCANCEL_DEFAULTCANCEL, MB_ICONQUESTION) != IDOK)
            return;
        m_document.Planes().DeleteAllPlanes();
        RedrawFull();
    });
    OnUpdate(ID_PLANES_DELETE_ALL, [hasPlanes](CCmdUI& ui) { ui.Enable(hasPlanes()); });

    OnCommand(ID_PLANES_REFILL_ALL, [this] {
        m_document.Planes().RefillAll();
        RedrawFull();
    });
    OnUpdate(ID_PLANES_REFILL_ALL, [hasPlanes](CCmdUI& ui) { ui.Enable(hasPlanes()); });
    OnCommand(ID_PLANES_REFILL_LAYER, [this] {
        m_document.Planes().RefillLayer(0);
        RedrawFull();
    });
    // Only the planes of the work layer are filled again: none there, nothing to do.
    OnUpdate(ID_PLANES_REFILL_LAYER, [&doc](CCmdUI& ui) {
        bool found = false;
        for (int32_t i = 0; i < doc.Design().GetPlaneCount() && !found; ++i)
            found = doc.Design().GetPlane(i).GetLayer() == doc.Session().GetWorkLayer();
        ui.Enable(found);
    });

    OnCommand(ID_PLANES_PROPERTIES, [this] {
        if (m_document.Planes().EditPlaneProperties())
            RedrawFull();
    });
    OnUpdate(ID_PLANES_PROPERTIES, [&doc](CCmdUI& ui) {
        ui.Enable(doc.Planes().GetCurrentPlane() != nullptr &&
                  CDialogService::Get().Offers(CDialogService::Dialog::planeProperties));
    });

    OnCommand(ID_PLANES_END_EDIT, [this] { Send(ID_END_MODE); });
    OnUpdate(ID_PLANES_END_EDIT,
             [&doc](CCmdUI& ui) { ui.Enable(IsPlaneMode(doc.Session().GetMode())); });

    const struct {
        uint32_t id;
        int32_t mode;
    } displayItems[] = {{ID_VIEW_PLANES_WYSIWYG, CPour::displayWysiwyg},
                        {ID_VIEW_PLANES_HATCHVIEW, CPour::displayHatch},
                        {ID_VIEW_PLANES_HIDE, CPour::displayHidden}};
    for (const auto& item : displayItems) {
        const int32_t mode = item.mode;
        OnCommand(item.id, [this, mode] {
            m_document.Planes().SetPlaneDisplayMode(mode);
            RedrawFull();
        });
        OnUpdate(item.id, [&doc, hasPlanes, mode](CCmdUI& ui) {
            ui.Enable(hasPlanes());
            ui.SetRadio(doc.Planes().GetPlaneDisplayMode() == mode);
        });
    }
}
