// How callers read captions through a buffer of a given size.
#include "platform/os/fakes.h"

#include <gtest/gtest.h>

using namespace platform;

TEST(CaptionInBuffer, CutsToOneLessThanTheBuffer) {
    FakeWindowSystem windows;
    const WindowHandle w = windows.addWindow(QStringLiteral("K_Vorne-Lehrer"));
    EXPECT_EQ(captionInBuffer(windows, w, 11), QStringLiteral("K_Vorne-Le"));
    EXPECT_EQ(captionInBuffer(windows, w, 8), QStringLiteral("K_Vorne"));
    EXPECT_EQ(captionInBuffer(windows, w, 1), QString());
    EXPECT_EQ(captionInBuffer(windows, w, 0), QString());
    EXPECT_EQ(captionInBuffer(windows, 0xdead, 11), QString());
}
