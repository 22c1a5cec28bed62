#include <QtGlobal>
#include <gtest/gtest.h>

#include "AccountTestSupport.h"
#include "support/TestEnvironment.h"
#include "support/UnansweredBoxes.h"

namespace {

// Binds the HTTP components once the application object exists.
class ProgramFolderEnvironment : public ::testing::Environment
{
public:
    void SetUp() override { accounttest::bindComponents(); }
};

} // namespace

int main(int argc, char** argv)
{
    Q_INIT_RESOURCE(res);
    vtxtest::failOnUnansweredBoxes();
    ::testing::AddGlobalTestEnvironment(new ProgramFolderEnvironment);
    return vtxtest::runTests(argc, argv);
}
