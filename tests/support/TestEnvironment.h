#pragma once
// Every test process runs offscreen with its own temporary HOME, XDG_CONFIG_HOME and XDG_RUNTIME_DIR,
// so no test touches the real user's files and tests can run in parallel.

#include <QString>

namespace vtxtest {

// Sets up the environment, builds the QApplication and runs every GoogleTest case.
int runTests(int argc, char** argv);
// Only the private folders and variables; for programs that build their own QApplication.
void initEnvironment();

// The temporary folders of this process.
QString configHome();
QString runtimeDir();
// A fresh empty folder under this process's temporary area.
QString makeTempDir(const QString& name);

} // namespace vtxtest
