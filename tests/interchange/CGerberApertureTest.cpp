#include "interchange/CGerberAperture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

CGerberAperture Make(int32_t type, CRect box, bool mirrored = false, int32_t rotation = 0)
{
    return CGerberAperture(type, box, mirrored, rotation, 10);
}

} // namespace

TEST(CGerberApertureStandard, CirclesRectanglesAndObrounds)
{
    // The stroke tip of radius 1007.
    EXPECT_EQ(Make(CGerberAperture::typeDraw, CRect(-1007, -1007, 1007, 1007)).GetDefinition(),
              "%ADD10C,0.0079*%");
    // A centred round pad looks the same at any angle.
    const CGerberAperture round =
        Make(CGerberAperture::typeRound, CRect(-6400, -6400, 6400, 6400), false, 45000);
    EXPECT_EQ(round.GetDefinition(), "%ADD10C,0.0500*%");
    EXPECT_FALSE(round.IsCustom());
    // A quarter turn gives the height first.
    EXPECT_EQ(Make(CGerberAperture::typeRectangle, CRect(-12800, -2560, 12800, 2560), false, 90000)
                  .GetDefinition(),
              "%ADD10R,0.0200X0.1000*%");
    EXPECT_EQ(Make(CGerberAperture::typeSquare, CRect(-5120, -5120, 5120, 5120), true, 180000)
                  .GetDefinition(),
              "%ADD10R,0.0400X0.0400*%");
    EXPECT_EQ(Make(CGerberAperture::typeOval, CRect(-12800, -2560, 12800, 2560)).GetDefinition(),
              "%ADD10O,0.1000X0.0200*%");
    EXPECT_EQ(Make(CGerberAperture::typeOval, CRect(-12800, -2560, 12800, 2560), false, 270000)
                  .GetDefinition(),
              "%ADD10O,0.0200X0.1000*%");
}

// Outlines are written with y upwards, as the files' points: a pad reaching further down on
// the board than up reaches further down in the file too.
TEST(CGerberApertureMacro, OffCentreRectangleIsAFivePointOutline)
{
    const CGerberAperture a = Make(CGerberAperture::typeRectangle, CRect(-2560, -1280, 7680, 3840));
    EXPECT_EQ(a.GetDefinition(), "%ADD10CUSTOM10*%");
    EXPECT_EQ(a.GetMacroLines(),
              (Lines{"%AMCUSTOM10*",
                     "4,1,4,-0.0100,0.0050,0.0300,0.0050,0.0300,-0.0150,-0.0100,-0.0150,-0.0100,"
                     "0.0050,0.0*",
                     "%"}));
    // Mirrored in x before it is turned.
    const CGerberAperture m =
        Make(CGerberAperture::typeRectangle, CRect(-2560, -1280, 7680, 3840), true);
    EXPECT_EQ(m.GetMacroLines(),
              (Lines{"%AMCUSTOM10*",
                     "4,1,4,-0.0300,0.0050,0.0100,0.0050,0.0100,-0.0150,-0.0300,-0.0150,-0.0300,"
                     "0.0050,0.0*",
                     "%"}));
}

TEST(CGerberApertureMacro, OctagonIsANinePointOutline)
{
    const CGerberAperture a =
        Make(CGerberAperture::typeOctagon, CRect(-12800, -12800, 12800, 12800));
    EXPECT_TRUE(a.IsCustom());
    EXPECT_EQ(a.GetMacroLines(),
              (Lines{"%AMCUSTOM10*",
                     "4,1,8,-0.0250,0.0500,0.0250,0.0500,0.0500,0.0250,0.0500,-0.0250,0.0250,"
                     "-0.0500,-0.0250,-0.0500,-0.0500,-0.0250,-0.0500,0.0250,-0.0250,0.0500,0.0*",
                     "%"}));
}

// Shapes whose macro used to stay empty plot their real copper.
TEST(CGerberApertureMacro, ObliqueOvalOffCentreRoundConnectorAndDevice)
{
    const CGerberAperture oval =
        Make(CGerberAperture::typeOval, CRect(-12800, -2560, 12800, 2560), false, 45000);
    EXPECT_EQ(oval.GetMacroLines(),
              (Lines{"%AMCUSTOM10*", "20,1,0.0200,-0.0283,-0.0283,0.0283,0.0283,0*",
                     "1,1,0.0200,-0.0283,-0.0283*", "1,1,0.0200,0.0283,0.0283*", "%"}));

    const CGerberAperture round =
        Make(CGerberAperture::typeRound, CRect(-2560, -5120, 7680, 5120), false, 90000);
    EXPECT_EQ(round.GetMacroLines(), (Lines{"%AMCUSTOM10*", "1,1,0.0400,0.0000,0.0100*", "%"}));

    for (const int32_t type : {CGerberAperture::typeConnector, CGerberAperture::typeDevice}) {
        const CGerberAperture a = Make(type, CRect(-5120, -2560, 5120, 2560));
        EXPECT_EQ(a.GetMacroLines(),
                  (Lines{"%AMCUSTOM10*",
                         "4,1,4,-0.0200,0.0100,0.0200,0.0100,0.0200,-0.0100,-0.0200,-0.0100,"
                         "-0.0200,0.0100,0.0*",
                         "%"}))
            << type;
    }
}

TEST(CGerberApertureNames, TypeNames)
{
    const char* names[] = {"Error!",  "Round",     "Oval",   "Square", "Rectangle", "Oblong",
                           "Octagon", "Connector", "Device", "Draw",   "Error!"};
    for (int32_t type = 0; type <= 10; ++type)
        EXPECT_EQ(CGerberAperture::TypeName(type), names[type]);
    EXPECT_EQ(CGerberAperture::TypeName(-1), "Error!");
}
