#include "platform/connectivity.h"

#include <gtest/gtest.h>

TEST(Connectivity, SystemProbeAnswersAKnownValueAndProbeCanBeReplaced) {
    int real = platform::CheckConnectivity();
    EXPECT_GE(real, platform::kInternet);
    EXPECT_LE(real, platform::kCheckFailed);
    for (int v : {0, 1, 2, 3}) {
        platform::SetConnectivityProbe([v] { return v; });
        EXPECT_EQ(platform::CheckConnectivity(), v);
    }
    platform::SetConnectivityProbe({});
    EXPECT_EQ(platform::CheckConnectivity(), real);
}
