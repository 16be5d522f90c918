#include "tools/Command.h"

#include <gtest/gtest.h>

#include <sstream>

#include "support/TempDir.h"

TEST(QrcTool, ListsTheTableAsTheEngineReadsIt) {
    testing_support::TempDir dir;
    dir.Write("resource.qrc",
              "12==A.FLC\r\n7 = B.BMP extra words\r\n12 = C.FLC\n5002 == cursor.flc\n");
    std::ostringstream out, err;
    const std::vector<std::string> args{"qrc", "list", dir / "resource.qrc"};
    EXPECT_EQ(tools::RunTool(args, out, err), 0) << err.str();
    EXPECT_EQ(out.str(), "7\tB.BMP\n12\tC.FLC\n5002\tcursor.flc\tpermanent\n");
    std::ostringstream out2, err2;
    const std::vector<std::string> missing{"qrc", "list", dir / "none.qrc"};
    EXPECT_EQ(tools::RunTool(missing, out2, err2), 1);
    EXPECT_EQ(err2.str().rfind("tarvo-tool: ", 0), 0u);
}
