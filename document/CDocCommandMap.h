#pragma once

#include "framework/CCommandTarget.h"

class CWevraDoc;

// The commands a design document handles itself, for the command router: its settings
// switches, undo and redo, the pane switches, board properties, mail, the template import and
// the run of an output job, the design-rule check and the autorouting, and the interactive
// tools' menus.
// The board view comes before it in the chain and may take over any of them.
class CDocCommandMap : public CCommandTarget {
public:
    explicit CDocCommandMap(CWevraDoc& document);

private:
    CWevraDoc& m_document;
};
