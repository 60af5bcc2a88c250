#pragma once

#include <string>

class CComponentArray;
class CNetArray;

// The design's parts and nets as a Mentor Board Station V6 netlist: a part list (".CMP") and a
// net list (".NET") beside each other, which the netlist import reads back in its Mentor
// dialect. Lines end with CR LF.
class CMentorNetlist {
public:
    // Both file names: the chosen path with its extension (if any) replaced.
    static std::string PartListPath(const std::string& path);
    static std::string NetListPath(const std::string& path);

    // The part list: two comment lines, then per component its reference, "PART ", type and
    // shape name, each padded to 20 columns (longer texts are kept whole).
    static std::string PartListText(const CComponentArray& components);
    // The net list: for nets 1 on, lines "NET 'name'" followed by up to five pins
    // "reference-pad" (pads counted from 1). Nets without pins give no line.
    static std::string NetListText(const CComponentArray& components, const CNetArray& nets);

    // Writes both files, replacing the earlier ones together or not at all. False when one
    // could not be written; `failedPath` then names it and why.
    static bool Write(const CComponentArray& components, const CNetArray& nets,
                      const std::string& path, std::string& failedPath);
};
