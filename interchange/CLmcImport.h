#pragma once

#include <string>

class CShapeLibArray;

// Reader of the DOS version's component libraries (".LMC"). Run asks for library files
// (several at once), reads each into a new library added to the set, normalises that
// library's shapes and sorts its pens, and saves the library file. The reader comes with the
// DOS import and export; the library set only hands itself over.
class CLmcImport {
public:
    virtual ~CLmcImport() = default;

    // `configPath` names the DOS configuration file that describes the libraries and `folder`
    // the folder the file picker starts in.
    virtual void Run(CShapeLibArray& libraries, const std::string& configPath,
                     const std::string& folder) = 0;
};
