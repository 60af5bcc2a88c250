#include "document/CTemplateImport.h"

#include <algorithm>
#include <filesystem>
#include <memory>
#include <system_error>

#include "document/CDesign.h"
#include "document/CDocumentHistory.h"
#include "document/CEditSession.h"
#include "document/CWevraDoc.h"
#include "framework/TextCase.h"
#include "model/CDrawRecArray.h"
#include "model/CNet.h"
#include "model/CNetArray.h"
#include "model/CPadStackArray.h"
#include "model/CShapeLib.h"
#include "resources/CommandIds.h"

namespace {

constexpr char templateExtension[] = ".PCB";

// The whole template in a design of its own; nullptr, after the reader's message, when it
// cannot be read completely.
std::unique_ptr<CWevraDoc> ReadTemplate(const std::string& path)
{
    auto source = std::make_unique<CWevraDoc>();
    if (!source->OpenDesignFile(path))
        return nullptr;
    return source;
}

} // namespace

std::vector<CTemplateImport::Template>
CTemplateImport::ListTemplates(const std::string& defaultTemplatePath)
{
    std::vector<Template> found;
    const std::filesystem::path folder = std::filesystem::path(defaultTemplatePath).parent_path();
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        const std::filesystem::path& file = it->path();
        if (!it->is_regular_file(error) ||
            UpperAscii(file.extension().string()) != templateExtension)
            continue;
        found.push_back({UpperAscii(file.stem().string()), file.string()});
    }
    std::sort(found.begin(), found.end(),
              [](const Template& a, const Template& b) { return a.name < b.name; });
    return found;
}

CTemplateImport::Result CTemplateImport::Import(CWevraDoc& document,
                                                const std::string& templatePath, uint32_t parts)
{
    if ((parts & (dataParts | definitionParts)) == 0)
        return Result::nothingChosen;
    // Read before anything changes: a template that breaks off half way merges nothing.
    std::unique_ptr<CWevraDoc> source = ReadTemplate(templatePath);
    if (!source)
        return Result::unreadable;

    document.History().SaveUndoState();
    document.Session().SetMode(ID_VIEW);
    if (parts & layers)
        document.Design().ExchangeLayers(source->Design());
    if (parts & colors)
        document.CopyColorsFrom(*source);
    if (parts & displays)
        document.Design().ExchangeDisplaySets(source->Design());
    if (parts & outputs)
        document.Design().ExchangeOutputJobs(source->Design());
    if (parts & pads) {
        const CPadStackArray& from = source->Design().GetShapeCache().GetPadStacks();
        CPadStackArray& to = document.Design().GetEditableShapeCache().GetPadStacks();
        for (int32_t k = 0; k < from.GetCount(); ++k)
            to.Add(*from.GetPadStack(k));
    }
    if (parts & pens)
        AddPens(document, *source);
    if (parts & shapes)
        AddShapes(document, *source);
    if (parts & boardOutline)
        document.Design().CopyBoardOutlineFrom(source->Design());
    if (parts & genericPads)
        AddGenericPads(document, *source);
    if (parts & lines)
        AddLines(document, *source);
    document.SetModified();
    return Result::imported;
}

void CTemplateImport::AddPens(CWevraDoc& document, const CWevraDoc& source)
{
    CDrawRecArray& lines = document.Design().GetLines();
    const std::vector<uint16_t>& linePens = source.Design().GetLines().GetPenTable();
    for (size_t p = 1; p < linePens.size(); ++p) {
        if (lines.FindPen(linePens[p]) < 0)
            lines.FindOrAddPen(linePens[p]);
    }
    lines.SortPens();
    CNet& board = *document.Design().GetNets().GetNet(0);
    const std::vector<uint16_t>& netPens = source.Design().GetNets().GetNet(0)->GetPenTable();
    for (size_t p = 1; p < netPens.size(); ++p)
        board.AddPen(netPens[p]);
    board.MergePens();
}

void CTemplateImport::AddShapes(CWevraDoc& document, const CWevraDoc& source)
{
    const CShapeLib& from = source.Design().GetShapeCache();
    CShapeLib& to = document.Design().GetEditableShapeCache();
    for (int32_t j = 0; j < from.GetCount(); ++j) {
        if (to.FindShape(from.GetShapeName(j)) < 0)
            to.ImportShape(from, j, "");
    }
}

void CTemplateImport::AddGenericPads(CWevraDoc& document, const CWevraDoc& source)
{
    const CNet& from = *source.Design().GetNets().GetNet(0);
    const CPadStackArray& fromStacks = source.Design().GetShapeCache().GetPadStacks();
    CPadStackArray& stacks = document.Design().GetEditableShapeCache().GetPadStacks();
    CNet& board = *document.Design().GetNets().GetNet(0);
    for (int32_t v = 0; v < from.GetVertexCount(); ++v) {
        const int32_t k = from.GetVertexPadStack(v);
        if (!from.IsPadVertex(v) || !fromStacks.IsPadKind(k))
            continue;
        int32_t stack = stacks.FindByName(fromStacks.GetName(k));
        if (stack < 0)
            stack = stacks.Add(*fromStacks.GetPadStack(k));
        if (stack < 0)
            continue;
        const CPoint at = from.GetVertexPoint(v);
        const bool mirrored = from.IsVertexMirrored(v);
        if (!board.FindPadVertex(at, stack, mirrored))
            board.AppendPadVertex(at.x, at.y, stack, from.GetVertexRotation(v), mirrored);
    }
}

void CTemplateImport::AddLines(CWevraDoc& document, const CWevraDoc& source)
{
    const CDrawRecArray& from = source.Design().GetLines();
    CDrawRecArray& to = document.Design().GetLines();
    int32_t i = 0;
    while (i < from.GetCount()) {
        const int32_t end = from.PolylineEnd(i);
        // A vertex before the first move-to, a lone move-to and a polyline the design holds
        // already are passed over.
        if (from.GetPen(i) != 0 || end <= i || to.ContainsPolyline(from, i)) {
            i = std::max(end, i) + 1;
            continue;
        }
        // The pens first, so that a full pen table (the user was told) leaves no polyline
        // half drawn or drawn with pens of other widths.
        std::vector<int32_t> pens;
        for (int32_t v = i + 1; v <= end; ++v) {
            const int32_t pen = to.FindOrAddPen(from.GetVertexWidth(v));
            if (pen < 1)
                return;
            pens.push_back(pen);
        }
        const CPoint start = from.GetPoint(i);
        to.AddVertex(start.x, start.y, from.GetLayer(i), 0, 0);
        for (int32_t v = i + 1; v <= end; ++v) {
            const CPoint at = from.GetPoint(v);
            to.AddVertex(at.x, at.y, from.GetLayer(v), pens[size_t(v - i - 1)], 0);
        }
        i = std::max(end, i) + 1;
    }
}
