#pragma once

class CGridArr;

// The "Grid" section of the user's settings: the three grid records (default, block and text
// mode) as the grid page of the configuration keeps them.
class CGridProfile {
public:
    static constexpr char section[] = "Grid";

    // Reads the section over the records; missing entries keep the records' values, except a
    // missing show mode, which reads as lines.
    static void Read(CGridArr& grids);
};
