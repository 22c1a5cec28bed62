#include <QtGlobal>

#include "support/TestEnvironment.h"

int main(int argc, char** argv)
{
    Q_INIT_RESOURCE(res);
    return vtxtest::runTests(argc, argv);
}
