#include "support/TestEnvironment.h"

int main(int argc, char** argv)
{
    return vtxtest::runTests(argc, argv);
}
