#include <QtGlobal>

#include "support/TestEnvironment.h"
#include "support/UnansweredBoxes.h"

int main(int argc, char** argv)
{
    Q_INIT_RESOURCE(res);
    vtxtest::failOnUnansweredBoxes();
    return vtxtest::runTests(argc, argv);
}
