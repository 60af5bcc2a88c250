#pragma once

#include "model/CShapeLibImporter.h"

// Reader of the DOS version's component libraries (".LMC"). Run asks for library files
// (several at once), reads each into a new library added to the set, normalises that
// library's shapes and sorts its pens, and saves the library file; `configPath` names the DOS
// configuration file that describes the libraries. The reader comes with the DOS import and
// export; the library set only hands itself over.
class CLmcImport : public CShapeLibImporter {};
