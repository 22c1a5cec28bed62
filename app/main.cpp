#include <QMetaType>
#include <QtGlobal>

#include "app/Startup.h"

typedef quint64 UINT64;

int main(int argc, char** argv)
{
    // Queued signals carry meeting numbers; the type must be known before any window exists.
    qRegisterMetaType<UINT64>("UINT64");
    Q_INIT_RESOURCE(res);
    return runVtx(argc, argv);
}
