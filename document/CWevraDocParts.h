#pragma once

// The parts a design document owns, for the document's own source files. Everybody else takes
// the part they use from CWevraDoc and includes that part's header.

#include "document/CDesign.h"
#include "document/CDocumentAnalysis.h"
#include "document/CDocumentCleanup.h"
#include "document/CDocumentDosImport.h"
#include "document/CDocumentEditing.h"
#include "document/CDocumentHistory.h"
#include "document/CDocumentLink.h"
#include "document/CDocumentPaint.h"
#include "document/CDocumentPlanes.h"
#include "document/CDocumentWindows.h"
#include "document/CEditSession.h"
#include "document/CPadStackUse.h"
#include "document/CShapeSource.h"
#include "document/CViewState.h"
#include "document/CWevraDoc.h"

// Each part is made after those it is given, except that the link is given every part it hands
// questions on to, the session the editing, the history, the view and the windows, the painting
// the view, the planes and the windows, and the planes the analysis: they use them only once
// these are there. With `current`, the design is made as a load target of that open one.
struct CWevraDoc::Parts {
    Parts(CWevraDoc& document, const CDesign* current)
        : link(design, session, painting, view, windows, history, analysis,
               {[&document] { return document.GetDesignFolder(); },
                [&document] { return document.IsModified(); },
                [&document](bool modified) { document.SetModifiedFlag(modified); },
                [&document] { document.SetCopperModified(); }}),
          design(current ? CDesign(CDesign::LoadTarget{}, *current, link, link)
                         : CDesign(link, link)),
          session(design, design.Settings(), editing, history, view, windows,
                  {[&document] { document.SetModified(); }, [&document] { document.SetTitle(); },
                   [&document] { return document.IsShapeDocument(); }}),
          painting(design, session.State(), link, session, view, planeSet, windows,
                   [&document] { return document.GetDesignName(); }),
          view(design.Settings(), session.State(), [&document] { document.SetModified(); }),
          windows(document, design, session, view), history(document, design, session.State()),
          planeSet(design, session, painting, view, windows, history, analysis,
                   [&document] { document.SetModified(); }),
          dosImport(design, design.Settings(), link, session, history, windows,
                    [&document] { return document.GetDesignFolder(); }),
          padStackUse(design), analysis(design, link, session, windows),
          editing(document, design, session.State(), session, history, planeSet, view, windows,
                  [&document] { document.SetModified(); }),
          cleanup(design, history, padStackUse, view, windows,
                  [&document] { document.SetModified(); })
    {
    }

    CDocumentLink link;
    CDesign design;
    CEditSession session;
    CDocumentPaint painting;
    CViewState view;
    CDocumentWindows windows;
    CDocumentHistory history;
    CShapeSource shapeSource;
    CDocumentPlanes planeSet;
    CDocumentDosImport dosImport;
    CPadStackUse padStackUse;
    CDocumentAnalysis analysis;
    CDocumentEditing editing;
    CDocumentCleanup cleanup;
};
