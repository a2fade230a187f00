#include "platform/linux/HostProcessorInfo.h"

#include "platform/linux/FixtureSysroot.h"

#include <gtest/gtest.h>

TEST(HostProcessorInfo, ReadsFilesLongerThanItsFirstBuffer)
{
    // Machines with many interrupt lines write an "intr" line of tens of
    // kilobytes; the processor lines after it must still be read.
    FixtureSysroot sysroot;
    QByteArray text = "cpu0 1 2 3 4 5 6 7 8 9 10\nintr";
    for (int i = 0; i < 20000; ++i)
        text += " 12345";
    text += "\ncpu1 7 0 0 0 0 0 0 0 0 0\n";
    sysroot.writeStat(text);
    HostProcessorInfo info(sysroot.root());
    for (int pass = 0; pass < 2; ++pass) {
        const auto processors = info.sample();
        ASSERT_TRUE(processors.has_value());
        ASSERT_EQ(processors->size(), 2u);
        EXPECT_EQ((*processors)[1][UserTicks], 7u);
    }
}
