#pragma once

#include <cstdint>

class CCommandTarget;
class CDesign;
class CEditSession;
class CNetArrayDocument;
class CWevraView;
class QWidget;

// The commands that open the board view's table windows. Each table opens once per view: the
// command brings an open table to the front instead of opening a second one, and the view
// destroys and forgets a table when it reports that it closed.
class CTableCommands {
public:
    // The parts of the view's document that the tables work on.
    struct Parts {
        CDesign& design;
        CEditSession& session;
        // The design as its nets see it.
        CNetArrayDocument& nets;
    };

    static void Register(CCommandTarget& target, CWevraView& view, const Parts& parts);
    // The table of a dialog id, opened or brought to the front; nullptr for no such table or
    // when the user cancelled its opening.
    static QWidget* Open(CWevraView& view, const Parts& parts, uint32_t dialogId);
};
