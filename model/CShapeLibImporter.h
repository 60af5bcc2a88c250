#pragma once

#include <string>

class CShapeLibArray;

// Something that reads libraries from elsewhere into the library set (the reader of the DOS
// component libraries is one). The set only hands itself over; readers live above the model.
class CShapeLibImporter {
public:
    virtual ~CShapeLibImporter() = default;

    // `configPath` names the configuration file that describes the libraries and `folder` the
    // folder the file picker starts in.
    virtual void Run(CShapeLibArray& libraries, const std::string& configPath,
                     const std::string& folder) = 0;
};
