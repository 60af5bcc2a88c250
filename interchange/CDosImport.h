#pragma once

#include <string>

// Reader of a DOS design set: the ".PLY" file with its ".CNF" and ".CMP" companions, read into
// the collections of the document it was made for. The document makes one when a ".PLY" file
// is opened and drops it right after the read.
class CDosImport {
public:
    virtual ~CDosImport() = default;

    // True when the design was read.
    virtual bool Import(const std::string& path) = 0;
};
