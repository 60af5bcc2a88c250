#include <cstdint>
#include <vector>

#include <QClipboard>
#include <QGuiApplication>

#include "framework/qt/CQtClipboardService.h"
#include "tests/framework/qt/QtApplicationTest.h"

namespace {

class CQtClipboardServiceTest : public QtApplicationTest {};

TEST_F(CQtClipboardServiceTest, BytesComeBackUnderTheirFormatOnly)
{
    CQtClipboardService clipboard;
    const std::vector<uint8_t> design = {0xA3, 0x1F, 0x00, 0x00, 0xFF, 0x00, 0x80};
    ASSERT_TRUE(clipboard.SetData("WEVRA_PCB_DESIGN", design));
    EXPECT_TRUE(clipboard.HasFormat("WEVRA_PCB_DESIGN"));
    EXPECT_EQ(clipboard.GetData("WEVRA_PCB_DESIGN"), design);
    EXPECT_FALSE(clipboard.HasFormat("text/plain"));
    EXPECT_FALSE(clipboard.GetData("text/plain").has_value());

    // Another program's copy replaces the design.
    QGuiApplication::clipboard()->setText(QStringLiteral("text"));
    EXPECT_FALSE(clipboard.HasFormat("WEVRA_PCB_DESIGN"));
}

} // namespace
