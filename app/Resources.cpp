#include "app/Resources.h"

#include <QtGlobal>

static void InitCompiledResources()
{
    Q_INIT_RESOURCE(resources);
}

namespace arb
{

void InitResources()
{
    static const bool done = [] {
        InitCompiledResources();
        return true;
    }();
    (void)done;
}

} // namespace arb
