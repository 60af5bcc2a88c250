#include "document/CWevraDoc.h"
#include "document/CWevraDocParts.h"

#include <filesystem>

#include "document/CDocumentFrame.h"
#include "framework/CPathHelper.h"
#include "framework/CWindows1252.h"
#include "framework/Numeric.h"
#include "model/CDrawRecArray.h"
#include "model/CLayerArray.h"
#include "model/CNetArray.h"
#include "model/COutputRec.h"
#include "model/CShape.h"
#include "model/CShapeLib.h"
#include "model/Geometry.h"
#include "model/LayerMaps.h"
#include "resources/CommandIds.h"

namespace {

// An empty shape opens on a 2-inch board with its origin in the middle.
constexpr int32_t emptyShapeBoard = 2 * UNITS_PER_INCH;
// Around a shape with content the board leaves half this margin on every side.
constexpr int32_t shapeMargin = LENGTH_100_MIL;

} // namespace

bool CWevraDoc::MakeShapeDocument()
{
    CDocumentFrame& frame = CDocumentFrame::Get();
    const CShapeLib* source = frame.GetEditedShapeLibrary();
    if (!source || !source->GetShape(source->GetCurShape()))
        return false;
    // The document keeps its own copy: the main window may edit another library before this
    // window closes, and the shape must go back to the library it came from.
    m_shapeSource.library = std::make_unique<CShapeLib>(*source);
    m_shapeSource.shapeIndex = m_shapeSource.library->GetCurShape();
    m_shapeDocument = true;
    m_edit.defaultPadStackKind = CEditState::kindShapePad;

    // Named like a file in the library's folder, so the names join it in the file system's
    // encoding.
    const std::string name =
        CWindows1252::ToUtf8("SHAPES - " + m_shapeSource.library->GetName() + " - " +
                             m_shapeSource.library->GetShapeName(m_shapeSource.shapeIndex));
    const std::string folder = CPathHelper::GetDirectory(frame.GetLibraryFile());
    m_pathName = folder.empty() ? name : (std::filesystem::path(folder) / name).string();
    m_settings.selectionFilter = CDesignSettings::shapeSelectionFilter;

    PlaceShapeOnBoard(*m_shapeSource.library, m_shapeSource.shapeIndex);

    frame.PostCommand(ID_VIEW_LEFT_PANE);
    frame.PostCommand(ID_VIEW_ZOOM_ALL);
    // Silkscreen top is where a footprint's outline is drawn.
    if (COutputRec* set = m_design.GetCurrentLayerSet())
        set->SetRefLayer(LAYER_SILK_TOP);
    m_design.GetLayers().SetRefLayer(LAYER_SILK_TOP);
    m_session.SetMode(ID_LINES_ADD);
    m_menuResource = CShapeSource::menuResource;
    frame.RedrawMenuBar();
    return true;
}

void CWevraDoc::PlaceShapeOnBoard(CShapeLib& library, int32_t shapeIndex)
{
    const CShape& shape = *library.GetShape(shapeIndex);
    CNet& net = *m_design.GetNets().GetCurrentNet();
    m_design.GetLines().SetPenTable(library.GetPens());
    net.SetPenTable(library.GetPens());
    m_design.GetEditableShapeCache().GetPadStacks() = library.GetPadStacks();

    for (const ShapeOutlineVertex& vertex : shape.GetOutline()) {
        if (IsCopperLayer(vertex.GetLayer()))
            net.AppendVertex(vertex.x, vertex.y, vertex.GetLayer(), vertex.GetPen());
        else
            m_design.GetLines().AddVertex(vertex.x, vertex.y, vertex.GetLayer(), vertex.GetPen(),
                                          0);
    }
    for (const ShapePad& pad : shape.GetPads())
        net.AppendPadVertex(pad.x, pad.y, pad.GetPadStackIndex(), pad.rotation, false);

    CPoint shift;
    if (shape.GetPadCount() == 0 && shape.GetOutlineCount() == 0) {
        m_design.SetBoardOutlineRect(0, 0, emptyShapeBoard, emptyShapeBoard);
        shift = CPoint(emptyShapeBoard / 2, emptyShapeBoard / 2);
    } else {
        library.RecalcShapeExtent(shapeIndex);
        const CRect extent = library.GetShapeExtent(shapeIndex);
        m_design.SetBoardOutlineRect(0, 0, TruncToInt(double(extent.Width() + shapeMargin)),
                                     TruncToInt(double(extent.Height() + shapeMargin)));
        shift = CPoint(TruncToInt(double(shapeMargin / 2) - extent.left),
                       TruncToInt(double(shapeMargin / 2) - extent.top));
    }
    m_design.GetLines().OffsetAll(shift.x, shift.y);
    m_design.GetNets().MoveAll(shift.x, shift.y);
    m_settings.userOffset = shift;
}

bool CWevraDoc::RebuildShapeInto(CShapeLib& library) const
{
    CShape* shape = library.GetShape(m_shapeSource.shapeIndex);
    if (!shape)
        return false;
    const CRect extent = shape->GetExtent();
    *shape = CShape(shape->GetName());
    shape->SetExtent(extent);
    library.SetPens(m_design.GetLines().GetPenTable());
    library.GetPadStacks() = m_design.GetShapeCache().GetPadStacks();
    // The grid origin marks the shape's origin on the board: the shape goes back relative to
    // it, where it came from unless the user moved the origin.
    const auto local = [this](CPoint point) {
        return CPoint(TruncToInt(double(point.x) - m_settings.userOffset.x),
                      TruncToInt(double(point.y) - m_settings.userOffset.y));
    };

    for (int32_t i = 0; i < m_design.GetLines().GetCount(); ++i) {
        const DrawRec& record = m_design.GetLines().GetRecord(i);
        if (!record.HasPen())
            continue;
        ShapeOutlineVertex vertex;
        vertex.SetLayer(record.GetLayer());
        vertex.SetPen(record.GetPen());
        const CPoint point = local(CPoint(record.x, record.y));
        library.AddOutlineToShape(m_shapeSource.shapeIndex, point.x, point.y, vertex.word);
    }

    const CNet& net = *m_design.GetNets().GetNet(0);
    for (int32_t v = 0; v < net.GetVertexCount(); ++v) {
        const CPoint point = local(net.GetVertexPoint(v));
        if (net.IsPadVertex(v)) {
            ShapePad pad;
            pad.SetPadStackIndex(net.GetVertexPadStack(v));
            library.AddPadToShape(m_shapeSource.shapeIndex, point.x, point.y, pad.word,
                                  net.GetVertexRotation(v));
            continue;
        }
        // Pens are matched by width: the track may use a width the lines never had.
        const int32_t pen = net.GetVertexPen(v);
        ShapeOutlineVertex vertex;
        vertex.SetLayer(net.GetVertexLayer(v));
        vertex.SetPen(pen == 0 ? 0 : library.FindOrAddPen(net.GetPenWidth(pen)));
        library.AddOutlineToShape(m_shapeSource.shapeIndex, point.x, point.y, vertex.word);
    }
    library.RecalcShapeExtent(m_shapeSource.shapeIndex);
    return true;
}
