// The endpoint's bound address, as the debug command reports it to the device.
#include "vorlet/link/gateway_endpoint.h"

#include "tests/support/test_support.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace vorlet;

TEST(GatewayEndpoint, ReportsTheAddressItIsBoundToAndZeroWhenUnbound)
{
    GatewayEndpoint endpoint;
    QSignalSpy opened(&endpoint, &GatewayEndpoint::opened);
    endpoint.open(QStringLiteral("127.0.0.1"));
    ASSERT_TRUE(testsupport::waitFor([&] { return opened.count() == 1; }));
    EXPECT_EQ(endpoint.localAddress(), 0x7F000001u);
    EXPECT_NE(endpoint.localPort(), 0);

    endpoint.open();
    ASSERT_TRUE(testsupport::waitFor([&] { return opened.count() == 2; }));
    EXPECT_EQ(endpoint.localAddress(), 0u);
}
