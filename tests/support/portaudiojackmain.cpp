// The main of test binaries whose engine plays through PortAudio on a JACK server of the
// test's own: PortAudio closes its JACK client at exit, after that server is gone, and asserts
// on the failure, so the binary leaves without running the static destructors.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    const int rc = RUN_ALL_TESTS();
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(rc);
}
