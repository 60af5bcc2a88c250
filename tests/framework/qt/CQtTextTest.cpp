#include "framework/qt/CQtText.h"

#include <string>

#include <gtest/gtest.h>

namespace {

// Design texts are single bytes of Windows-1252; file names are the file system's UTF-8.
// Each must go through its own conversion, or the other shows as mojibake.
TEST(CQtText, DesignTextsAndPathsEachKeepTheirCharacters)
{
    const std::string designBytes = "Gr\xF6\xDF"
                                    "e \x96 \x80"
                                    "5";
    const QString shown = QString::fromUtf8("Größe – €5");
    EXPECT_EQ(CQtText::FromDesignText(designBytes), shown);
    EXPECT_EQ(CQtText::ToDesignText(shown), designBytes);

    const std::string pathBytes = "/tmp/Entw\xC3\xBC"
                                  "rfe \xE2\x80\x93 \xE5\x9B\xBE/Gr\xC3\xB6\xC3\x9F"
                                  "e.PCB";
    const QString path = QString::fromUtf8("/tmp/Entwürfe – 图/Größe.PCB");
    EXPECT_EQ(CQtText::FromPath(pathBytes), path);
    EXPECT_EQ(CQtText::ToPath(path), pathBytes);
    EXPECT_NE(CQtText::FromDesignText(pathBytes), path) << "a path read as a design text";

    // A letter Windows-1252 has not becomes '?', and every byte of a design text survives.
    EXPECT_EQ(CQtText::ToDesignText(QString::fromUtf8("图")), "?");
    std::string everyByte;
    for (int byte = 1; byte < 256; ++byte)
        everyByte += char(byte);
    EXPECT_EQ(CQtText::ToDesignText(CQtText::FromDesignText(everyByte)), everyByte);
}

} // namespace
